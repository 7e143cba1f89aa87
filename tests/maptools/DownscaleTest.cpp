#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
struct CountCase {
  long columns, rows;
  double cell, newCell;
  long expectedColumns, expectedRows;
};

TEST(DownscaleTest, CountsAreTruncatedAfterRoundingTheQuotient) {
  const CountCase cases[] = {
      {10, 10, 1.0, 0.3, 33, 33}, {5, 5, 1.0, 2.0, 2, 2},   {10, 10, 1.0, 0.1, 100, 100},
      {4, 6, 2.5, 2.5, 4, 6},     {7, 3, 10.0, 4.0, 17, 7}, {3, 3, 1.0, 3.0, 1, 1},
  };
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.newCell);
    auto source = MakeMap(c.columns, c.rows, c.cell, 100.0, 200.0);
    std::unique_ptr<TMap> result(TMapTools::Downscale(source.get(), c.newCell));
    EXPECT_EQ(result->MbrLngXDim, c.expectedColumns);
    EXPECT_EQ(result->MbrLngYDim, c.expectedRows);
    EXPECT_EQ(result->MbrDblResolution, c.newCell);
    EXPECT_EQ(result->MbrPtrXAxis->GetSize(), c.expectedColumns);
    EXPECT_EQ(result->MbrPtrYAxisInterval->GetSize(), c.expectedRows + 1);
  }
}

TEST(DownscaleTest, AnchorsAtTheFirstEdgesAndKeepsTheYDirection) {
  for (bool ascending : {false, true}) {
    SCOPED_TRACE(ascending);
    auto source = MakeMap(10, 10, 1.0, 3.0, 7.0, {}, -9999.0, ascending);
    std::unique_ptr<TMap> result(TMapTools::Downscale(source.get(), 0.3));
    const double firstY = source->MbrPtrYAxisInterval->GetPoint(0)->y;
    EXPECT_DOUBLE_EQ(result->MbrPtrXAxisInterval->GetPoint(0)->x, 3.0);
    EXPECT_DOUBLE_EQ(result->MbrPtrYAxisInterval->GetPoint(0)->y, firstY);
    EXPECT_EQ(result->MbrPtrXAxis->GetPoint(0)->x, 3.0 + 0.3 / 2);
    EXPECT_EQ(result->MbrPtrYAxis->GetPoint(0)->y, ascending ? 7.0 + 0.15 : 17.0 - 0.15);
    const double secondY = result->MbrPtrYAxis->GetPoint(1)->y;
    EXPECT_EQ(secondY, ascending ? 7.0 + 0.15 + 0.3 : 17.0 - 0.15 - 0.3);
    EXPECT_EQ(result->MbrPtrYAxis->GetPoint(0)->x, 3.0);
    EXPECT_EQ(result->MbrPtrXAxis->GetPoint(0)->y, firstY);
  }
}

TEST(DownscaleTest, AtTheSameCellSizeGivesTheSameGeometryAndNoValues) {
  auto source = MakeMap(4, 3, 2.0, -10.0, 5.0, CountingValues(12));
  source->MbrDblNoDataValue = -1.0;
  std::unique_ptr<TMap> result(TMapTools::Downscale(source.get(), 2.0));
  ASSERT_EQ(result->MbrLngXDim, 4);
  ASSERT_EQ(result->MbrLngYDim, 3);
  for (long i = 0; i <= 4; ++i)
    EXPECT_DOUBLE_EQ(result->MbrPtrXAxisInterval->GetPoint(i)->x,
                     source->MbrPtrXAxisInterval->GetPoint(i)->x);
  for (long i = 0; i <= 3; ++i)
    EXPECT_DOUBLE_EQ(result->MbrPtrYAxisInterval->GetPoint(i)->y,
                     source->MbrPtrYAxisInterval->GetPoint(i)->y);
  EXPECT_EQ(result->MbrDblNoDataValue, -9999.0);
  for (const auto& row : result->MbrVecValues)
    for (double value : row)
      EXPECT_EQ(value, -9999.0);
  EXPECT_EQ(source->MbrVecValues[2][3], 12.0);
}

TEST(DownscaleTest, ACellSizeBeyondTheExtentLeavesNoAxis) {
  auto source = MakeMap(4, 8, 1.0, 0.0, 0.0);
  for (double newCell : {4.5, 9.0, 1e300, std::numeric_limits<double>::infinity()}) {
    EXPECT_THROW_MSG(delete TMapTools::Downscale(source.get(), newCell),
                     "Index is out of range in TAxis::GetPoint")
        << newCell;
  }
}

TEST(DownscaleTest, RefusesGridsTooLargeBeforeAllocating) {
  auto source = MakeMap(100, 100, 1.0, 0.0, 0.0);
  // 1e11 columns do not fit a 32-bit count; 1e6 x 1e6 cells fit the count but
  // not the memory; a not-a-number size gives no count at all.
  for (double newCell : {1e-9, 0.0001, 0.0, std::nan("")}) {
    EXPECT_THROW_MSG(delete TMapTools::Downscale(source.get(), newCell),
                     "Grid dimensions are too large in TMapTools::Downscale")
        << newCell;
  }
}

TEST(DownscaleTest, RefusesAMapWithoutAxes) {
  TMap source(1.0, 3, 3);
  EXPECT_THROW_MSG(delete TMapTools::Downscale(&source, 0.5),
                   "Map has no axes in TMapTools::Downscale");
}

TEST(SubdivideTest, SplitsEveryCellAndCopiesItsValue) {
  auto source = MakeMap(2, 3, 1.0, 10.0, 20.0, CountingValues(6));
  std::unique_ptr<TMap> result(TMapTools::Subdivide(source.get(), 2));
  ASSERT_EQ(result->MbrLngXDim, 4);
  ASSERT_EQ(result->MbrLngYDim, 6);
  EXPECT_EQ(result->MbrDblResolution, 0.5);
  for (long row = 0; row < 6; ++row)
    for (long col = 0; col < 4; ++col)
      EXPECT_EQ(result->MbrVecValues[row][col], source->MbrVecValues[row / 2][col / 2])
          << col << ", " << row;
  EXPECT_EQ(result->MbrVecValues[5][3], 6.0);
}

TEST(SubdivideTest, CoversTheSourceExtentInItsDirection) {
  for (bool ascending : {false, true}) {
    SCOPED_TRACE(ascending);
    auto source = MakeMap(3, 4, 0.7, -2.0, 5.0, {}, -9999.0, ascending);
    std::unique_ptr<TMap> result(TMapTools::Subdivide(source.get(), 3));
    TAxis* edges = result->MbrPtrYAxisInterval;
    ASSERT_EQ(edges->GetSize(), 13);
    EXPECT_EQ(edges->GetPoint(0)->y, source->MbrPtrYAxisInterval->GetPoint(0)->y);
    EXPECT_NEAR(edges->GetPoint(12)->y, source->MbrPtrYAxisInterval->GetPoint(4)->y, 1e-12);
    EXPECT_NEAR(result->MbrPtrXAxisInterval->GetPoint(9)->x, -2.0 + 2.1, 1e-12);
    EXPECT_EQ(edges->GetPoint(1)->y - edges->GetPoint(0)->y > 0, ascending);
  }
}

TEST(SubdivideTest, FactorOneCopiesValuesAndDeclaresDefaultNoData) {
  auto source = MakeMap(3, 2, 5.0, 0.0, 0.0, {1.0, -1.0, 3.0, 4.0, -1.0, 6.0});
  source->MbrDblNoDataValue = -1.0;
  std::unique_ptr<TMap> result(TMapTools::Subdivide(source.get(), 1));
  EXPECT_EQ(result->MbrVecValues, source->MbrVecValues);
  EXPECT_EQ(result->MbrDblNoDataValue, -9999.0);
  EXPECT_EQ(result->MbrDblResolution, 5.0);
  for (long i = 0; i <= 3; ++i)
    EXPECT_EQ(result->MbrPtrXAxisInterval->GetPoint(i)->x,
              source->MbrPtrXAxisInterval->GetPoint(i)->x);
}

TEST(SubdivideTest, Refusals) {
  auto source = MakeMap(100, 100, 1.0, 0.0, 0.0);
  TMap bare(1.0, 2, 2);
  struct {
    TMap* map;
    int factor;
    const char* message;
  } cases[] = {
      {source.get(), 0, "Subdivision factor must be at least 1 in TMapTools::Subdivide"},
      {source.get(), -3, "Subdivision factor must be at least 1 in TMapTools::Subdivide"},
      {source.get(), 1 << 30, "Grid dimensions are too large in TMapTools::Subdivide"},
      {source.get(), 10000000, "Grid dimensions are too large in TMapTools::Subdivide"},
      {&bare, 2, "Map has no axes in TMapTools::Subdivide"},
  };
  for (const auto& c : cases) {
    EXPECT_THROW_MSG(delete TMapTools::Subdivide(c.map, c.factor), c.message) << c.factor;
  }
}

TEST(SubdivideTest, AMapWithMissingCellsFailsWhereColumnOrderReachesThem) {
  auto source = MakeMap(3, 2, 1.0, 0.0, 0.0, CountingValues(6));
  source->MbrVecValues[1].pop_back();
  EXPECT_THROW_MSG(delete TMapTools::Subdivide(source.get(), 2),
                   "X-ordinate is out of range in TMap::GetPointVal");
}
} // namespace
