// The lenient reader: every variant that other programs write reads to the
// map that the strict reader makes of the canonical file; everything else
// fails with the strict reader's message, and the ambiguous headers with
// their own.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "gridio/TARCGISFileTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
const char* const kBody = "1 2.5 3\n-9999 5 6e-3\n";
const std::string kCanonical = "ncols 3\nnrows 2\nxllcorner 100\nyllcorner -20\ncellsize 10\n"
                               "NODATA_value -9999\n" +
                               std::string(kBody);

std::unique_ptr<TMap> ReadStrict(const std::string& text) {
  std::istringstream in(text);
  return std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFile(in));
}

std::unique_ptr<TMap> ReadLenient(const std::string& text) {
  std::istringstream in(text);
  return std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFileLenient(in));
}

struct TVariant {
  const char* name;
  std::string text;
};

TEST(TARCGISFileToolsLenientTest, EveryVariantReadsAsTheCanonicalFile) {
  const std::string body = kBody;
  const TVariant variants[] = {
      {"canonical", kCanonical},
      {"upper case", "NCOLS 3\nNROWS 2\nXLLCORNER 100\nYLLCORNER -20\nCELLSIZE 10\n"
                     "NODATA_VALUE -9999\n" +
                         body},
      {"mixed case", "nCols 3\nNRows 2\nXllCorner 100\nyLLcorner -20\nCellSize 10\n"
                     "NoData_Value -9999\n" +
                         body},
      {"reordered", "cellsize 10\nNODATA_value -9999\nyllcorner -20\nxllcorner 100\nnrows 2\n"
                    "ncols 3\n" +
                        body},
      {"centres", "ncols 3\nnrows 2\nxllcenter 105\nyllcenter -15\ncellsize 10\n"
                  "NODATA_value -9999\n" +
                      body},
      {"centres before the cell size", "xllcenter 105\nyllcenter -15\nncols 3\nnrows 2\n"
                                       "cellsize 10\nNODATA_value -9999\n" +
                                           body},
      {"no no-data entry", "ncols 3\nnrows 2\nxllcorner 100\nyllcorner -20\ncellsize 10\n" + body},
      {"byte order mark", "\xEF\xBB\xBF" + kCanonical},
      {"byte order mark standing alone", "\xEF\xBB\xBF\n" + kCanonical},
      {"no final line end", kCanonical.substr(0, kCanonical.size() - 1)},
      {"carriage returns", "ncols 3\r\nnrows 2\r\nxllcorner 100\r\nyllcorner -20\r\n"
                           "cellsize 10\r\nNODATA_value -9999\r\n1 2.5 3\r\n-9999 5 6e-3"},
      {"all at once", "\xEF\xBB\xBF"
                      "CELLSIZE 10\nYLLCENTER -15\nNCOLS 3\nXLLCENTER 105\nNROWS 2\n"
                      "1 2.5 3\n-9999 5 6e-3"},
  };
  std::unique_ptr<TMap> expected = ReadStrict(kCanonical);
  for (const TVariant& variant : variants) {
    std::unique_ptr<TMap> map;
    const Thrown thrown = CaptureThrow([&] { map = ReadLenient(variant.text); });
    ASSERT_EQ(thrown.kind, Thrown::Nothing) << variant.name << ": " << thrown.Describe();
    EXPECT_EQ(MapDifference(expected.get(), map.get()), "") << variant.name;
  }
}

TEST(TARCGISFileToolsLenientTest, AStreamInAnotherStateReadsTheVariantsAlike) {
  // A base other than decimal makes the reader use the stream's operators;
  // the single-digit counts read the same in it.
  const std::string variants[] = {
      "\xEF\xBB\xBF" + kCanonical,
      "CELLSIZE 10\nYLLCENTER -15\nNCOLS 3\nXLLCENTER 105\nNROWS 2\n1 2.5 3\n-9999 5 6e-3"};
  std::unique_ptr<TMap> expected = ReadStrict(kCanonical);
  for (const std::string& text : variants) {
    std::istringstream in(text);
    in >> std::hex;
    std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFileLenient(in));
    EXPECT_EQ(MapDifference(expected.get(), map.get()), "") << text;
  }
}

TEST(TARCGISFileToolsLenientTest, ACentreIsTheCornerPlusHalfACellOnceRounded) {
  // 0.1 - 0.3 / 2 in double precision, one rounding after the exact halving.
  std::unique_ptr<TMap> map =
      ReadLenient("ncols 1\nnrows 1\nxllcenter 0.1\nyllcenter 0.7\ncellsize 0.3\n5\n");
  EXPECT_EQ(map->MbrPtrXAxisInterval->GetPoint(0)->x, 0.1 - 0.3 / 2.0);
  EXPECT_EQ(map->MbrPtrYAxisInterval->GetPoint(1)->y, 0.7 - 0.3 / 2.0);
  EXPECT_EQ(map->MbrDblNoDataValue, -9999.0);
}

TEST(TARCGISFileToolsLenientTest, FailsWithTheStrictMessagesOrItsOwn) {
  const std::string head = "ncols 3\nnrows 2\nxllcorner 100\nyllcorner -20\n";
  const std::string body = kBody;
  const struct {
    const char* name;
    std::string text;
    const char* message;
  } cases[] = {
      {"empty", "", "File format error: expected to find ncols tag"},
      {"unknown first word", "columns 3\n" + kCanonical,
       "File format error: expected to find ncols tag"},
      {"no cell size", head + "NODATA_value -9999\n" + body,
       "File format error: expected to find cellsize tag"},
      {"no rows", "ncols 3\nxllcorner 100\nyllcorner -20\ncellsize 10\n" + body,
       "File format error: expectd to find nrows tag"},
      {"no y corner", "ncols 3\nnrows 2\nxllcorner 100\ncellsize 10\n" + body,
       "File format error: expected to find yllcorner tag"},
      {"column count not a number", "ncols x\nnrows 2\n",
       "File format error: expectd to find nrows tag"},
      {"cell size not a number", head + "cellsize x\nNODATA_value -9999\n" + body,
       "File format error: expected to find NODATA_value tag"},
      {"no-data not a number", head + "cellsize 10\nNODATA_value x\n" + body,
       "File format error: NODATA_value is not a number"},
      {"header cut short", "ncols 3\nnrows 2\nxllcorner",
       "File format error: expected to find yllcorner tag"},
      {"a word where no-data may stand", head + "cellsize 10\nnan 1 2 3 4 5 6\n",
       "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile"},
      {"twice", head + "NCOLS 3\ncellsize 10\n" + body,
       "File format error: ncols tag appears twice"},
      {"no-data twice", head + "cellsize 10\nnodata_value 1\nNODATA_value 1\n" + body,
       "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile"},
      {"corner and centre", head + "xllcenter 105\ncellsize 10\n" + body,
       "File format error: both xllcorner and xllcenter given"},
      {"centre and corner", "yllcenter 1\nyllcorner 1\n",
       "File format error: both yllcorner and yllcenter given"},
      {"too few values", head + "cellsize 10\n1 2 3 4 5\n",
       "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"},
      {"a cut value", head + "cellsize 10\n1 2 3 4 5 6e",
       "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"},
      {"a bad value", head + "cellsize 10\n1 2 x 4 5 6\n",
       "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile"},
      {"zero columns", "ncols 0\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\n1\n",
       "File format error: ncols must be greater than 0"},
  };
  for (const auto& c : cases)
    EXPECT_THROW_MSG(ReadLenient(c.text), c.message) << c.name;
}

TEST(TARCGISFileToolsLenientTest, TheStrictReaderStillRefusesTheVariants) {
  EXPECT_THROW_MSG(ReadStrict("\xEF\xBB\xBF" + kCanonical),
                   "File format error: expected to find ncols tag");
  EXPECT_THROW_MSG(ReadStrict(kCanonical.substr(0, kCanonical.size() - 1)),
                   "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");
}

TEST(TARCGISFileToolsLenientTest, ReadsByNameAndReportsAMissingFile) {
  EXPECT_THROW_MSG(
      delete TARCGISFileTools::LoadARCGISFileLenient(std::string("/nonexistent/grid.asc")),
      "Unable to open file /nonexistent/grid.asc");
}
} // namespace
