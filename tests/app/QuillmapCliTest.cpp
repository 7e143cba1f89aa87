// The quillmap command end to end: each case writes a source grid (and maybe
// an earlier destination) into a fresh directory, runs the built binary and
// checks its standard output, its silence on standard error, its exit status
// and the destination's bytes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/GridText.h"
#include "support/Sandbox.h"

namespace {
// Values offset + column + rowFactor * row, row 0 first, south-west corner at
// the origin, cell size 1.
std::string Grid(int columns, int rows, int rowFactor, int offset, double noData = -9999) {
  std::vector<double> values;
  for (int row = 0; row < rows; ++row)
    for (int col = 0; col < columns; ++col)
      values.push_back(offset + col + rowFactor * row);
  return GridText(columns, rows, 0, 0, 1, noData, values);
}

// The header as the tool writes it.
std::string Header(int columns, int rows, const char* cellSize, const char* noData = "-9999") {
  std::ostringstream text;
  text << "ncols " << columns << "\nnrows " << rows << "\nxllcorner        0\nyllcorner        0"
       << "\ncellsize " << cellSize << "\nNODATA_value " << noData << "\n";
  return text.str();
}

const char* const kUsage = "Usage: quillmap source_file dest_file NewResolution\n";
const char* const kNotPositive =
    "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate\n";
const char* const kEarlier = "an earlier file\n";

struct CliCase {
  const char* name;
  std::string source;            // written to {in}; empty: no source file
  std::vector<std::string> args; // {in}, {out} and {dir} stand for the paths
  const char* earlierDest;       // written to {out} first; null: none
  std::string expectedOut;       // may name {in}, {out} and {dir}
  const char* expectedDest;      // null: {out} keeps its earlier state
};

std::vector<CliCase> Cases() {
  const std::string threeByThree = Grid(3, 3, 3, 1);
  const std::string fourByFour = Grid(4, 4, 10, 0);
  const std::string tenByTen = Grid(10, 10, 10, 0);
  static const std::string middleCell = Header(3, 3, "1") + "-9999 -9999 -9999 \n"
                                                            "-9999 6 -9999 \n"
                                                            "-9999 -9999 -9999 \n";
  static const std::string middleCellOtherNoData = Header(3, 3, "1", "-32768") +
                                                   "-32768 -32768 -32768 \n"
                                                   "-32768 6 -32768 \n"
                                                   "-32768 -32768 -32768 \n";
  static const std::string border = "-9999 -9999 -9999 -9999 -9999 -9999 -9999 -9999 \n";
  static const std::string halfCells = Header(8, 8, "0.5") + border + border +
                                       "-9999 -9999 10.5 11 11.5 12 -9999 -9999 \n"
                                       "-9999 -9999 15.5 16 16.5 17 -9999 -9999 \n"
                                       "-9999 -9999 20.5 21 21.5 22 -9999 -9999 \n"
                                       "-9999 -9999 25.5 26 26.5 27 -9999 -9999 \n" +
                                       border + border;
  static const std::string doubleCells = Header(5, 5, "2") + "-9999 -9999 -9999 -9999 -9999 \n"
                                                             "25.5 27.5 29.5 31.5 -9999 \n"
                                                             "45.5 47.5 49.5 51.5 -9999 \n"
                                                             "65.5 67.5 69.5 71.5 -9999 \n"
                                                             "85.5 87.5 89.5 91.5 -9999 \n";
  static const std::string cellsOf2_5 = Header(4, 4, "2.5") + "-9999 -9999 -9999 -9999 \n"
                                                              "30.5 33 35.5 -9999 \n"
                                                              "55.5 58 60.5 -9999 \n"
                                                              "80.5 83 85.5 -9999 \n";
  return {
      {"NoArguments", threeByThree, {}, nullptr, kUsage, nullptr},
      {"TwoArguments", threeByThree, {"{in}", "{out}"}, nullptr, kUsage, nullptr},
      {"FourArguments", threeByThree, {"{in}", "{out}", "1", "1"}, kEarlier, kUsage, nullptr},
      {"ThreeByThreeSameCellSize",
       threeByThree,
       {"{in}", "{out}", "1"},
       nullptr,
       "",
       middleCell.c_str()},
      {"ReplacesAnEarlierDestination",
       threeByThree,
       {"{in}", "{out}", "1"},
       kEarlier,
       "",
       middleCell.c_str()},
      {"KeepsTheSourceNoDataValue",
       Grid(3, 3, 3, 1, -32768),
       {"{in}", "{out}", "1"},
       nullptr,
       "",
       middleCellOtherNoData.c_str()},
      {"FourByFourHalfCells", fourByFour, {"{in}", "{out}", "0.5"}, nullptr, "", halfCells.c_str()},
      {"TenByTenDoubleCells", tenByTen, {"{in}", "{out}", "2"}, nullptr, "", doubleCells.c_str()},
      {"NumberFollowedByLetters",
       tenByTen,
       {"{in}", "{out}", "2.5m"},
       nullptr,
       "",
       cellsOf2_5.c_str()},
      {"Letters", threeByThree, {"{in}", "{out}", "abc"}, kEarlier, kNotPositive, nullptr},
      {"Zero", threeByThree, {"{in}", "{out}", "0"}, kEarlier, kNotPositive, nullptr},
      {"Negative", threeByThree, {"{in}", "{out}", "-1"}, kEarlier, kNotPositive, nullptr},
      {"InfIsNotANumber", threeByThree, {"{in}", "{out}", "inf"}, kEarlier, kNotPositive, nullptr},
      {"NanIsNotANumber", threeByThree, {"{in}", "{out}", "nan"}, nullptr, kNotPositive, nullptr},
      {"HexCountsItsLeadingZero",
       threeByThree,
       {"{in}", "{out}", "0x10"},
       kEarlier,
       kNotPositive,
       nullptr},
      {"MissingSource",
       "",
       {"{in}", "{out}", "1"},
       kEarlier,
       "Unable to open file {in}\n",
       nullptr},
      {"MissingSourceReportedBeforeBadResolution",
       "",
       {"{in}", "{out}", "abc"},
       nullptr,
       "Unable to open file {in}\n",
       nullptr},
      {"MalformedSource",
       "NCOLS 3\n",
       {"{in}", "{out}", "1"},
       kEarlier,
       "File format error: expected to find ncols tag\n",
       nullptr},
      {"UnwritableDestination",
       threeByThree,
       {"{in}", "{dir}/missing/out.asc", "1"},
       nullptr,
       "Unable to open file {dir}/missing/out.asc\n",
       nullptr},
      {"TwoRowsHigh",
       Grid(4, 2, 10, 0),
       {"{in}", "{out}", "0.5"},
       kEarlier,
       "LngGetY2 is out of range in TMapTools::BilinearInterpolate\n",
       nullptr},
      {"OneRowHigh",
       Grid(6, 1, 10, 0),
       {"{in}", "{out}", "0.5"},
       kEarlier,
       "Ordinate is out of range in TAxis::GetIndex\n",
       nullptr},
      {"WiderThanTheMap",
       fourByFour,
       {"{in}", "{out}", "5"},
       kEarlier,
       "Index is out of range in TAxis::GetPoint\n",
       nullptr},
      {"FarTooFine",
       tenByTen,
       {"{in}", "{out}", "0.00001"},
       kEarlier,
       "Grid dimensions are too large in TMapTools::Downscale\n",
       nullptr},
  };
}

void PrintTo(const CliCase& c, std::ostream* out) {
  *out << c.name;
}

class QuillmapCliTest : public testing::TestWithParam<CliCase> {};

TEST_P(QuillmapCliTest, PrintsAndWritesExactly) {
  const CliCase& c = GetParam();
  const Sandbox sandbox;
  if (!c.source.empty())
    sandbox.Write("in.asc", c.source);
  if (c.earlierDest != nullptr)
    sandbox.Write("out.asc", c.earlierDest);

  const ToolRun run = sandbox.Run(c.args);
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, sandbox.Expand(c.expectedOut));
  EXPECT_EQ(run.Err, "");
  EXPECT_TRUE(LeftDestination(sandbox, c.expectedDest, c.earlierDest));
  EXPECT_EQ(c.source.empty(), !sandbox.Exists("in.asc"));
}

INSTANTIATE_TEST_SUITE_P(Cases, QuillmapCliTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<CliCase>& info) {
                           return std::string(info.param.name);
                         });
} // namespace
