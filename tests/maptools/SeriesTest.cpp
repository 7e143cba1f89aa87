#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
const char* const kSumTooFew = "Must have more than 2 maps to sum in TMapTools::Sum";
const double kNaN = std::numeric_limits<double>::quiet_NaN();

using SeriesOperation = std::function<TMap*(std::vector<TMap*>)>;

// A series of maps that the test owns, handed out as raw pointers.
class Series {
public:
  void Add(std::unique_ptr<TMap> map) { MbrVecMaps.push_back(std::move(map)); }
  // A 3 x 1 map of cell size 1 at the origin.
  void Add(const std::vector<double>& values, double noData = -9999.0) {
    Add(MakeMap(3, 1, 1.0, 0.0, 0.0, values, noData));
  }
  std::vector<TMap*> Maps() const {
    std::vector<TMap*> maps;
    for (const std::unique_ptr<TMap>& map : MbrVecMaps)
      maps.push_back(map.get());
    return maps;
  }

private:
  std::vector<std::unique_ptr<TMap>> MbrVecMaps;
};

void ExpectValues(TMap* map, const std::vector<double>& expected) {
  const std::vector<double> actual = MapValues(map);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < actual.size(); ++k)
    EXPECT_TRUE(SameBits(actual[k], expected[k]) ||
                (std::isnan(actual[k]) && std::isnan(expected[k])))
        << "cell " << k << ": " << actual[k] << " instead of " << expected[k];
}

std::unique_ptr<TMap> Apply(const SeriesOperation& operation, const Series& series) {
  return std::unique_ptr<TMap>(operation(series.Maps()));
}
} // namespace

TEST(SeriesSum, NeedsTwoMaps) {
  Series series;
  EXPECT_THROW_MSG(delete TMapTools::Sum(series.Maps()), kSumTooFew);
  series.Add({1.0, 2.0, 3.0});
  EXPECT_THROW_MSG(delete TMapTools::Sum(series.Maps()), kSumTooFew);
  EXPECT_THROW_MSG(delete TMapTools::Average(series.Maps()), kSumTooFew);
  series.Add({10.0, 20.0, 30.0});
  std::unique_ptr<TMap> sum = Apply(TMapTools::Sum, series);
  ExpectValues(sum.get(), {11.0, 22.0, 33.0});
}

TEST(SeriesChecks, FirstMapWhoseCountsDifferDecidesXBeforeY) {
  struct Case {
    const char* name;
    SeriesOperation operation;
    const char* columnsMessage;
    const char* rowsMessage;
  };
  const std::vector<Case> cases = {
      {"Sum", TMapTools::Sum, "X-dimension of maps are inconsistent in TMapTools::Sum",
       "Y-dimension of maps are inconsistent in TMapTools::Sum"},
      {"DataCounts", TMapTools::DataCounts,
       "X-dimension of maps are inconsistent in TMapTools::DataCounts",
       "Y-dimension of maps are inconsistent in TMapTools::DataCounts"},
      {"Average", TMapTools::Average, "X-dimension of maps are inconsistent in TMapTools::Sum",
       "Y-dimension of maps are inconsistent in TMapTools::Sum"},
  };
  struct Shape {
    long columns;
    long rows;
  };
  struct Layout {
    std::vector<Shape> shapes;
    bool columnsDecide;
  };
  const std::vector<Layout> layouts = {
      {{{3, 2}, {4, 2}}, true},
      {{{3, 2}, {3, 1}}, false},
      {{{3, 2}, {4, 1}}, true},
      {{{3, 2}, {3, 4}, {2, 2}}, false},
      {{{3, 2}, {3, 2}, {2, 2}, {3, 5}}, true},
  };
  for (const Case& c : cases)
    for (std::size_t k = 0; k < layouts.size(); ++k) {
      SCOPED_TRACE(c.name + std::string(", layout ") + std::to_string(k));
      Series series;
      for (const Shape& shape : layouts[k].shapes)
        series.Add(MakeMap(shape.columns, shape.rows, 1.0, 0.0, 0.0));
      EXPECT_THROW_MSG(delete c.operation(series.Maps()),
                       layouts[k].columnsDecide ? c.columnsMessage : c.rowsMessage);
    }
}

TEST(SeriesChecks, DamagedRowsAndMissingAxesAreRefused) {
  struct Case {
    const char* name;
    SeriesOperation operation;
    const char* rowsMessage;
    const char* axesMessage;
  };
  const std::vector<Case> cases = {
      {"Sum", TMapTools::Sum, "Map rows do not match its dimensions in TMapTools::Sum",
       "Map has no axes in TMapTools::Sum"},
      {"DataCounts", TMapTools::DataCounts,
       "Map rows do not match its dimensions in TMapTools::DataCounts",
       "Map has no axes in TMapTools::DataCounts"},
      {"Average", TMapTools::Average, "Map rows do not match its dimensions in TMapTools::Sum",
       "Map has no axes in TMapTools::Sum"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Series damaged;
    damaged.Add({1.0, 2.0, 3.0});
    damaged.Add({1.0, 2.0, 3.0});
    damaged.Maps()[1]->MbrVecValues[0].pop_back();
    EXPECT_THROW_MSG(delete c.operation(damaged.Maps()), c.rowsMessage);

    Series bare;
    bare.Add(std::make_unique<TMap>(1.0, 3, 1));
    bare.Add({1.0, 2.0, 3.0});
    EXPECT_THROW_MSG(delete c.operation(bare.Maps()), c.axesMessage);
  }
}

TEST(SeriesSum, AnyNoDataCellWritesTheFirstSuchMapsNoData) {
  Series allMinus9999;
  allMinus9999.Add({1.0, 1.0, kNaN});
  allMinus9999.Add({2.0, -9999.0, 2.0});
  allMinus9999.Add({6.0, 6.0, 3.0});
  std::unique_ptr<TMap> sum = Apply(TMapTools::Sum, allMinus9999);
  ExpectValues(sum.get(), {9.0, -9999.0, kNaN});
  EXPECT_EQ(sum->MbrDblNoDataValue, -9999.0);

  Series mixed;
  mixed.Add({-1.0, 4.0, -2.0}, -1.0);
  mixed.Add({-2.0, -2.0, 5.0}, -2.0);
  std::unique_ptr<TMap> mixedSum = Apply(TMapTools::Sum, mixed);
  ExpectValues(mixedSum.get(), {-1.0, -2.0, 3.0});
  EXPECT_EQ(mixedSum->MbrDblNoDataValue, -9999.0);
  ExpectValues(mixed.Maps()[0], {-1.0, 4.0, -2.0});
}

TEST(SeriesSum, ResultTakesTheFirstMapsGrid) {
  Series series;
  series.Add(MakeMap(2, 1, 5.0, 100.0, 50.0, {1.0, 2.0}));
  series.Add(MakeMap(2, 1, 1.0, 0.0, 0.0, {3.0, 4.0}));
  std::unique_ptr<TMap> sum = Apply(TMapTools::Sum, series);
  ExpectValues(sum.get(), {4.0, 6.0});
  EXPECT_EQ(sum->MbrDblResolution, 5.0);
  EXPECT_EQ(sum->MbrPtrXAxisInterval->GetPoint(0)->x, 100.0);
  EXPECT_EQ(sum->MbrPtrYAxisInterval->GetPoint(1)->y, 50.0);
}

TEST(SeriesDataCounts, CountsMapsHoldingData) {
  Series empty;
  EXPECT_THROW_MSG(delete TMapTools::DataCounts(empty.Maps()),
                   "Must have at least 1 map to count in TMapTools::DataCounts");

  Series single;
  single.Add({5.0, -9999.0, kNaN});
  std::unique_ptr<TMap> counts = Apply(TMapTools::DataCounts, single);
  ExpectValues(counts.get(), {1.0, 0.0, 1.0});
  EXPECT_EQ(counts->MbrDblNoDataValue, -9999.0);

  Series three;
  three.Add({-1.0, -1.0, -9999.0}, -1.0);
  three.Add({-1.0, 2.0, -9999.0});
  three.Add({-1.0, -5.0, -9999.0}, -5.0);
  ExpectValues(Apply(TMapTools::DataCounts, three).get(), {2.0, 1.0, 2.0});
}

TEST(SeriesAverage, SumOverCountsWithMinus9999Kept) {
  // The third cell sums to exactly -9999.
  Series wide;
  wide.Add(MakeMap(4, 1, 2.0, 10.0, 20.0, {1.0, 1.0, -9000.0, 4.0}));
  wide.Add(MakeMap(4, 1, 2.0, 10.0, 20.0, {2.0, -9999.0, -999.0, 0.0}));
  wide.Add(MakeMap(4, 1, 2.0, 10.0, 20.0, {6.0, 6.0, 0.0, -1.0}));
  std::unique_ptr<TMap> average = Apply(TMapTools::Average, wide);
  ExpectValues(average.get(), {3.0, -9999.0, -9999.0, 1.0});
  EXPECT_EQ(average->MbrDblNoDataValue, -9999.0);
  EXPECT_EQ(average->MbrDblResolution, 2.0);
  EXPECT_EQ(average->MbrPtrXAxis->GetPoint(0)->x, 11.0);
}

TEST(SeriesAverage, OtherNoDataValuesAreDividedLikeData) {
  // A cell written with a map's own no-data value (-1) is not the sum's -9999,
  // so it is divided by the count like any value.
  Series series;
  series.Add({-1.0, 3.0, 3.0}, -1.0);
  series.Add({4.0, 3.0, -1.0}, -1.0);
  ExpectValues(Apply(TMapTools::Average, series).get(), {-1.0, 3.0, -1.0});
  Series allNoData;
  allNoData.Add({-1.0, 3.0, 3.0}, -1.0);
  allNoData.Add({-1.0, 3.0, 3.0}, -1.0);
  ExpectValues(Apply(TMapTools::Average, allNoData).get(),
               {-std::numeric_limits<double>::infinity(), 3.0, 3.0});
}

TEST(SeriesMovingAverage, OneAverageForEveryWindowPosition) {
  Series series;
  for (double v : {1.0, 2.0, 3.0, 4.0, 5.0})
    series.Add({v, v * 10.0, v == 3.0 ? -9999.0 : v});

  struct Case {
    int window;
    std::vector<std::vector<double>> expected;
  };
  const std::vector<Case> cases = {
      {3, {{2.0, 20.0, -9999.0}, {3.0, 30.0, -9999.0}, {4.0, 40.0, -9999.0}}},
      {5, {{3.0, 30.0, -9999.0}}},
      {6, {}},
      {2, {{1.5, 15.0, 1.5}, {2.5, 25.0, -9999.0}, {3.5, 35.0, -9999.0}, {4.5, 45.0, 4.5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("window " + std::to_string(c.window));
    std::vector<TMap*> averages = TMapTools::MovingAverage(series.Maps(), c.window);
    std::vector<std::unique_ptr<TMap>> owned(averages.begin(), averages.end());
    ASSERT_EQ(owned.size(), c.expected.size());
    for (std::size_t k = 0; k < owned.size(); ++k)
      ExpectValues(owned[k].get(), c.expected[k]);
  }
}

TEST(SeriesMovingAverage, FailuresPassOutAndReleaseTheAveragesMade) {
  Series series;
  for (int k = 0; k < 3; ++k)
    series.Add({1.0, 2.0, 3.0});
  for (int window : {1, 0, -4})
    EXPECT_THROW_MSG((void)TMapTools::MovingAverage(series.Maps(), window), kSumTooFew)
        << "window " << window;

  // The third window reaches the map of other counts after two averages.
  series.Add(MakeMap(4, 1, 1.0, 0.0, 0.0));
  EXPECT_THROW_MSG((void)TMapTools::MovingAverage(series.Maps(), 2),
                   "X-dimension of maps are inconsistent in TMapTools::Sum");
  std::vector<TMap*> longer = TMapTools::MovingAverage(series.Maps(), 5);
  EXPECT_TRUE(longer.empty());
}
