// TLenientHeader on its own: every order and case of the entries gives the
// header the strict reader gives for the canonical text; centres, a missing
// NODATA_value and a byte order mark follow their rules; and every failure
// names what the contract says, in the order it says.
#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "gridio/TGridHeader.h"
#include "support/ExpectThrowMsg.h"
#include "support/HeaderMessages.h"

namespace {
TGridHeader ReadLenient(const std::string& text, double* firstValue = nullptr) {
  std::istringstream stream(text);
  TGridTokenizer in(stream);
  const TGridHeader header = TGridHeader::Read(in, true);
  if (firstValue != nullptr)
    in.ReadDouble(*firstValue);
  return header;
}

void ExpectHeader(const TGridHeader& actual, const TGridHeader& expected,
                  const std::string& where) {
  EXPECT_EQ(actual.Columns, expected.Columns) << where;
  EXPECT_EQ(actual.Rows, expected.Rows) << where;
  EXPECT_EQ(actual.XLowerLeft, expected.XLowerLeft) << where;
  EXPECT_EQ(actual.YLowerLeft, expected.YLowerLeft) << where;
  EXPECT_EQ(actual.CellSize, expected.CellSize) << where;
  EXPECT_EQ(actual.NoData, expected.NoData) << where;
}

// Each keyword in a case of its own: the n-th letter upper when bit n of
// `mask` is set.
std::string Cased(const std::string& keyword, unsigned mask) {
  std::string word = keyword;
  for (std::size_t i = 0; i < word.size(); ++i)
    if ((mask >> (i % 16)) & 1u)
      word[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[i])));
  return word;
}

TEST(TLenientHeader, EveryOrderAndCaseReadsAsTheCanonicalHeader) {
  const std::array<std::string, 6> entries = {"ncols 4",      "nrows 3",      "xllcorner 10.5",
                                              "yllcorner -2", "cellsize 0.5", "NODATA_value -1"};
  std::istringstream canonical("ncols 4 nrows 3 xllcorner 10.5 yllcorner -2 cellsize 0.5 "
                               "NODATA_value -1 7");
  TGridTokenizer strictIn(canonical);
  const TGridHeader expected = TGridHeader::Read(strictIn);
  std::array<int, 6> order = {0, 1, 2, 3, 4, 5};
  unsigned mask = 1;
  do {
    std::string text;
    for (int entry : order) {
      const std::size_t blank = entries[entry].find(' ');
      text += Cased(entries[entry].substr(0, blank), mask) + entries[entry].substr(blank) + "\n";
    }
    mask = mask * 2654435761u + 1;
    double first = 0.0;
    ExpectHeader(ReadLenient(text + "7 ", &first), expected, text);
    EXPECT_EQ(first, 7.0) << text;
  } while (std::next_permutation(order.begin(), order.end()));
}

struct ReadCase {
  const char* Name;
  const char* Text;
  TGridHeader Header;
  double FirstValue;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
  *out << c.Name;
}

class LenientRead : public testing::TestWithParam<ReadCase> {};

TEST_P(LenientRead, FollowsTheRule) {
  const ReadCase& c = GetParam();
  double first = 0.0;
  ExpectHeader(ReadLenient(c.Text, &first), c.Header, c.Text);
  EXPECT_EQ(first, c.FirstValue);
}

// A centre gives the corner as centre - cellsize / 2, rounded once.
const double kCentreX = 0.1 - 0.3 / 2.0;
const double kCentreY = 7.0 - 0.3 / 2.0;

INSTANTIATE_TEST_SUITE_P(
    Rules, LenientRead,
    testing::Values(ReadCase{"Centres",
                             "xllcenter 0.1 YLLCENTER 7 ncols 2 nrows 2 cellsize 0.3 5 ",
                             {2, 2, kCentreX, kCentreY, 0.3, -9999.0},
                             5.0},
                    ReadCase{"CentreAndCorner",
                             "ncols 1 nrows 1 xllcorner 3 yllcenter 1.5 cellsize 1 "
                             "nodata_value 0 9 ",
                             {1, 1, 3.0, 1.0, 1.0, 0.0},
                             9.0},
                    ReadCase{"NoNoDataBeforeANumber",
                             "ncols 1 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 -5 ",
                             {1, 1, 0.0, 0.0, 1.0, -9999.0},
                             -5.0},
                    ReadCase{"NoNoDataBeforeAPoint",
                             "ncols 1 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 .5 ",
                             {1, 1, 0.0, 0.0, 1.0, -9999.0},
                             0.5},
                    ReadCase{"NoDataFirst",
                             "NoData_Value 3 ncols 1 nrows 1 xllcorner 0 yllcorner 0 "
                             "cellsize 1 4 ",
                             {1, 1, 0.0, 0.0, 1.0, 3.0},
                             4.0},
                    ReadCase{"ByteOrderMark",
                             "\xEF\xBB\xBFncols 1 nrows 1 xllcorner 0 yllcorner 0 "
                             "cellsize 1 6 ",
                             {1, 1, 0.0, 0.0, 1.0, -9999.0},
                             6.0},
                    ReadCase{"ByteOrderMarkAlone",
                             "\xEF\xBB\xBF\nncols 1 nrows 1 xllcorner 0 yllcorner 0 "
                             "cellsize 1 6 ",
                             {1, 1, 0.0, 0.0, 1.0, -9999.0},
                             6.0}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.Name); });

struct FailureCase {
  const char* Name;
  const char* Text;
  const char* Failure;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.Name;
}

class LenientFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(LenientFailure, NamesWhatTheContractSays) {
  const FailureCase& c = GetParam();
  EXPECT_THROW_MSG(ReadLenient(c.Text), c.Failure);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, LenientFailure,
    testing::Values(
        // A word that is no keyword, or an early end: the first entry
        // missing in the canonical order.
        FailureCase{"Empty", "", kNoColumnsTag},
        FailureCase{"NoColumns", "nrows 3 xllcorner 0 yllcorner 0 cellsize 1 7 ", kNoColumnsTag},
        FailureCase{"UnknownWordFirst", "foo 1 ncols 2", kNoColumnsTag},
        FailureCase{"UnknownWordAfterSome", "cellsize 1 ncols 2 nrows 3 xllcorner 0 foo 1",
                    kNoYCornerTag},
        FailureCase{"EndsEarly", "ncols 2\nnrows 3\n", kNoXCornerTag},
        FailureCase{"NumberBeforeTheCellSize", "ncols 2 nrows 3 xllcorner 0 yllcorner 0 7 ",
                    kNoCellSizeTag},
        FailureCase{"ByteOrderMarkNotFirst", "ncols 2 \xEF\xBB\xBFnrows 3", kNoRowsTag},
        // A value that is not a number: the first entry missing after it.
        FailureCase{"ColumnsNotANumber", "ncols x nrows 3", kNoRowsTag},
        FailureCase{"RowsNotWhole", "nrows 2.5 ncols 2", kNoColumnsTag},
        FailureCase{"CellSizeNotANumberLast", "ncols 2 nrows 3 xllcorner 0 yllcorner 0 cellsize -",
                    kNoNoDataTag},
        FailureCase{"NoDataNotANumber", "NODATA_value x ncols 2", kNoDataNotANumber},
        // A word where NODATA_value may stand, once the rest is read.
        FailureCase{"WordAfterACompleteHeader",
                    "ncols 2 nrows 3 xllcorner 0 yllcorner 0 cellsize 1 nodata -1 ",
                    kCellNotANumber},
        // Its own failures.
        FailureCase{"ColumnsTwice", "ncols 2 NCOLS 2",
                    "File format error: ncols tag appears twice"},
        FailureCase{"NoDataTwice", "nodata_value 1 NODATA_VALUE 2",
                    "File format error: nodata_value tag appears twice"},
        FailureCase{"CentreTwice", "xllcenter 0 xllcenter 0",
                    "File format error: xllcenter tag appears twice"},
        FailureCase{"CornerAndCentreX", "ncols 2 xllcorner 0 XLLCENTER 0",
                    "File format error: both xllcorner and xllcenter given"},
        FailureCase{"CentreAndCornerY", "yllcenter 0 yllcorner 0",
                    "File format error: both yllcorner and yllcenter given"},
        // The checks of the counts and the cell size come after the header.
        FailureCase{"ZeroCounts", "nrows 0 ncols 0 xllcorner 0 yllcorner 0 cellsize 1 1 ",
                    "File format error: ncols must be greater than 0"},
        FailureCase{"NegativeCellSize", "ncols 1 nrows 1 xllcenter 0 yllcenter 0 cellsize -2 1 ",
                    "File format error: cellsize must be greater than 0"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.Name); });
} // namespace
