#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// A one-row map of the values, cell size 2, with the given no-data value.
std::unique_ptr<TMap> RowMap(const std::vector<double>& values, double noData = -9999.0) {
  return MakeMap(static_cast<long>(values.size()), 1, 2.0, 100.0, 50.0, values, noData);
}

void ExpectSameBits(const std::vector<double>& actual, const std::vector<double>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i)
    EXPECT_TRUE(SameBits(actual[i], expected[i]))
        << "cell " << i << ": " << actual[i] << " instead of " << expected[i];
}

// The result lies on the source's cells and declares -9999.
void ExpectSourceGeometry(TMap* result, TMap* source) {
  ASSERT_EQ(result->MbrLngXDim, source->MbrLngXDim);
  ASSERT_EQ(result->MbrLngYDim, source->MbrLngYDim);
  EXPECT_EQ(result->MbrDblResolution, source->MbrDblResolution);
  EXPECT_EQ(result->MbrDblNoDataValue, -9999.0);
  for (long i = 0; i < source->MbrLngXDim; ++i)
    EXPECT_EQ(result->MbrPtrXAxis->GetPoint(i)->x, source->MbrPtrXAxis->GetPoint(i)->x);
  for (long j = 0; j <= source->MbrLngYDim; ++j)
    EXPECT_EQ(result->MbrPtrYAxisInterval->GetPoint(j)->y,
              source->MbrPtrYAxisInterval->GetPoint(j)->y);
  EXPECT_NE(result->MbrPtrXAxis, source->MbrPtrXAxis);
}

struct FilterCase {
  const char* name;
  std::function<TMap*(TMap*)> run;
  std::vector<double> input, expected;
};

void RunFilterCases(const std::vector<FilterCase>& cases) {
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto source = RowMap(c.input, -32768.0);
    std::unique_ptr<TMap> result(c.run(source.get()));
    ExpectSourceGeometry(result.get(), source.get());
    ExpectSameBits(MapValues(result.get()), c.expected);
    ExpectSameBits(MapValues(source.get()), c.input);
  }
}
} // namespace

TEST(TMapToolsThresholdReplace, CellsAtOrAboveTheThresholdAreReplaced) {
  auto at = [](double threshold, double replacement) {
    return [=](TMap* map) { return TMapTools::ThresholdReplace(map, threshold, replacement); };
  };
  RunFilterCases({
      {"threshold inclusive", at(5, -1), {4, 5, 6, 4.999999}, {4, -1, -1, 4.999999}},
      {"not-a-number copied", at(5, -1), {kNaN, 7}, {kNaN, -1}},
      {"no-data replaced at or below the threshold",
       at(-9999, 0),
       {-9999, -10000, 3},
       {0, -10000, 0}},
  });
}

TEST(TMapToolsThreshold, CellsBelowTheThresholdBecomeZero) {
  auto at = [](double threshold) {
    return [=](TMap* map) { return TMapTools::Threshold(map, threshold); };
  };
  RunFilterCases({
      {"threshold inclusive", at(5), {4, 5, 6, 4.999999}, {0, 5, 6, 0}},
      {"no-data below becomes 0", at(0), {-9999, 0, kNaN, kInf}, {0, 0, 0, kInf}},
  });
}

TEST(TMapToolsThreshold, SeriesGivesOneMapPerMapInOrder) {
  auto first = RowMap({1, 5});
  auto second = RowMap({5, 1, 9});
  std::vector<TMap*> results = TMapTools::Threshold({first.get(), second.get()}, 5);
  ASSERT_EQ(results.size(), 2u);
  std::unique_ptr<TMap> a(results[0]), b(results[1]);
  EXPECT_EQ(MapValues(a.get()), (std::vector<double>{0, 5}));
  EXPECT_EQ(MapValues(b.get()), (std::vector<double>{5, 0, 9}));
  EXPECT_TRUE(TMapTools::Threshold(std::vector<TMap*>{}, 5).empty());
}

TEST(TMapToolsThreshold, SeriesFailureReleasesTheMapsAlreadyMade) {
  auto good = RowMap({1, 5});
  TMap bare(1.0, 2, 2);
  EXPECT_THROW_MSG((void)TMapTools::Threshold({good.get(), good.get(), &bare}, 5),
                   "Map has no axes in TMapTools::Threshold");
}

TEST(TMapToolsReplaceValue, CellsMappedThroughTheTable) {
  const double nearOne = std::nextafter(1.0, 2.0);
  auto with = [](std::map<double, double> table, double fallback) {
    return [=](TMap* map) { return TMapTools::ReplaceValue(map, table, fallback); };
  };
  RunFilterCases({
      {"empty table gives the default everywhere", with({}, 42), {1, 2, -9999}, {42, 42, 42}},
      {"exact keys only", with({{1, 10}, {2, 20}}, -1), {1, nearOne, 2, 3}, {10, -1, 20, -1}},
      {"not-a-number gets the default", with({{-5, 1}, {0, 2}, {9, 3}}, -1), {kNaN, 9}, {-1, 3}},
      {"no-data recoded like any value", with({{-9999, 0}}, 7), {-9999, 5}, {0, 7}},
  });
}

TEST(TMapToolsMask, SecondMapValuesOnTheFirstMapGeometry) {
  auto geometry = MakeMap(2, 2, 5.0, 10.0, 20.0, {kNaN, kNaN, kNaN, kNaN});
  auto values = MakeMap(2, 2, 1.0, 0.0, 0.0, {3, -9999, 3, 4});
  std::unique_ptr<TMap> masked(TMapTools::Mask(geometry.get(), values.get(), 3, 0));
  ExpectSourceGeometry(masked.get(), geometry.get());
  EXPECT_EQ(MapValues(masked.get()), (std::vector<double>{0, -9999, 0, 4}));

  std::unique_ptr<TMap> copy(TMapTools::Mask(geometry.get(), values.get(), 99, 0));
  EXPECT_EQ(MapValues(copy.get()), MapValues(values.get()));
  EXPECT_EQ(copy->MbrDblNoDataValue, -9999.0);
}

TEST(TMapToolsMask, DimensionsComparedColumnsFirst) {
  struct Case {
    long columns, rows;
    const char* message;
  } cases[] = {
      {3, 2, "X dimensions do not match in TMapTools::Mask"},
      {3, 3, "X dimensions do not match in TMapTools::Mask"},
      {2, 3, "Y dimensions do not match in TMapTools::Mask"},
  };
  auto first = MakeMap(2, 2, 1.0, 0.0, 0.0);
  for (const Case& c : cases) {
    auto second = MakeMap(c.columns, c.rows, 1.0, 0.0, 0.0);
    EXPECT_THROW_MSG(delete TMapTools::Mask(first.get(), second.get(), 0, 0), c.message);
  }
}

TEST(TMapToolsRoundContents, HalvesUpForPositiveTruncationForNegative) {
  RunFilterCases({
      {"examples",
       TMapTools::RoundContents,
       {0.5, 0.4999, -0.5, -0.9, 7, 2.5, 2.49, -2.7, -2.5, -9999, -0.0},
       {1, 0, 0, 0, 7, 3, 2, -2, -2, -9999, 0}},
      {"beyond 32 bits and special values",
       TMapTools::RoundContents,
       {2147483647.5, 3e9 + 0.5, -3e9 - 0.7, 1e300, kNaN, kInf, -kInf},
       {2147483648.0, 3e9 + 1, -3e9, 1e300, kNaN, kInf, -kInf}},
  });
}

TEST(TMapToolsCountValues, OrderedCountsAddUpToTheCells) {
  auto map = MakeMap(2, 2, 1.0, 0.0, 0.0, {1, 1, 2, -9999});
  const std::map<double, long> counts = TMapTools::CountValues(map.get());
  EXPECT_EQ(counts, (std::map<double, long>{{-9999, 1}, {1, 2}, {2, 1}}));
  EXPECT_EQ(counts.begin()->first, -9999.0);

  auto mixed = MakeMap(4, 3, 1.0, 0.0, 0.0, {5, 5, 5, 3, 3, 5, 0, -1, 5, 0.5, 3, 3});
  long total = 0;
  for (const auto& entry : TMapTools::CountValues(mixed.get()))
    total += entry.second;
  EXPECT_EQ(total, 12);
  EXPECT_EQ(TMapTools::CountValues(mixed.get()).at(5), 5);

  TMap empty(1.0);
  EXPECT_TRUE(TMapTools::CountValues(&empty).empty());
}

// +0 and -0 share one key, the zero met first with columns outermost: in
// these maps row order meets the other zero first.
TEST(TMapToolsCountValues, ZeroKeyTakesTheSignOfTheFirstZeroColumnByColumn) {
  const struct {
    std::vector<double> values;
    double key;
  } cases[] = {
      {{5, 0.0, -0.0, 5}, -0.0},
      {{5, -0.0, 0.0, 5}, 0.0},
      {{-0.0, 0.0, 0.0, -0.0}, -0.0},
      {{7, 7, 0.0, -0.0}, 0.0},
  };
  for (const auto& c : cases) {
    auto map = MakeMap(2, 2, 1.0, 0.0, 0.0, c.values);
    const std::map<double, long> counts = TMapTools::CountValues(map.get());
    const auto zero = counts.find(0.0);
    ASSERT_NE(zero, counts.end());
    EXPECT_EQ(zero->second, std::count(c.values.begin(), c.values.end(), 0.0));
    EXPECT_TRUE(SameBits(zero->first, c.key)) << "first value " << c.values[0];
  }
}

TEST(TMapToolsCountValues, NotANumberCellsAreNotKeys) {
  auto map = MakeMap(2, 2, 1.0, 0.0, 0.0, {kNaN, 1, kNaN, 2});
  const std::map<double, long> counts = TMapTools::CountValues(map.get());
  EXPECT_EQ(counts, (std::map<double, long>{{1, 1}, {2, 1}}));
}

TEST(TMapToolsCountValues, OneValueCountsOnlyStoredCells) {
  auto map = MakeMap(3, 3, 1.0, 0.0, 0.0, {7, 7, 1, 7, 7, 7, 7, 2, 7});
  EXPECT_EQ(TMapTools::CountValues(map.get(), 7), 7);
  EXPECT_EQ(TMapTools::CountValues(map.get(), 3), 0);
  EXPECT_EQ(TMapTools::CountValues(map.get(), kNaN), 0);
  map->MbrVecValues[1].resize(1);
  map->MbrVecValues.pop_back();
  EXPECT_EQ(TMapTools::CountValues(map.get(), 7), 3);
  map->MbrLngXDim = 1;
  EXPECT_EQ(TMapTools::CountValues(map.get(), 7), 2);

  auto nan = MakeMap(2, 1, 1.0, 0.0, 0.0, {kNaN, kNaN});
  EXPECT_EQ(TMapTools::CountValues(nan.get(), kNaN), 0);
  TMap empty(1.0);
  EXPECT_EQ(TMapTools::CountValues(&empty, -9999), 0);
}

TEST(TMapToolsFilters, RefuseMapsWithoutAxesOrWithShortRows) {
  struct Case {
    const char* operation;
    std::function<TMap*(TMap*)> run;
  } cases[] = {
      {"ThresholdReplace", [](TMap* m) { return TMapTools::ThresholdReplace(m, 0, 0); }},
      {"Threshold", [](TMap* m) { return TMapTools::Threshold(m, 0); }},
      {"ReplaceValue", [](TMap* m) { return TMapTools::ReplaceValue(m, {}, 0); }},
      {"Mask", [](TMap* m) { return TMapTools::Mask(m, m, 0, 0); }},
      {"RoundContents", [](TMap* m) { return TMapTools::RoundContents(m); }},
  };
  for (const Case& c : cases) {
    TMap bare(1.0, 2, 2);
    EXPECT_THROW_MSG(delete c.run(&bare),
                     std::string("Map has no axes in TMapTools::") + c.operation);

    auto ragged = MakeMap(3, 2, 1.0, 0.0, 0.0, {1, 2, 3, 4, 5, 6});
    ragged->MbrVecValues[1].resize(2);
    EXPECT_THROW_MSG(delete c.run(ragged.get()), "X-ordinate is out of range in TMap::GetPointVal")
        << c.operation;
  }
  auto ragged = MakeMap(3, 2, 1.0, 0.0, 0.0, {1, 2, 3, 4, 5, 6});
  ragged->MbrVecValues.pop_back();
  EXPECT_THROW_MSG(delete TMapTools::Threshold(ragged.get(), 0),
                   "Y-ordinate is out of range in TMap::GetPointVal");
}

TEST(TMapToolsFilters, ResultsDoNotShareTheSourceAxes) {
  auto source = MakeMap(2, 3, 0.5, -3.0, 7.0, {1, 2, 3, 4, 5, 6}, -1.0);
  std::unique_ptr<TMap> result(TMapTools::Threshold(source.get(), 0));
  source.reset();
  EXPECT_EQ(result->MbrPtrXAxisInterval->GetPoint(0)->x, -3.0);
  EXPECT_EQ(MapValues(result.get()), (std::vector<double>{1, 2, 3, 4, 5, 6}));
}
