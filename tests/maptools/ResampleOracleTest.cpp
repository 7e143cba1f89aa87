// The table-driven walk against the literal one on generated maps: the same
// bits in every cell, or the same message.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "maptools/TMapTools.h"
#include "platform/TItemTeam.h"
#include "support/LiteralResample.h"
#include "support/TestMaps.h"

namespace {
struct Tally {
  int filled = 0;
  int failed = 0;
};

void Compare(TMap* source, double newCell, const std::string& label, Tally& tally,
             bool noDataAware = false) {
  Outcome literal =
      Attempt([&] { return LiteralBilinearInterpolate(source, newCell, noDataAware); });
  Outcome fast = Attempt([&] {
    return noDataAware ? TMapTools::BilinearInterpolateNoDataAware(source, newCell)
                       : TMapTools::BilinearInterpolate(source, newCell);
  });
  ASSERT_EQ(fast.thrown.Describe(), literal.thrown.Describe()) << label;
  if (literal.map) {
    ASSERT_NE(fast.map, nullptr) << label;
    ASSERT_EQ(MapDifference(literal.map.get(), fast.map.get()), "") << label;
    ++tally.filled;
  } else {
    ++tally.failed;
  }
}

TEST(ResampleOracleTest, GeneratedMapsGiveTheSameBitsOrTheSameMessage) {
  const long sizes[][2] = {{1, 1}, {1, 4}, {2, 2}, {3, 3},   {2, 6},  {4, 2},
                           {6, 1}, {5, 7}, {9, 4}, {12, 10}, {23, 17}};
  const double cells[] = {0.1, 0.25, 1.0, 3.7, 1000.0};
  const double corners[][2] = {{0.0, 0.0}, {-3.3, 12.1}, {1e7 + 0.3, 1e7 - 123.45}};
  const double ratios[] = {0.3, 0.5, 0.77, 1.0, 1.7, 2.0, 3.1};
  Tally tally;
  unsigned seed = 1;
  for (const auto& size : sizes)
    for (double cell : cells)
      for (const auto& corner : corners)
        for (bool ascending : {false, true}) {
          auto source =
              MakeMap(size[0], size[1], cell, corner[0], corner[1],
                      ScatteredValues(size[0] * size[1], ++seed, -9999.0), -9999.0, ascending);
          for (double ratio : ratios) {
            std::ostringstream label;
            label << size[0] << "x" << size[1] << " cell " << cell << " at (" << corner[0] << ", "
                  << corner[1] << ")" << (ascending ? " ascending" : "") << " R = S * " << ratio;
            Compare(source.get(), cell * ratio, label.str(), tally);
            if (HasFatalFailure())
              return;
          }
        }
  EXPECT_GT(tally.filled, 300);
  EXPECT_GT(tally.failed, 300);
}

// Edges that are not strictly monotonic, rows shorter than the map says:
// the walk goes point by point and must still match.
TEST(ResampleOracleTest, IrregularMapsGiveTheSameBitsOrTheSameMessage) {
  Tally tally;
  auto repeatedEdge = MakeMap(8, 8, 1.0, 0.0, 0.0, ScatteredValues(64, 3, -9999.0));
  repeatedEdge->MbrPtrXAxisInterval->GetPoint(5)->x = 4.0;
  auto zigzag = MakeMap(8, 8, 1.0, 0.0, 0.0, ScatteredValues(64, 4, -9999.0));
  zigzag->MbrPtrYAxisInterval->GetPoint(3)->y = 6.5;
  auto shortRow = MakeMap(8, 8, 1.0, 0.0, 0.0, ScatteredValues(64, 5, -9999.0));
  shortRow->MbrVecValues[4].resize(3);
  auto longRow = MakeMap(8, 8, 1.0, 0.0, 0.0, ScatteredValues(64, 6, -9999.0));
  longRow->MbrVecValues[2].push_back(1.0);
  for (TMap* map : {repeatedEdge.get(), zigzag.get(), shortRow.get(), longRow.get()})
    for (double newCell : {0.5, 1.0, 1.5})
      Compare(map, newCell, "irregular map, R = " + std::to_string(newCell), tally);
  EXPECT_GT(tally.filled, 0);
  EXPECT_GT(tally.failed, 0);
}
// On several workers the result's rows are set while the bands of the walk
// reach them, and the rows the walk never reaches afterwards: maps high
// enough for several bands, both policies, every worker count.
TEST(ResampleOracleTest, MapsOfManyBandsGiveTheSameBitsOnAnyWorkerCount) {
  const long sizes[][2] = {{40, 31}, {9, 64}, {64, 9}, {3, 50}};
  const double ratios[] = {0.3, 0.5, 1.0, 1.3, 2.0, 7.0, 100.0};
  Tally tally;
  unsigned seed = 100;
  for (const auto& size : sizes)
    for (bool ascending : {false, true}) {
      auto source =
          MakeMap(size[0], size[1], 2.5, 10.0, -4.0,
                  ScatteredValues(size[0] * size[1], ++seed, -9999.0), -9999.0, ascending);
      for (unsigned workers = 1; workers <= 4; ++workers) {
        const TItemTeam::TFixedWorkers fixed(workers);
        for (double ratio : ratios)
          for (bool noDataAware : {false, true}) {
            std::ostringstream label;
            label << size[0] << "x" << size[1] << (ascending ? " ascending" : "") << " R = S * "
                  << ratio << (noDataAware ? " no-data aware" : "") << " on " << workers;
            Compare(source.get(), 2.5 * ratio, label.str(), tally, noDataAware);
            if (HasFatalFailure())
              return;
          }
      }
    }
  EXPECT_GT(tally.filled, 100);
  EXPECT_GT(tally.failed, 20);
}
} // namespace
