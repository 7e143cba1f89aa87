// The grid writer with a digit count: 17 digits read back to the same
// doubles, 6 digits give the plain writer's bytes, the header's corner and
// cell size keep their rule, and a count out of range is refused before
// anything is written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

namespace {
// Finite doubles of every magnitude, some no-data cells among them.
std::vector<double> RandomValues(long count, std::mt19937_64& random, double noData) {
  std::vector<double> values;
  for (long k = 0; k < count; ++k) {
    std::uint64_t bits = random();
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value) || k % 9 == 4)
      value = k % 2 == 0 ? noData : static_cast<double>(bits % 100000) / 7.0;
    values.push_back(value);
  }
  return values;
}

std::string Written(TMap* map, int digits) {
  std::ostringstream out;
  TARCGISFileTools::WriteARCGISFile(map, out, digits);
  return out.str();
}

std::string WrittenPlainly(TMap* map) {
  std::ostringstream out;
  TARCGISFileTools::WriteARCGISFile(map, out);
  return out.str();
}

TEST(TARCGISFileToolsDigitsTest, SeventeenDigitsReadBackToTheSameDoubles) {
  std::mt19937_64 random(17);
  for (int grid = 0; grid < 200; ++grid) {
    const long columns = 1 + static_cast<long>(random() % 13);
    const long rows = 1 + static_cast<long>(random() % 11);
    const double noData = grid % 2 == 0 ? -9999.0 : -3.4028234663852886e+38;
    // A corner that 6 digits would not give back (the header's 12 do).
    auto map = MakeMap(columns, rows, 0.5 + grid * 0.25, 1790122.5 + grid, -4180000.25,
                       RandomValues(columns * rows, random, noData), noData);
    std::istringstream in(Written(map.get(), 17));
    std::unique_ptr<TMap> back(TARCGISFileTools::LoadARCGISFile(in));
    ASSERT_EQ(MapDifference(map.get(), back.get()), "") << "grid " << grid;
  }
}

TEST(TARCGISFileToolsDigitsTest, SixDigitsGiveThePlainWritersBytes) {
  std::mt19937_64 random(6);
  for (int grid = 0; grid < 100; ++grid) {
    auto map = MakeMap(7, 5, 2.5, 100.0 + grid, 0.0, RandomValues(35, random, -9999.0));
    ASSERT_EQ(Written(map.get(), 6), WrittenPlainly(map.get())) << "grid " << grid;
  }
}

TEST(TARCGISFileToolsDigitsTest, DigitsApplyToValuesAndNoDataNotToTheHeader) {
  auto map = MakeMap(2, 1, 0.1, 1790122.5, 4.5e6, {1790122.5, 1.0 / 3.0}, -3.4028234663852886e+38);
  EXPECT_EQ(Written(map.get(), 9), "ncols 2\nnrows 1\nxllcorner 1790122.5\nyllcorner  4.5e+06\n"
                                   "cellsize 0.1\nNODATA_value -3.40282347e+38\n"
                                   "1790122.5 0.333333333 \n");
  EXPECT_EQ(Written(map.get(), 1), "ncols 2\nnrows 1\nxllcorner 1790122.5\nyllcorner  4.5e+06\n"
                                   "cellsize 0.1\nNODATA_value -3e+38\n"
                                   "2e+06 0.3 \n");
}

TEST(TARCGISFileToolsDigitsTest, AStreamsOwnPrecisionGivesWayToTheDigits) {
  auto map = MakeMap(2, 1, 1.0, 0.0, 0.0, {1790122.5, 0.125});
  std::ostringstream out;
  out.precision(3);
  TARCGISFileTools::WriteARCGISFile(map.get(), out, 8);
  EXPECT_EQ(out.str(), "ncols 2\nnrows 1\nxllcorner        0\nyllcorner        0\n"
                       "cellsize 1\nNODATA_value -9999\n1790122.5 0.125 \n");
}

TEST(TARCGISFileToolsDigitsTest, RefusesDigitsOutOfRangeBeforeWriting) {
  auto map = MakeMap(1, 1, 1.0, 0.0, 0.0, {1.0});
  for (int digits : {0, 18, -1}) {
    std::ostringstream out;
    EXPECT_THROW_MSG(TARCGISFileTools::WriteARCGISFile(map.get(), out, digits),
                     "Digits must lie between 1 and 17 in TARCGISFileTools::WriteARCGISFile");
    EXPECT_EQ(out.str(), "");
    EXPECT_THROW_MSG(TMapTools::WriteFlatFile(map.get(), out, ' ', digits),
                     "Digits must lie between 1 and 17 in TMapTools::WriteFlatFile");
    EXPECT_EQ(out.str(), "");
  }
  const Sandbox sandbox;
  EXPECT_THROW_MSG(TARCGISFileTools::WriteARCGISFile(map.get(), sandbox.Path("out.asc"), 0),
                   "Digits must lie between 1 and 17 in TARCGISFileTools::WriteARCGISFile");
  EXPECT_FALSE(sandbox.Exists("out.asc"));
}
} // namespace
