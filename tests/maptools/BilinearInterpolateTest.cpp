#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <utility>

#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/LiteralResample.h"
#include "support/TestMaps.h"

namespace {
using Cells = std::set<std::pair<long, long>>;

// The cells (column, row) whose value differs from the map's no-data value.
Cells FilledCells(TMap* map) {
  Cells filled;
  for (long row = 0; row < map->MbrLngYDim; ++row)
    for (long col = 0; col < map->MbrLngXDim; ++col)
      if (map->MbrVecValues[row][col] != map->MbrDblNoDataValue)
        filled.insert({col, row});
  return filled;
}

Cells Block(long firstCol, long lastCol, long firstRow, long lastRow) {
  Cells cells;
  for (long col = firstCol; col <= lastCol; ++col)
    for (long row = firstRow; row <= lastRow; ++row)
      cells.insert({col, row});
  return cells;
}

TEST(BilinearInterpolateTest, ThreeByThreeAtTheSameCellSizeFillsTheMiddleCell) {
  auto source = MakeMap(3, 3, 1.0, 0.0, 0.0, CountingValues(9));
  source->MbrDblNoDataValue = -32768.0;
  std::unique_ptr<TMap> result(TMapTools::BilinearInterpolate(source.get(), 1.0));
  EXPECT_EQ(result->MbrDblNoDataValue, -32768.0);
  EXPECT_EQ(FilledCells(result.get()), Block(1, 1, 1, 1));
  EXPECT_EQ(result->MbrVecValues[1][1], (4.0 + 5.0 + 7.0 + 8.0) / 4);
  EXPECT_EQ(result->MbrVecValues[0][0], -32768.0);
}

TEST(BilinearInterpolateTest, HalvingTheCellSizeLeavesABorderTwoCellsWide) {
  auto source = MakeMap(4, 4, 1.0, 0.0, 0.0, CountingValues(16));
  std::unique_ptr<TMap> result(TMapTools::BilinearInterpolate(source.get(), 0.5));
  ASSERT_EQ(result->MbrLngXDim, 8);
  ASSERT_EQ(result->MbrLngYDim, 8);
  EXPECT_EQ(FilledCells(result.get()), Block(2, 5, 2, 5));
  // (1, 2.5) lies between the centres of cells (0, 1) and (1, 1);
  // (1.5, 2.5) is the centre of cell (1, 1).
  EXPECT_EQ(result->MbrVecValues[2][2], 5.5);
  EXPECT_EQ(result->MbrVecValues[2][3], 6.0);
}

TEST(BilinearInterpolateTest, DoublingTheCellSizeDropsTheNorthRowAndEastColumn) {
  auto source = MakeMap(10, 10, 1.0, 0.0, 0.0, CountingValues(100));
  std::unique_ptr<TMap> result(TMapTools::BilinearInterpolate(source.get(), 2.0));
  ASSERT_EQ(result->MbrLngXDim, 5);
  ASSERT_EQ(result->MbrLngYDim, 5);
  EXPECT_EQ(FilledCells(result.get()), Block(0, 3, 1, 4));
  EXPECT_EQ(result->MbrVecValues[1][0], (21.0 + 22.0 + 31.0 + 32.0) / 4);
}

// Centres derived from ascending Y edges lie half a cell below their row, so
// the walk's last y, in the northern row, is above that row's centre and asks
// for the row beyond it.
TEST(BilinearInterpolateTest, AnAscendingYAxisRunsPastTheNorthernRow) {
  auto source = MakeMap(4, 4, 1.0, 0.0, 0.0, CountingValues(16), -9999.0, true);
  const char* expected = "LngGetY2 is out of range in TMapTools::BilinearInterpolate";
  EXPECT_THROW_MSG(delete TMapTools::BilinearInterpolate(source.get(), 0.5), expected);
  EXPECT_THROW_MSG(delete LiteralBilinearInterpolate(source.get(), 0.5), expected);
}

TEST(BilinearInterpolateTest, ANarrowMapIsLeftEmptyWithoutFailure) {
  auto source = MakeMap(2, 6, 1.0, 0.0, 0.0, CountingValues(12));
  std::unique_ptr<TMap> result(TMapTools::BilinearInterpolate(source.get(), 0.5));
  EXPECT_EQ(result->MbrLngXDim, 4);
  EXPECT_TRUE(FilledCells(result.get()).empty());
}

TEST(BilinearInterpolateTest, NoDataCellsAreInterpolatedAsNumbers) {
  auto source = MakeMap(3, 3, 1.0, 0.0, 0.0, {1, 2, 3, -9999, 5, 6, 7, 8, 9});
  std::unique_ptr<TMap> result(TMapTools::BilinearInterpolate(source.get(), 1.0));
  EXPECT_EQ(result->MbrVecValues[1][1], (-9999.0 + 5.0 + 7.0 + 8.0) / 4);
}

TEST(BilinearInterpolateTest, Failures) {
  auto fourByFour = MakeMap(4, 4, 1.0, 0.0, 0.0, CountingValues(16));
  auto twoRows = MakeMap(4, 2, 1.0, 0.0, 0.0, CountingValues(8));
  auto oneRow = MakeMap(6, 1, 1.0, 0.0, 0.0, CountingValues(6));
  auto big = MakeMap(100, 100, 1.0, 0.0, 0.0);
  TMap bare(1.0, 4, 4);
  const double nan = std::nan("");
  struct {
    TMap* map;
    double newCell;
    const char* message;
  } cases[] = {
      {fourByFour.get(), 0.0, "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate"},
      {fourByFour.get(), -1.0, "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate"},
      {fourByFour.get(), nan, "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate"},
      {&bare, 1.0, "Map has no axes in TMapTools::BilinearInterpolate"},
      {twoRows.get(), 0.5, "LngGetY2 is out of range in TMapTools::BilinearInterpolate"},
      {oneRow.get(), 0.5, "Ordinate is out of range in TAxis::GetIndex"},
      {fourByFour.get(), 5.0, "Index is out of range in TAxis::GetPoint"},
      {twoRows.get(), 3.0, "Index is out of range in TAxis::GetPoint"},
      {big.get(), 0.0001, "Grid dimensions are too large in TMapTools::Downscale"},
  };
  for (const auto& c : cases) {
    EXPECT_THROW_MSG(delete TMapTools::BilinearInterpolate(c.map, c.newCell), c.message)
        << c.newCell;
  }
}

// North edges so far from 0 that doubles there are 2 apart, a new cell size
// of 1 (half that spacing) and a cell size of 0.5 in the map: the walk's first
// y is 2^53 + 2000, and a step of -1 from there rounds back to it (ties go to
// the even neighbour) while the walk would still go on.
std::unique_ptr<TMap> StallingMap() {
  const double north = 9007199254742994.0;
  auto map = std::make_unique<TMap>(0.5, 8, 4);
  TAxis xEdges(0.5);
  for (double x = 0.0; x <= 4.0; x += 0.5)
    xEdges.AddPoint(new TPoint(x, north));
  TAxis yEdges(0.5);
  for (double y : {north, north - 2, north - 4, north - 6, north - 8})
    yEdges.AddPoint(new TPoint(0.0, y));
  map->SetXAxisInterval(&xEdges);
  map->SetYAxisInterval(&yEdges);
  return map;
}

TEST(BilinearInterpolateTest, AStepThatDoesNotMoveTheWalkFails) {
  auto source = StallingMap();
  const char* expected =
      "New resolution is too small for the map's coordinates in TMapTools::BilinearInterpolate";
  EXPECT_THROW_MSG(delete TMapTools::BilinearInterpolate(source.get(), 1.0), expected);
  EXPECT_THROW_MSG(delete LiteralBilinearInterpolate(source.get(), 1.0), expected);
}

TEST(BilinearInterpolateTest, LeavesTheSourceUnchanged) {
  auto source = MakeMap(6, 5, 2.0, 1.0, 1.0, ScatteredValues(30, 7, -9999.0));
  auto copy = MakeMap(6, 5, 2.0, 1.0, 1.0, ScatteredValues(30, 7, -9999.0));
  std::unique_ptr<TMap> result(TMapTools::BilinearInterpolate(source.get(), 0.7));
  EXPECT_EQ(MapDifference(copy.get(), source.get()), "");
}

TEST(BilinearInterpolatePointsTest, InterpolatesAndExtrapolatesFromFourCorners) {
  struct {
    double x, y, expected;
  } cases[] = {{0.5, 0.5, 2.5}, {0.0, 0.0, 1.0}, {2.0, 0.0, 3.0}, {1.0, 1.0, 4.0}};
  for (const auto& c : cases) {
    // Only P11's x and y, P21's x and P12's y place the corners: the other
    // coordinates are deliberately wrong.
    TMapPoint P11(0, 0, 1), P21(1, 77, 2), P12(-5, 1, 3), P22(99, 99, 4), T(c.x, c.y, 0);
    TMapTools::BilinearInterpolate(&P11, &P21, &P12, &P22, &T);
    EXPECT_EQ(T.value, c.expected);
    EXPECT_EQ(T.x, c.x);
    EXPECT_EQ(P22.value, 4.0);
    EXPECT_EQ(TMapTools::BilinearInterpolate(1, 2, 3, 4, c.x, 0, 1, c.y, 0, 1), c.expected);
  }
}

TEST(BilinearInterpolatePointsTest, DividesEachCornerValueFirstAndAddsLeftToRight) {
  const double Q11 = 0.1, Q21 = 0.7, Q12 = 1e17, Q22 = -1e17, x = 0.3, x1 = 0.0, x2 = 3.0, y = 0.7,
               y1 = 0.0, y2 = 7.0;
  const double A = (x2 - x1) * (y2 - y1);
  double expected = Q11 / A * (x2 - x) * (y2 - y);
  expected += Q21 / A * (x - x1) * (y2 - y);
  expected += Q12 / A * (x2 - x) * (y - y1);
  expected += Q22 / A * (x - x1) * (y - y1);
  EXPECT_EQ(TMapTools::BilinearInterpolate(Q11, Q21, Q12, Q22, x, x1, x2, y, y1, y2), expected);
  EXPECT_TRUE(std::isinf(TMapTools::BilinearInterpolate(1, 1, 1, 1, 0.5, 0, 0, 0.5, 0, 1)) ||
              std::isnan(TMapTools::BilinearInterpolate(1, 1, 1, 1, 0.5, 0, 0, 0.5, 0, 1)));
}
} // namespace
