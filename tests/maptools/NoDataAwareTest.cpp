// The no-data-aware resampling: against the literal walk with its own corner
// test on generated maps with scattered no-data and not-a-number cells, on
// the project's sample terrain, and cell by cell against the plain walk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"
#include "support/LiteralResample.h"
#include "support/TestMaps.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();

bool IsNoData(double value, double noData) {
  return value == noData || std::isnan(value);
}

// Values of ScatteredValues with about one further cell in eleven made NaN.
std::vector<double> WithNaNs(std::vector<double> values, unsigned seed) {
  for (std::size_t k = 0; k < values.size(); ++k)
    if ((k * 7 + seed) % 11 == 0)
      values[k] = kNaN;
  return values;
}

struct Tally {
  int filled = 0;
  int failed = 0;
  int turned = 0; // cells no-data here and data in the plain result
};

void Compare(TMap* source, double newCell, const std::string& label, Tally& tally) {
  Outcome literal = Attempt([&] { return LiteralBilinearInterpolate(source, newCell, true); });
  Outcome aware =
      Attempt([&] { return TMapTools::BilinearInterpolateNoDataAware(source, newCell); });
  Outcome plain = Attempt([&] { return TMapTools::BilinearInterpolate(source, newCell); });
  ASSERT_EQ(aware.thrown.Describe(), literal.thrown.Describe()) << label;
  ASSERT_EQ(aware.thrown.Describe(), plain.thrown.Describe()) << label;
  if (!literal.map) {
    ++tally.failed;
    return;
  }
  ASSERT_NE(aware.map, nullptr) << label;
  ASSERT_EQ(MapDifference(literal.map.get(), aware.map.get()), "") << label;
  // Every cell either keeps the plain value or turns to no-data.
  const std::vector<double> plainValues = MapValues(plain.map.get());
  const std::vector<double> awareValues = MapValues(aware.map.get());
  const double noData = source->MbrDblNoDataValue;
  for (std::size_t k = 0; k < awareValues.size(); ++k) {
    if (SameBits(awareValues[k], plainValues[k]))
      continue;
    ASSERT_TRUE(SameBits(awareValues[k], noData)) << label << " cell " << k;
    ++tally.turned;
  }
  ++tally.filled;
}

TEST(NoDataAwareTest, GeneratedMapsMatchTheLiteralWalk) {
  const long sizes[][2] = {{2, 2}, {3, 3}, {4, 2}, {6, 1}, {5, 7}, {9, 4}, {12, 10}, {23, 17}};
  const double cells[] = {0.25, 1.0, 3.7};
  const double ratios[] = {0.3, 0.5, 0.77, 1.0, 1.7, 2.0, 3.1};
  const double noDatas[] = {-9999.0, -3.4028234663852886e+38, kNaN};
  Tally tally;
  unsigned seed = 1;
  for (const auto& size : sizes)
    for (double cell : cells)
      for (double ratio : ratios)
        for (double noData : noDatas)
          for (bool ascending : {false, true}) {
            ++seed;
            const long count = size[0] * size[1];
            auto source =
                MakeMap(size[0], size[1], cell, -3.3, 12.1,
                        WithNaNs(ScatteredValues(count, seed, noData), seed), noData, ascending);
            std::ostringstream label;
            label << size[0] << "x" << size[1] << " cell " << cell << " R " << cell * ratio
                  << " no-data " << noData << (ascending ? " ascending" : "");
            Compare(source.get(), cell * ratio, label.str(), tally);
            if (HasFatalFailure())
              return;
          }
  // The generated maps exercise both outcomes and the corner test.
  EXPECT_GT(tally.filled, 300);
  EXPECT_GT(tally.failed, 50);
  EXPECT_GT(tally.turned, 1000);
}

TEST(NoDataAwareTest, ACornerOfNoDataOrNaNGivesNoData) {
  // 4 x 4 cells of size 1, values 1 to 16, resampled to 1: the walk points
  // (1, 2), (1, 1), (2, 2), (2, 1) each use the four cells meeting at them and
  // land in cells (1, 1), (1, 2), (2, 1), (2, 2).
  std::vector<double> values = CountingValues(16);
  values[5] = -9999.0; // column 1, row 1: a corner of (1, 2) and (2, 2)
  values[14] = kNaN;   // column 2, row 3: a corner of (2, 1)
  auto source = MakeMap(4, 4, 1.0, 0.0, 0.0, values);
  std::unique_ptr<TMap> aware(TMapTools::BilinearInterpolateNoDataAware(source.get(), 1.0));
  std::unique_ptr<TMap> plain(TMapTools::BilinearInterpolate(source.get(), 1.0));
  std::vector<double> expected(16, -9999.0);
  expected[2 * 4 + 1] = (9.0 + 10.0 + 13.0 + 14.0) / 4;
  EXPECT_EQ(MapValues(aware.get()), expected);
  // The plain walk takes the no-data cell in as a number, and the NaN.
  EXPECT_EQ(plain->GetPointVal(1, 1), (5.0 - 9999.0 + 9.0 + 10.0) / 4);
  EXPECT_TRUE(std::isnan(plain->GetPointVal(2, 2)));
}

TEST(NoDataAwareTest, FailsAsThePlainWalk) {
  auto twoRows = MakeMap(4, 2, 1.0, 0.0, 0.0, CountingValues(8));
  const char* const cases[][2] = {
      {"0", "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate"},
      {"0.5", "LngGetY2 is out of range in TMapTools::BilinearInterpolate"},
      {"5", "Index is out of range in TAxis::GetPoint"}};
  for (const auto& c : cases) {
    const double R = std::atof(c[0]);
    EXPECT_THROW_MSG(delete TMapTools::BilinearInterpolateNoDataAware(twoRows.get(), R), c[1])
        << "R " << c[0];
  }
}

TEST(NoDataAwareTest, SampleTerrainKeepsItsDataRangeAndTurnsOnlyHoleCells) {
  std::unique_ptr<TMap> source(TARCGISFileTools::LoadARCGISFile(
      std::string(QUILLMAP_SOURCE_DIR "/examples/sample_terrain.asc")));
  const double noData = source->MbrDblNoDataValue;
  double lowest = std::numeric_limits<double>::infinity();
  double highest = -lowest;
  long holeCells = 0;
  for (double value : MapValues(source.get())) {
    if (IsNoData(value, noData)) {
      ++holeCells;
      continue;
    }
    lowest = std::min(lowest, value);
    highest = std::max(highest, value);
  }
  ASSERT_GT(holeCells, 0);

  Tally tally;
  Compare(source.get(), 40.0, "sample terrain", tally);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_GT(tally.turned, 0);

  std::unique_ptr<TMap> aware(TMapTools::BilinearInterpolateNoDataAware(source.get(), 40.0));
  for (double value : MapValues(aware.get()))
    if (!IsNoData(value, noData)) {
      EXPECT_GE(value, lowest);
      EXPECT_LE(value, highest);
    }
}
} // namespace
