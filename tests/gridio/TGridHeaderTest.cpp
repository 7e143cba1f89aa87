// TGridHeader on its own: the strict header with every failure in the order
// the reader meets it, the read of one body value under both rules, the
// frame a header describes (edges accumulated by repeated addition) and the
// header lines the writer produces.
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "grid/TAxis.h"
#include "gridio/TGridHeader.h"
#include "support/ExpectThrowMsg.h"
#include "support/GridText.h"
#include "support/HeaderMessages.h"

namespace {
struct HeaderCase {
  const char* Name;
  std::string Text;
  const char* Failure; // null: the header below is read
  TGridHeader Header;
};

std::string Header(const char* ncols, const char* nrows, const char* xll, const char* yll,
                   const char* cell, const char* noData) {
  return GridHeaderText(ncols, nrows, xll, yll, cell, noData) + "7 8\n";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

const std::string kGood = Header("2", "3", "100.5", "-20", "0.5", "-32768");

std::vector<HeaderCase> Cases() {
  const TGridHeader good{2, 3, 100.5, -20.0, 0.5, -32768.0};
  return {
      {"Canonical", kGood, nullptr, good},
      {"LowerCaseNoDataKeyword", Replaced(kGood, "NODATA_value", "nodata_value"), nullptr, good},
      {"ValuesInAnyLayout",
       "ncols\n2 nrows\t3\r\nxllcorner 100.5 yllcorner -20 cellsize .5e0 "
       "NODATA_value -32768 7",
       nullptr, good},
      {"Empty", "", kNoColumnsTag, {}},
      {"OnlyWhiteSpace", " \n\t", kNoColumnsTag, {}},
      {"UpperCaseNcols", Replaced(kGood, "ncols", "NCOLS"), kNoColumnsTag, {}},
      {"NoRows", Replaced(kGood, "nrows 3\n", ""), kNoRowsTag, {}},
      {"XllcenterForXllcorner", Replaced(kGood, "xllcorner", "xllcenter"), kNoXCornerTag, {}},
      {"YllcornerMisspelled", Replaced(kGood, "yllcorner", "ylcorner"), kNoYCornerTag, {}},
      {"CellSizeUpperCase", Replaced(kGood, "cellsize", "CELLSIZE"), kNoCellSizeTag, {}},
      {"NoDataMixedCase", Replaced(kGood, "NODATA_value", "NoData_Value"), kNoNoDataTag, {}},
      {"NoNoDataEntry", Replaced(kGood, "NODATA_value -32768\n", ""), kNoNoDataTag, {}},
      // A value that is not a number fails every read after it: the next
      // keyword's test reports it.
      {"ColumnsNotANumber", Replaced(kGood, "ncols 2", "ncols x"), kNoRowsTag, {}},
      {"ColumnsNotWhole", Replaced(kGood, "ncols 2", "ncols 2.5"), kNoRowsTag, {}},
      {"RowsNotANumber", Replaced(kGood, "nrows 3", "nrows -"), kNoXCornerTag, {}},
      {"XCornerNotANumber", Replaced(kGood, "xllcorner 100.5", "xllcorner 1e"), kNoYCornerTag, {}},
      {"YCornerNotANumber", Replaced(kGood, "yllcorner -20", "yllcorner nan"), kNoCellSizeTag, {}},
      {"CellSizeNotANumber", Replaced(kGood, "cellsize 0.5", "cellsize abc"), kNoNoDataTag, {}},
      {"NoDataNotANumber", Replaced(kGood, "-32768", "x"), kNoDataNotANumber, {}},
      // A header that ends early fails at the first keyword test it reaches.
      {"EndsAfterColumns", "ncols 2\n", kNoRowsTag, {}},
      {"EndsAfterCellSizeKeyword",
       "ncols 2\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize",
       kNoNoDataTag,
       {}},
      // The checks of the counts and the cell size, in this order, once
      // all six entries are read.
      {"ZeroColumns",
       Header("0", "0", "0", "0", "0", "-9999"),
       "File format error: ncols must be greater than 0",
       {}},
      {"NegativeRows",
       Header("2", "-3", "0", "0", "-1", "-9999"),
       "File format error: nrows must be greater than 0",
       {}},
      {"ZeroCellSize",
       Header("2", "3", "0", "0", "0", "-9999"),
       "File format error: cellsize must be greater than 0",
       {}},
      {"NegativeCellSize",
       Header("2", "3", "0", "0", "-0.5", "-9999"),
       "File format error: cellsize must be greater than 0",
       {}},
      {"CheckedAfterNoData", Header("0", "3", "0", "0", "1", "x"), kNoDataNotANumber, {}},
  };
}

void PrintTo(const HeaderCase& c, std::ostream* out) {
  *out << c.Name;
}

class StrictHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(StrictHeader, ReadsOrFailsWithTheFirstFault) {
  const HeaderCase& c = GetParam();
  std::istringstream stream(c.Text);
  TGridTokenizer in(stream);
  if (c.Failure != nullptr) {
    EXPECT_THROW_MSG(TGridHeader::Read(in), c.Failure);
    return;
  }
  const TGridHeader header = TGridHeader::Read(in);
  EXPECT_EQ(header.Columns, c.Header.Columns);
  EXPECT_EQ(header.Rows, c.Header.Rows);
  EXPECT_EQ(header.XLowerLeft, c.Header.XLowerLeft);
  EXPECT_EQ(header.YLowerLeft, c.Header.YLowerLeft);
  EXPECT_EQ(header.CellSize, c.Header.CellSize);
  EXPECT_EQ(header.NoData, c.Header.NoData);
  // The tokenizer is left at the first body value.
  double first = 0.0;
  in.ReadDouble(first);
  EXPECT_EQ(first, 7.0);
}

INSTANTIATE_TEST_SUITE_P(Cases, StrictHeader, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<HeaderCase>& info) {
                           return std::string(info.param.Name);
                         });

struct CellCase {
  const char* Text;
  TGridHeader::TCell Strict;
  TGridHeader::TCell Lenient;
};

// A value followed by white space is read under both rules; one that runs
// to the end of the input only under the lenient rules.
TEST(TGridHeader, ReadCellTellsAValueTheEndAndNotANumberApart) {
  using TCell = TGridHeader::TCell;
  const CellCase cases[] = {
      {"5 ", TCell::Read, TCell::Read},
      {"-2.5e3\n", TCell::Read, TCell::Read},
      {"5", TCell::AtEnd, TCell::Read},
      {"", TCell::AtEnd, TCell::AtEnd},
      {"  \n", TCell::AtEnd, TCell::AtEnd},
      {"x ", TCell::NotANumber, TCell::NotANumber},
      {"1e ", TCell::NotANumber, TCell::NotANumber},
      {"1e", TCell::AtEnd, TCell::AtEnd},
      {"5x ", TCell::Read, TCell::Read},
  };
  for (const CellCase& c : cases)
    for (bool lenient : {false, true}) {
      std::istringstream stream(c.Text);
      TGridTokenizer in(stream);
      double value = 0.0;
      EXPECT_EQ(TGridHeader::ReadCell(in, value, lenient), lenient ? c.Lenient : c.Strict)
          << "\"" << c.Text << "\" lenient " << lenient;
    }
  EXPECT_THROW_MSG(TGridHeader::ThrowCellFailure(TCell::AtEnd), kEndOfFile);
  EXPECT_THROW_MSG(TGridHeader::ThrowCellFailure(TCell::NotANumber), kCellNotANumber);
}

// Y edges from the south edge northward, X edges along the north edge,
// each the previous one plus the cell size.
TEST(TGridHeader, FrameAccumulatesTheEdgesByRepeatedAddition) {
  const TGridHeader header{2, 3, 100.0, 0.0, 10.0, -5.0};
  const std::unique_ptr<TMap> frame = header.Frame();
  EXPECT_EQ(frame->MbrLngXDim, 2);
  EXPECT_EQ(frame->MbrLngYDim, 3);
  EXPECT_EQ(frame->MbrDblResolution, 10.0);
  EXPECT_EQ(frame->MbrDblNoDataValue, -5.0);
  const double yEdges[] = {30, 20, 10, 0};
  for (long i = 0; i < 4; ++i)
    EXPECT_EQ(frame->MbrPtrYAxisInterval->GetPoint(i)->y, yEdges[i]) << i;
  for (long i = 0; i < 3; ++i) {
    EXPECT_EQ(frame->MbrPtrXAxisInterval->GetPoint(i)->x, 100.0 + 10.0 * i) << i;
    EXPECT_EQ(frame->MbrPtrXAxisInterval->GetPoint(i)->y, 30.0) << i;
  }
  EXPECT_EQ(frame->MbrPtrXAxis->GetSize(), 2);
  EXPECT_EQ(frame->MbrPtrYAxis->GetSize(), 3);

  // Ten additions of 0.1 are not 10 x 0.1.
  const std::unique_ptr<TMap> fine = TGridHeader{10, 10, 0.0, 0.0, 0.1, -9999.0}.Frame();
  double sum = 0.0;
  for (int i = 0; i < 10; ++i)
    sum = sum + 0.1;
  ASSERT_NE(sum, 10 * 0.1);
  EXPECT_EQ(fine->MbrPtrYAxisInterval->GetPoint(0)->y, sum);
  EXPECT_EQ(fine->MbrPtrXAxisInterval->GetPoint(10)->x, sum);
}

struct WriteCase {
  TGridHeader Header;
  int Digits;
  const char* Text;
};

// The corners in a field of 8, with as many digits as they need to read
// back exactly (up to 12); the no-data value with the digits chosen.
TEST(TGridHeader, WritesTheSixLinesOfTheHeader) {
  const WriteCase cases[] = {
      {{2, 3, 100.0, 0.0, 10.0, -9999.0},
       0,
       "ncols 2\nnrows 3\nxllcorner      100\nyllcorner        0\ncellsize 10\n"
       "NODATA_value -9999\n"},
      {{4, 1, 512000.5, 4180000.0, 0.1, -9999.0},
       0,
       "ncols 4\nnrows 1\nxllcorner 512000.5\nyllcorner 4.18e+06\ncellsize 0.1\n"
       "NODATA_value -9999\n"},
      {{1, 1, -0.25, 1e-7, 2.5, -3.4e38},
       0,
       "ncols 1\nnrows 1\nxllcorner    -0.25\nyllcorner    1e-07\ncellsize 2.5\n"
       "NODATA_value -3.4e+38\n"},
      {{1, 1, 0.0, 0.0, 1.0, -9999.0},
       2,
       "ncols 1\nnrows 1\nxllcorner        0\nyllcorner        0\ncellsize 1\n"
       "NODATA_value -1e+04\n"},
      {{1, 1, 0.0, 0.0, 1.0, -1.0 / 3.0},
       17,
       "ncols 1\nnrows 1\nxllcorner        0\nyllcorner        0\ncellsize 1\n"
       "NODATA_value -0.33333333333333331\n"},
  };
  for (const WriteCase& c : cases) {
    const std::unique_ptr<TMap> frame = c.Header.Frame();
    std::ostringstream text;
    TGridHeader::Write(frame.get(), text, c.Digits);
    EXPECT_EQ(text.str(), c.Text);
  }
}
} // namespace
