#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/GridText.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

namespace {
const std::string kHeader = GridHeaderText("2", "3", "100", "0", "10", "-9999");
const std::string kSample = GridText(2, 3, 100, 0, 10, -9999, {1, 2, 3, 4, 5, 6});
const char* const kEndOfFile = "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile";
const char* const kNotANumber =
    "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile";

std::unique_ptr<TMap> Read(const std::string& text) {
  std::istringstream stream(text);
  return std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFile(stream));
}

std::string Header(const std::string& ncols, const std::string& nrows, const std::string& cellsize,
                   const std::string& nodata) {
  return GridHeaderText(ncols, nrows, "0", "0", cellsize, nodata);
}

} // namespace

TEST(TARCGISFileToolsReadTest, ReadsTheSampleGridWithItsAxes) {
  auto map = Read(kSample);
  EXPECT_EQ(2, map->MbrLngXDim);
  EXPECT_EQ(3, map->MbrLngYDim);
  EXPECT_EQ(10.0, map->MbrDblResolution);
  EXPECT_EQ(-9999.0, map->MbrDblNoDataValue);
  EXPECT_EQ((std::vector<double>{1, 2, 3, 4, 5, 6}), MapValues(map.get()));
  EXPECT_EQ((std::vector<double>{30, 20, 10, 0}), AxisOrdinates(map->MbrPtrYAxisInterval, 'Y'));
  EXPECT_EQ((std::vector<double>{100, 100, 100, 100}),
            AxisOrdinates(map->MbrPtrYAxisInterval, 'X'));
  EXPECT_EQ((std::vector<double>{100, 110, 120}), AxisOrdinates(map->MbrPtrXAxisInterval, 'X'));
  EXPECT_EQ((std::vector<double>{30, 30, 30}), AxisOrdinates(map->MbrPtrXAxisInterval, 'Y'));
  EXPECT_EQ((std::vector<double>{105, 115}), AxisOrdinates(map->MbrPtrXAxis, 'X'));
  EXPECT_EQ((std::vector<double>{25, 15, 5}), AxisOrdinates(map->MbrPtrYAxis, 'Y'));
}

TEST(TARCGISFileToolsReadTest, EdgesAreAccumulatedByRepeatedAddition) {
  auto map = Read(Header("3", "3", "0.1", "-9999") + "1 2 3 4 5 6 7 8 9\n");
  // 0 + 0.1 + 0.1 + 0.1 is 0.30000000000000004, not 3 * 0.1.
  double y = 0.0;
  for (long i = 3; i >= 0; --i, y = y + 0.1)
    EXPECT_EQ(y, map->MbrPtrYAxisInterval->GetPoint(i)->y) << i;
  double x = 0.0;
  for (long i = 0; i <= 3; ++i, x = x + 0.1)
    EXPECT_EQ(x, map->MbrPtrXAxisInterval->GetPoint(i)->x) << i;
}

TEST(TARCGISFileToolsReadTest, LayoutOfTheBodyDoesNotMatter) {
  const std::vector<double> expected{1, 2, 3, 4, 5, 6};
  for (const char* body : {"1\n2\n3\n4\n5\n6\n", "1 2 3 4 5 6\n", "1 2 3\n4 5 6\n",
                           "1 2\r\n3 4\r\n5 6\r\n", "\t1\v2\f3  4\r5\n6 "}) {
    SCOPED_TRACE(body);
    EXPECT_EQ(expected, MapValues(Read(kHeader + std::string(body)).get()));
  }
  std::string crlf = kSample;
  for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2))
    crlf.insert(at, "\r");
  EXPECT_EQ(expected, MapValues(Read(crlf).get()));
}

TEST(TARCGISFileToolsReadTest, KeywordsAreMatchedExactlyAndInOrder) {
  const struct {
    const char* from;
    const char* to;
    const char* message;
  } cases[] = {
      {"ncols", "NCOLS", "File format error: expected to find ncols tag"},
      {"nrows", "Nrows", "File format error: expectd to find nrows tag"},
      {"xllcorner", "xllcenter", "File format error: expected to find xllcorner tag"},
      {"yllcorner", "YLLCORNER", "File format error: expected to find yllcorner tag"},
      {"cellsize", "cellSize", "File format error: expected to find cellsize tag"},
      {"NODATA_value", "NODATA_VALUE", "File format error: expected to find NODATA_value tag"},
      {"NODATA_value", "Nodata_value", "File format error: expected to find NODATA_value tag"},
      {"NODATA_value -9999\n", "", "File format error: expected to find NODATA_value tag"},
      {"ncols 2\nnrows 3\n", "nrows 3\nncols 2\n", "File format error: expected to find ncols tag"},
  };
  for (const auto& c : cases) {
    std::string text = kSample;
    text.replace(text.find(c.from), std::string(c.from).size(), c.to);
    EXPECT_THROW_MSG(Read(text), c.message) << text;
  }
  std::string lower = kSample;
  lower.replace(lower.find("NODATA_value"), 12, "nodata_value");
  EXPECT_EQ(-9999.0, Read(lower)->MbrDblNoDataValue);
}

TEST(TARCGISFileToolsReadTest, AFailedHeaderValueIsReportedByTheNextKeyword) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"ncols x\nnrows 3\n", "File format error: expectd to find nrows tag"},
      // 10.5 read as a whole number gives 10; ".5" is then read as a keyword.
      {"ncols 10.5\nnrows 3\n", "File format error: expectd to find nrows tag"},
      {"ncols 99999999999999999999\nnrows 3\n", "File format error: expectd to find nrows tag"},
      {"ncols 2\nnrows 0x3\n", "File format error: expected to find xllcorner tag"},
      {"ncols 2\nnrows 3\nxllcorner inf\n", "File format error: expected to find yllcorner tag"},
      {"ncols 2\nnrows 3\nxllcorner 1e999\n", "File format error: expected to find yllcorner tag"},
      {"ncols 2\nnrows 3\nxllcorner 0\nyllcorner nan\n",
       "File format error: expected to find cellsize tag"},
      {"ncols 2\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize 1e\n",
       "File format error: expected to find NODATA_value tag"},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    if (text.find("NODATA") == std::string::npos)
      text += "yllcorner 0\ncellsize 10\nNODATA_value -9999\n1 2 3 4 5 6\n";
    EXPECT_THROW_MSG(Read(text), c.message) << text;
  }
  // A header that ends early fails at the first keyword missing.
  EXPECT_THROW_MSG(Read("ncols 2\nnrows 3\nxllcorner 0\n"),
                   "File format error: expected to find yllcorner tag");
  EXPECT_THROW_MSG(Read(""), "File format error: expected to find ncols tag");
}

TEST(TARCGISFileToolsReadTest, RejectsABadNoDataValueAndCountsOrCellSizesNotAboveZero) {
  const struct {
    std::string header;
    const char* message;
  } cases[] = {
      {Header("2", "3", "10", "nan"), "File format error: NODATA_value is not a number"},
      {Header("2", "3", "10", "--1"), "File format error: NODATA_value is not a number"},
      {Header("2", "3", "10", "1e999"), "File format error: NODATA_value is not a number"},
      // The no-data value is checked first, then ncols, nrows and cellsize.
      {Header("0", "0", "0", "x"), "File format error: NODATA_value is not a number"},
      {Header("0", "0", "0", "-9999"), "File format error: ncols must be greater than 0"},
      {Header("-2", "3", "10", "-9999"), "File format error: ncols must be greater than 0"},
      {Header("2", "0", "0", "-9999"), "File format error: nrows must be greater than 0"},
      {Header("2", "-3", "10", "-9999"), "File format error: nrows must be greater than 0"},
      {Header("2", "3", "0", "-9999"), "File format error: cellsize must be greater than 0"},
      {Header("2", "3", "-10", "-9999"), "File format error: cellsize must be greater than 0"},
      {Header("2", "3", "-0", "-9999"), "File format error: cellsize must be greater than 0"},
  };
  for (const auto& c : cases)
    EXPECT_THROW_MSG(Read(c.header + "1 2 3 4 5 6\n"), c.message) << c.header;
  const std::string noValue = "ncols 2\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize 10\n"
                              "NODATA_value";
  // A header cut after the keyword runs into the body, which reports the end.
  EXPECT_THROW_MSG(Read(noValue),
                   "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");
}

TEST(TARCGISFileToolsReadTest, BodyValuesMustAllBeThereAndBeNumbers) {
  const struct {
    const char* body;
    const char* failure; // null: the grid reads
  } cases[] = {
      {"1 2 3 4 5\n", kEndOfFile},
      {"1 2 3 4 5 6", kEndOfFile}, // the last value runs up to the end
      {"1 2 3 4 5 6\n", nullptr},
      {"1 2 3 4 5 6 7 8 junk\n", nullptr}, // the surplus is never read
      {"1 2 x 4 5 6\n", kNotANumber},
      {"1 2 3 4 5 nan\n", kNotANumber},
      {"1 2 3 4 5 1e\n", kNotANumber},
      {"1 2 3 4 5 0x1\n", nullptr}, // 0, then "x1" is never read
      {"1 2 3 4 5 1e999\n", kNotANumber},
      {"1 2 3 4 5 1e", kEndOfFile},   // end of input reached while reading it
      {"1 2 3 4 5 abc", kNotANumber}, // refused at its first character
      {"", kEndOfFile},
  };
  for (const auto& c : cases) {
    const std::string text = kHeader + std::string(c.body);
    if (c.failure != nullptr)
      EXPECT_THROW_MSG(Read(text), c.failure) << c.body;
    else
      EXPECT_NO_THROW(Read(text)) << c.body;
  }
}

TEST(TARCGISFileToolsReadTest, ReadsNumbersAsFormattedExtractionDoes) {
  auto map = Read(Header("4", "2", "1", "-9999") +
                  "+7 -0 .5 5. 1e-400 -1e-400 4e-320 1.7976931348623157e308\n");
  const std::vector<double> cells = MapValues(map.get());
  EXPECT_EQ((std::vector<double>{7, 0, 0.5, 5, 0, 0, 4e-320, 1.7976931348623157e308}), cells);
  EXPECT_TRUE(std::signbit(cells[1]));
  EXPECT_TRUE(std::signbit(cells[5]));
}

TEST(TARCGISFileToolsReadTest, AHugeClaimedGridInATinyInputFailsWithoutReservingIt) {
  for (const char* counts : {"1000000 1000000", "9223372036854775807 9223372036854775807",
                             "1 9223372036854775807", "9223372036854775807 1"}) {
    std::istringstream split(counts);
    std::string ncols;
    std::string nrows;
    split >> ncols >> nrows;
    EXPECT_THROW_MSG(Read(Header(ncols, nrows, "1", "0") + "1 2 3\n"), kEndOfFile) << counts;
  }
}

TEST(TARCGISFileToolsReadTest, LeavesTheStreamJustAfterTheLastBodyValue) {
  std::istringstream stream(kSample + kSample + "7 8 trailer");
  std::unique_ptr<TMap> first(TARCGISFileTools::LoadARCGISFile(stream));
  std::unique_ptr<TMap> second(TARCGISFileTools::LoadARCGISFile(stream));
  EXPECT_EQ((std::vector<double>{1, 2, 3, 4, 5, 6}), MapValues(first.get()));
  EXPECT_EQ((std::vector<double>{1, 2, 3, 4, 5, 6}), MapValues(second.get()));
  EXPECT_TRUE(stream.good());
  std::string rest;
  std::getline(stream, rest);
  EXPECT_EQ("", rest);
  std::getline(stream, rest);
  EXPECT_EQ("7 8 trailer", rest);
}

TEST(TARCGISFileToolsReadTest, AStreamInAnotherFormattingStateIsReadWithItsOwnRules) {
  std::istringstream skipping(kSample);
  std::istringstream literal(kSample);
  literal >> std::noskipws;
  std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(skipping));
  EXPECT_EQ(6.0, map->MbrVecValues[2][1]);
  // Without white space skipping the value after "ncols" is not a number.
  EXPECT_THROW_MSG(delete TARCGISFileTools::LoadARCGISFile(literal),
                   "File format error: expectd to find nrows tag");
}

TEST(TARCGISFileToolsReadTest, ReadsByNameAndReportsFilesThatCannotBeOpened) {
  const Sandbox sandbox;
  sandbox.Write("sample.asc", kSample);
  std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(sandbox.Path("sample.asc")));
  EXPECT_EQ((std::vector<double>{1, 2, 3, 4, 5, 6}), MapValues(map.get()));

  const std::string missing = sandbox.Path("no_such_grid.asc");
  EXPECT_THROW_MSG(delete TARCGISFileTools::LoadARCGISFile(missing),
                   "Unable to open file " + missing);
  const std::string directory = sandbox.Path("grid_directory");
  std::filesystem::create_directory(directory);
  EXPECT_THROW_MSG(delete TARCGISFileTools::LoadARCGISFile(directory),
                   "Unable to open file " + directory);
}

// A file that cannot be opened is reported as a std::string, a format error
// as a const char*.
TEST(TARCGISFileToolsReadTest, ThrowsOpenFailuresAsStringsAndFormatErrorsAsText) {
  const Sandbox sandbox;
  EXPECT_THROW(delete TARCGISFileTools::LoadARCGISFile(sandbox.Path("missing.asc")), std::string);
  EXPECT_THROW(TARCGISFileTools::LoadFileList({sandbox.Path("missing.asc")}), std::string);
  EXPECT_THROW(Read(""), const char*);
}

TEST(TARCGISFileToolsReadTest, LoadsAListInOrderAndStopsAtTheFirstFailure) {
  const Sandbox sandbox;
  const std::string first = sandbox.Path("first.asc");
  const std::string second = sandbox.Path("second.asc");
  sandbox.Write("first.asc", kSample);
  sandbox.Write("second.asc", Header("1", "1", "5", "0") + "42\n");
  std::vector<TMap*> maps = TARCGISFileTools::LoadFileList({first, second, first});
  ASSERT_EQ(3u, maps.size());
  EXPECT_EQ(2, maps[0]->MbrLngXDim);
  EXPECT_EQ(42.0, maps[1]->MbrVecValues[0][0]);
  EXPECT_EQ(2, maps[2]->MbrLngXDim);
  for (TMap* map : maps)
    delete map;
  EXPECT_TRUE(TARCGISFileTools::LoadFileList({}).empty());

  const std::string missing = sandbox.Path("missing.asc");
  EXPECT_THROW_MSG(TARCGISFileTools::LoadFileList({first, missing, second}),
                   "Unable to open file " + missing);
}
