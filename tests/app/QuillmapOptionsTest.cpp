// The quillmap command with options, end to end: each case writes a source
// grid (and maybe an earlier destination) into a fresh directory, runs the
// built binary and checks standard output, standard error, the exit status
// and the destination's bytes. Command lines of the plain shape, whatever
// they hold, must give exactly what they gave before options existed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/GridText.h"
#include "support/Sandbox.h"

namespace {
const char* const kUsage = "Usage: quillmap source_file dest_file NewResolution\n";
const char* const kOptionsUsage =
    "Usage: quillmap [OPTION]... source_file dest_file NewResolution\n";
const char* const kHelp =
    "Usage: quillmap [OPTION]... source_file dest_file NewResolution\n"
    "  --lenient       also read other keyword cases and orders, xllcenter/yllcenter, no "
    "NODATA_value, a byte order mark, no final line end\n"
    "  --nodata-aware  give no-data where a sample's four source cells include no-data or NaN\n"
    "  --digits N      write values and NODATA_value with N significant digits (1 to 17; "
    "default 6)\n"
    "  --atomic        write a new file and rename it over dest_file only once it is complete\n"
    "  --exit-status   report a failure on standard error and exit with status 1\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n";
const char* const kEarlier = "an earlier file\n";

// 4 x 4 cells of size 1; the cell in column 1, row 1 is no-data.
const std::vector<double> kValues = {1, 2, 3, 4, 5, -9999, 7, 8, 9, 10.1, 11, 12, 13, 14, 15, 16.3};
const char* const kLenientSource = "\xEF\xBB\xBF"
                                   "CELLSIZE 1\nNROWS 4\nNCOLS 4\nXLLCENTER 0.5\nYLLCENTER 0.5\n"
                                   "1 2 3 4\n5 -9999 7 8\n9 10.1 11 12\n13 14 15 16.3";
const char* const kOutHeader = "ncols 4\nnrows 4\nxllcorner        0\nyllcorner        0\n"
                               "cellsize 1\nNODATA_value -9999\n";
const char* const kBorder = "-9999 -9999 -9999 -9999 \n";
// The walk points (1, 2), (1, 1), (2, 2), (2, 1), stored in cells (1, 1),
// (1, 2), (2, 1), (2, 2): the means of 5, -9999, 9, 10.1; of 9, 10.1, 13, 14;
// of -9999, 7, 10.1, 11; of 10.1, 11, 14, 15.
const std::string kPlain = std::string(kOutHeader) + kBorder +
                           "-9999 -2493.72 -2492.72 -9999 \n"
                           "-9999 11.525 12.525 -9999 \n" +
                           kBorder;
const std::string kAware =
    std::string(kOutHeader) + kBorder + kBorder + "-9999 11.525 12.525 -9999 \n" + kBorder;
// Two digits round the no-data value too, in the entry and in the cells alike.
const std::string kAwareDigits2 = "ncols 4\nnrows 4\nxllcorner        0\nyllcorner        0\n"
                                  "cellsize 1\nNODATA_value -1e+04\n"
                                  "-1e+04 -1e+04 -1e+04 -1e+04 \n"
                                  "-1e+04 -1e+04 -1e+04 -1e+04 \n"
                                  "-1e+04 12 13 -1e+04 \n"
                                  "-1e+04 -1e+04 -1e+04 -1e+04 \n";
const std::string kPlainDigits17 = std::string(kOutHeader) + kBorder +
                                   "-9999 -2493.7249999999999 -2492.7249999999999 -9999 \n"
                                   "-9999 11.525 12.525 -9999 \n" +
                                   kBorder;

struct OptionsCase {
  const char* name;
  const char* source;            // written to {in}; null: no source file
  std::vector<std::string> args; // {in}, {out} and {dir} stand for the paths
  const char* earlierDest;       // written to {out} first; null: none
  std::string expectedOut;       // may name {in}, {out} and {dir}
  std::string expectedErr;
  int expectedStatus;
  const char* expectedDest; // null: {out} keeps its earlier state
};

std::vector<OptionsCase> Cases() {
  static const std::string grid = GridText(4, 4, 0, 0, 1, -9999, kValues);
  const char* const g = grid.c_str();
  return {
      // The plain shape: exactly the output of the tool without options.
      {"NoArguments", g, {}, nullptr, kUsage, "", 0, nullptr},
      {"OneOptionAlone", g, {"--help"}, nullptr, kHelp, "", 0, nullptr},
      {"ThreeArgumentsFirstLikeAnOption",
       g,
       {"--x", "{out}", "1"},
       kEarlier,
       "Unable to open file --x\n",
       "",
       0,
       nullptr},
      {"ThreeArgumentsHelpIsASourceName",
       g,
       {"--help", "{out}", "1"},
       nullptr,
       "Unable to open file --help\n",
       "",
       0,
       nullptr},
      {"ThreeArgumentsExitStatusIsASourceName",
       g,
       {"--exit-status", "{in}", "{out}"},
       nullptr,
       "Unable to open file --exit-status\n",
       "",
       0,
       nullptr},
      {"FourArgumentsFirstNotAnOption",
       g,
       {"{in}", "--lenient", "{out}", "1"},
       kEarlier,
       kUsage,
       "",
       0,
       nullptr},
      {"TwoArgumentsFirstNotAnOption", g, {"-x", "--help"}, nullptr, kUsage, "", 0, nullptr},
      {"FiveArgumentsFirstNotAnOption",
       g,
       {"{in}", "{out}", "1", "--exit-status", "x"},
       nullptr,
       kUsage,
       "",
       0,
       nullptr},
      {"PlainRun", g, {"{in}", "{out}", "1"}, kEarlier, "", "", 0, kPlain.c_str()},
      // Options of their own.
      {"Help", g, {"--help", "--foo"}, nullptr, kHelp, "", 0, nullptr},
      {"Version", g, {"--version"}, nullptr, "quillmap 0.1.0\n", "", 0, nullptr},
      {"UnknownOption",
       g,
       {"--foo", "{in}", "{out}", "1"},
       kEarlier,
       "Unknown option --foo\n",
       "",
       0,
       nullptr},
      {"UnknownOptionBeforeHelp",
       g,
       {"--foo", "--help"},
       nullptr,
       "Unknown option --foo\n",
       "",
       0,
       nullptr},
      {"MissingDigits",
       g,
       {"--digits"},
       nullptr,
       "Missing value for option --digits\n",
       "",
       0,
       nullptr},
      {"DigitsZero",
       g,
       {"--digits", "0", "{in}", "{out}", "1"},
       nullptr,
       "Option --digits needs a whole number from 1 to 17, not 0\n",
       "",
       0,
       nullptr},
      {"DigitsEighteen",
       g,
       {"--digits", "18", "{in}", "{out}", "1"},
       nullptr,
       "Option --digits needs a whole number from 1 to 17, not 18\n",
       "",
       0,
       nullptr},
      {"DigitsNotWhole",
       g,
       {"--digits", "9a", "{in}", "{out}", "1"},
       nullptr,
       "Option --digits needs a whole number from 1 to 17, not 9a\n",
       "",
       0,
       nullptr},
      {"DigitsEmpty",
       g,
       {"--digits", "", "{in}", "{out}", "1"},
       nullptr,
       "Option --digits needs a whole number from 1 to 17, not \n",
       "",
       0,
       nullptr},
      {"OptionsThenTooFew", g, {"--lenient", "{in}"}, nullptr, kOptionsUsage, "", 0, nullptr},
      {"OptionsThenTooMany",
       g,
       {"--lenient", "{in}", "{out}", "1", "2"},
       kEarlier,
       kOptionsUsage,
       "",
       0,
       nullptr},
      {"EndOfOptionsAlone", g, {"--"}, nullptr, kOptionsUsage, "", 0, nullptr},
      {"EndOfOptions", g, {"--", "{in}", "{out}", "1"}, nullptr, "", "", 0, kPlain.c_str()},
      {"EndOfOptionsThenAnOptionLikeSource",
       g,
       {"--lenient", "--", "--in", "{out}", "1"},
       kEarlier,
       "Unable to open file --in\n",
       "",
       0,
       nullptr},
      // --exit-status
      {"ExitStatusSuccess",
       g,
       {"--exit-status", "{in}", "{out}", "1"},
       kEarlier,
       "",
       "",
       0,
       kPlain.c_str()},
      {"ExitStatusMissingSource",
       nullptr,
       {"--exit-status", "{in}", "{out}", "1"},
       kEarlier,
       "",
       "quillmap: Unable to open file {in}\n",
       1,
       nullptr},
      {"ExitStatusBadResolution",
       g,
       {"--exit-status", "{in}", "{out}", "0"},
       kEarlier,
       "",
       "quillmap: New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate\n",
       1,
       nullptr},
      {"ExitStatusUnknownOptionAfter",
       g,
       {"--foo", "--exit-status", "{in}", "{out}", "1"},
       nullptr,
       "",
       "quillmap: Unknown option --foo\n",
       1,
       nullptr},
      {"ExitStatusWrongCount",
       g,
       {"--exit-status", "{in}"},
       nullptr,
       "",
       std::string("quillmap: ") + kOptionsUsage,
       1,
       nullptr},
      {"ExitStatusMalformedSource",
       "NCOLS 4\n",
       {"--exit-status", "{in}", "{out}", "1"},
       kEarlier,
       "",
       "quillmap: File format error: expected to find ncols tag\n",
       1,
       nullptr},
      // --lenient
      {"StrictRefusesTheVariant",
       kLenientSource,
       {"{in}", "{out}", "1"},
       kEarlier,
       "File format error: expected to find ncols tag\n",
       "",
       0,
       nullptr},
      {"LenientReadsTheVariant",
       kLenientSource,
       {"--lenient", "{in}", "{out}", "1"},
       kEarlier,
       "",
       "",
       0,
       kPlain.c_str()},
      {"LenientKeepsStrictMessages",
       "ncols 4\nnrows 4\nxllcorner 0\nyllcorner 0\ncellsize 1\n1 2",
       {"--lenient", "{in}", "{out}", "1"},
       kEarlier,
       "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile\n",
       "",
       0,
       nullptr},
      // --nodata-aware and --digits
      {"NoDataAware",
       g,
       {"--nodata-aware", "{in}", "{out}", "1"},
       nullptr,
       "",
       "",
       0,
       kAware.c_str()},
      {"NoDataAwareFailsAsThePlainWalk",
       g,
       {"--nodata-aware", "{in}", "{out}", "5"},
       kEarlier,
       "Index is out of range in TAxis::GetPoint\n",
       "",
       0,
       nullptr},
      {"DigitsSix", g, {"--digits", "6", "{in}", "{out}", "1"}, nullptr, "", "", 0, kPlain.c_str()},
      {"DigitsSeventeen",
       g,
       {"--digits", "17", "{in}", "{out}", "1"},
       nullptr,
       "",
       "",
       0,
       kPlainDigits17.c_str()},
      // Combined.
      {"AllTogether",
       kLenientSource,
       {"--exit-status", "--lenient", "--nodata-aware", "--digits", "2", "{in}", "{out}", "1"},
       kEarlier,
       "",
       "",
       0,
       kAwareDigits2.c_str()},
      {"AllTogetherFailing",
       kLenientSource,
       {"--lenient", "--digits", "2", "--nodata-aware", "--exit-status", "{in}", "{out}", "abc"},
       kEarlier,
       "",
       "quillmap: New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate\n",
       1,
       nullptr},
      {"RepeatedOptions",
       g,
       {"--digits", "3", "--digits", "6", "--nodata-aware", "--nodata-aware", "{in}", "{out}", "1"},
       nullptr,
       "",
       "",
       0,
       kAware.c_str()},
  };
}

void PrintTo(const OptionsCase& c, std::ostream* out) {
  *out << c.name;
}

class QuillmapOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(QuillmapOptionsTest, PrintsExitsAndWritesExactly) {
  const OptionsCase& c = GetParam();
  const Sandbox sandbox;
  if (c.source != nullptr)
    sandbox.Write("in.asc", c.source);
  if (c.earlierDest != nullptr)
    sandbox.Write("out.asc", c.earlierDest);

  const ToolRun run = sandbox.Run(c.args);
  EXPECT_EQ(run.Status, c.expectedStatus);
  EXPECT_EQ(run.Out, sandbox.Expand(c.expectedOut));
  EXPECT_EQ(run.Err, sandbox.Expand(c.expectedErr));
  EXPECT_TRUE(LeftDestination(sandbox, c.expectedDest, c.earlierDest));
}

INSTANTIATE_TEST_SUITE_P(Cases, QuillmapOptionsTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<OptionsCase>& info) {
                           return std::string(info.param.name);
                         });
} // namespace
