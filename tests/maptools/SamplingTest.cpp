#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Owns the points of a point table or of a first-occurrence table.
struct OwnedPoints {
  std::vector<std::unique_ptr<TMapPoint>> points;
  TMapPoint* Add(double x, double y) {
    points.emplace_back(new TMapPoint(x, y, 0.0));
    return points.back().get();
  }
};

void DeletePoints(std::map<double, TMapPoint*>& table) {
  for (auto& entry : table)
    delete entry.second;
}

// 3 x 2 cells of 10, south-west corner (0, 0); rows 1 2 3 / 4 5 6 from north.
std::unique_ptr<TMap> SmallMap() {
  return MakeMap(3, 2, 10.0, 0.0, 0.0, {1, 2, 3, 4, 5, 6});
}

TEST(FetchMapValues, SamplesTheCellHoldingEachPoint) {
  auto map = SmallMap();
  OwnedPoints owned;
  std::map<double, TMapPoint*> points{
      {7, owned.Add(25, 5)}, {-1, owned.Add(0, 20)}, {3, owned.Add(30, 0)}, {2, owned.Add(10, 10)}};
  const std::map<double, double> expected{{-1, 1}, {2, 2}, {3, 6}, {7, 6}};
  EXPECT_EQ(TMapTools::FetchMapValues(map.get(), points), expected);
  EXPECT_TRUE(TMapTools::FetchMapValues(map.get(), {}).empty());
}

TEST(FetchMapValues, ReportsPointsOutsideTheMapAndMissingAxes) {
  auto map = SmallMap();
  OwnedPoints owned;
  EXPECT_THROW_MSG(TMapTools::FetchMapValues(map.get(), {{1, owned.Add(30.5, 5)}}),
                   "Ordinate is out of range in TAxis::GetIndex");
  EXPECT_THROW_MSG(TMapTools::FetchMapValues(map.get(), {{1, owned.Add(5, -0.5)}}),
                   "Ordinate is out of range in TAxis::GetIndex");
  TMap bare(10.0, 2, 2);
  EXPECT_THROW_MSG(TMapTools::FetchMapValues(&bare, {{1, owned.Add(5, 5)}}),
                   "Map has no axes in TMap::GetPointVal");
  EXPECT_TRUE(TMapTools::FetchMapValues(&bare, {}).empty());
  // Edge axes wider than the column count: the map's own range test speaks.
  map->MbrLngXDim = 2;
  EXPECT_THROW_MSG(TMapTools::FetchMapValues(map.get(), {{1, owned.Add(25, 5)}}),
                   "LngX is out of range in TMap::GetPointVal");
}

TEST(FetchMapValues, ManyPointsGiveWhatTheMapsOwnLookupGives) {
  // Cell size 0.1: the accumulated edges are not multiples of it, and points
  // placed exactly on them test the boundaries of the fast lookup.
  std::vector<double> values;
  for (int i = 0; i < 50 * 40; ++i)
    values.push_back(i);
  auto map = MakeMap(50, 40, 0.1, -2.0, 3.0, values);
  std::mt19937 random(7);
  std::uniform_int_distribution<long> column(0, 50);
  std::uniform_int_distribution<long> row(0, 40);
  std::uniform_real_distribution<double> shift(-0.05, 0.05);
  OwnedPoints owned;
  std::map<double, TMapPoint*> points;
  for (int label = 0; label < 3000; ++label) {
    double x = map->MbrPtrXAxisInterval->GetPoint(column(random))->x;
    double y = map->MbrPtrYAxisInterval->GetPoint(row(random))->y;
    if (label % 3 != 0) {
      x += shift(random);
      y += shift(random);
    }
    if (x < map->MbrPtrXAxisInterval->GetPoint(0)->x ||
        x > map->MbrPtrXAxisInterval->GetPoint(50)->x ||
        y > map->MbrPtrYAxisInterval->GetPoint(0)->y ||
        y < map->MbrPtrYAxisInterval->GetPoint(40)->y)
      continue;
    points[label] = owned.Add(x, y);
  }
  const std::map<double, double> sampled = TMapTools::FetchMapValues(map.get(), points);
  ASSERT_EQ(sampled.size(), points.size());
  for (const auto& entry : points)
    EXPECT_EQ(sampled.at(entry.first), map->GetPointVal(entry.second)) << entry.first;
}

TEST(FetchMapValues, SeriesPairsTablesWithMapsByPosition) {
  auto first = SmallMap();
  auto second = MakeMap(3, 2, 10.0, 0.0, 0.0, {10, 20, 30, 40, 50, 60});
  OwnedPoints owned;
  std::vector<std::map<double, TMapPoint*>> tables{
      {{1, owned.Add(5, 15)}}, {{2, owned.Add(25, 5)}}, {{3, owned.Add(99, 99)}}};
  const std::vector<std::map<double, double>> sampled =
      TMapTools::FetchMapValues({first.get(), second.get()}, tables);
  const std::vector<std::map<double, double>> expected{{{1, 1}}, {{2, 60}}};
  EXPECT_EQ(sampled, expected);

  TMap bare(10.0, 2, 2);
  EXPECT_THROW_MSG(TMapTools::FetchMapValues({&bare, first.get()}, {tables[0]}),
                   "Fewer point tables than maps in TMapTools::FetchMapValues");
  EXPECT_THROW_MSG(TMapTools::FetchMapValues({first.get(), &bare}, tables),
                   "Map has no axes in TMap::GetPointVal");
  EXPECT_TRUE(TMapTools::FetchMapValues(std::vector<TMap*>{}, {}).empty());
}

struct FirstPoint {
  double value, x, y;
};

void ExpectFirsts(std::map<double, TMapPoint*> firsts, const std::vector<FirstPoint>& expected) {
  ASSERT_EQ(firsts.size(), expected.size());
  for (const FirstPoint& e : expected) {
    ASSERT_EQ(firsts.count(e.value), 1u) << e.value;
    const TMapPoint* point = firsts[e.value];
    EXPECT_EQ(point->x, e.x) << e.value;
    EXPECT_EQ(point->y, e.y) << e.value;
    EXPECT_EQ(point->value, e.value);
  }
  DeletePoints(firsts);
}

TEST(GetFirstValues, RecordsTheFirstCellOfEachValueColumnByColumn) {
  // One column of four cells centred at y 35, 25, 15, 5.
  auto column = MakeMap(1, 4, 10.0, 0.0, 0.0, {-9999, 5, -9999, 5});
  ExpectFirsts(TMapTools::GetFirstValues(column.get(), {}), {{-9999, 5, 15}, {5, 5, 25}});
  // Columns are the outer loop: 4 is first met in column 0, row 1.
  auto square = MakeMap(2, 2, 10.0, 0.0, 0.0, {3, 4, 4, 3});
  ExpectFirsts(TMapTools::GetFirstValues(square.get(), {}), {{3, 5, 15}, {4, 5, 5}});
  // The previous value carries from the end of column 0 into column 1, so the
  // no-data cell at the top of column 1 follows an 8 and is recorded.
  auto carried = MakeMap(2, 2, 10.0, 0.0, 0.0, {8, -9999, 8, 5});
  ExpectFirsts(TMapTools::GetFirstValues(carried.get(), {}),
               {{8, 5, 15}, {-9999, 15, 15}, {5, 15, 5}});
}

TEST(GetFirstValues, ExclusionsNoDataAndNotANumber) {
  auto blank = MakeMap(3, 2, 10.0, 0.0, 0.0);
  ExpectFirsts(TMapTools::GetFirstValues(blank.get(), {}), {});
  auto map = SmallMap();
  ExpectFirsts(TMapTools::GetFirstValues(map.get(), {6, 5, 4, 3, 2, 1}), {});
  ExpectFirsts(TMapTools::GetFirstValues(map.get(), {2, kNaN, 5, 4, 6}), {{1, 5, 15}, {3, 25, 15}});
  auto zeros = MakeMap(2, 1, 10.0, 0.0, 0.0, {0, 1});
  ExpectFirsts(TMapTools::GetFirstValues(zeros.get(), {-0.0}), {{1, 15, 5}});
  // A not-a-number cell can be no key; the values around it still are.
  auto gaps = MakeMap(1, 4, 10.0, 0.0, 0.0, {kNaN, 1, kNaN, 2});
  ExpectFirsts(TMapTools::GetFirstValues(gaps.get(), {}), {{1, 5, 25}, {2, 5, 5}});
}

TEST(GetFirstValues, SeriesKeepsOneTablePerMapAndReleasesOnFailure) {
  auto first = SmallMap();
  auto second = MakeMap(1, 2, 10.0, 100.0, 0.0, {9, 9});
  std::vector<std::map<double, TMapPoint*>> tables =
      TMapTools::GetFirstValues({first.get(), second.get()}, {1, 2, 3, 4});
  ASSERT_EQ(tables.size(), 2u);
  ExpectFirsts(tables[0], {{5, 15, 5}, {6, 25, 5}});
  ExpectFirsts(tables[1], {{9, 105, 15}});

  TMap bare(1.0, 2, 2);
  bare.InitValues(4.0);
  EXPECT_THROW_MSG(TMapTools::GetFirstValues({first.get(), &bare}, {}),
                   "Map has no axes in TMap::GetPoint (long,long)");
}

TEST(FindNonzeroNeighbourVal, TakesTheRightMostColumnHoldingANonzero) {
  auto map = MakeMap(10, 10, 1.0, 0.0, 0.0, std::vector<double>(100, 0.0));
  map->SetPoint(4, 6, 7.0);
  map->SetPoint(6, 4, 9.0);
  map->SetPoint(6, 5, 3.0);
  map->SetPoint(7, 5, 1.0); // outside the block
  EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(map.get(), 5, 5), 9.0);
  EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(map.get(), 5, 6), 3.0);
  EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(map.get(), 1, 1), 0.0);
  map->SetPoint(4, 4, kNaN);
  EXPECT_TRUE(std::isnan(TMapTools::FindNonzeroNeighbourVal(map.get(), 3, 3)));
  map->SetPoint(0, 9, -9999.0);
  EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(map.get(), 0, 9), -9999.0);
}

TEST(FindNonzeroNeighbourVal, CutsTheBlockAtTheEdges) {
  auto map = MakeMap(3, 3, 1.0, 0.0, 0.0, {0, 0, 0, 0, 0, 0, 0, 0, 8});
  EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(map.get(), 0, 0), 0.0);
  EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(map.get(), 1, 1), 8.0);
  EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(map.get(), 2, 2), 8.0);
  auto one = MakeMap(1, 1, 1.0, 0.0, 0.0, {4});
  EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(one.get(), 0, 0), 4.0);
  one->SetPoint(0, 0, -0.0);
  EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(one.get(), 0, 0), 0.0);

  const std::string x = "X-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal";
  const std::string y = "Y-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal";
  EXPECT_THROW_MSG(TMapTools::FindNonzeroNeighbourVal(map.get(), -1, 0), x);
  EXPECT_THROW_MSG(TMapTools::FindNonzeroNeighbourVal(map.get(), 3, 9), x);
  EXPECT_THROW_MSG(TMapTools::FindNonzeroNeighbourVal(map.get(), 0, -1), y);
  EXPECT_THROW_MSG(TMapTools::FindNonzeroNeighbourVal(map.get(), 2, 3), y);
}

TEST(GetValuesVector, ReadsOneCellThroughARunOfMaps) {
  std::vector<std::unique_ptr<TMap>> owned;
  std::vector<TMap*> maps;
  for (int m = 0; m < 4; ++m) {
    owned.push_back(MakeMap(2, 1, 1.0, 0.0, 0.0, {double(m), 10.0 + m}));
    maps.push_back(owned.back().get());
  }
  EXPECT_EQ(TMapTools::GetValuesVector(maps, 1, 0, 0, 3), (std::vector<double>{10, 11, 12, 13}));
  EXPECT_EQ(TMapTools::GetValuesVector(maps, 0, 0, 1, 2), (std::vector<double>{1, 2}));

  struct Case {
    long x, y;
    int start, end;
    const char* message;
  };
  const char* start = "Start map number is out of range in TMapTools::GetValuesVector";
  const char* end = "End map number is out of range in TMapTools::GetValuesVector";
  const char* order = "Stat map number must be less than end map number";
  const Case cases[] = {{0, 0, -1, 2, start},
                        {0, 0, 4, 9, start},
                        {0, 0, 0, 4, end},
                        {0, 0, 0, -1, end},
                        {0, 0, 2, 2, order},
                        {0, 0, 3, 1, order},
                        {2, 5, 0, 1, "X-ordinate is out of range in TMap::GetPointVal"},
                        {1, 1, 0, 1, "Y-ordinate is out of range in TMap::GetPointVal"}};
  for (const Case& c : cases)
    EXPECT_THROW_MSG(TMapTools::GetValuesVector(maps, c.x, c.y, c.start, c.end), c.message)
        << c.start << " " << c.end;
}

TEST(GetValuesOverlay, GroupsValuesByTheKeyMapColumnByColumn) {
  auto map = SmallMap();
  const std::map<double, std::vector<double>> self{{1, {1}}, {2, {2}}, {3, {3}},
                                                   {4, {4}}, {5, {5}}, {6, {6}}};
  EXPECT_EQ(TMapTools::GetValuesOverlay(map.get(), map.get(), {}), self);
  auto repeated = MakeMap(2, 2, 1.0, 0.0, 0.0, {7, 7, 7, -9999});
  const std::map<double, std::vector<double>> repeats{{-9999, {-9999}}, {7, {7, 7, 7}}};
  EXPECT_EQ(TMapTools::GetValuesOverlay(repeated.get(), repeated.get(), {}), repeats);

  auto keys = MakeMap(3, 2, 1.0, 0.0, 0.0, {2, 1, 2, 1, kNaN, 0});
  // Column 0 (values 1, 4), then column 1 (2, 5), then column 2 (3, 6).
  const std::map<double, std::vector<double>> grouped{{1, {4, 2}}, {2, {1, 3}}};
  EXPECT_EQ(TMapTools::GetValuesOverlay(map.get(), keys.get(), {0}), grouped);

  auto narrow = MakeMap(2, 3, 1.0, 0.0, 0.0);
  auto short_ = MakeMap(3, 1, 1.0, 0.0, 0.0);
  EXPECT_THROW_MSG(TMapTools::GetValuesOverlay(map.get(), narrow.get(), {}),
                   "Map X-dimensions do not match");
  EXPECT_THROW_MSG(TMapTools::GetValuesOverlay(map.get(), short_.get(), {}),
                   "Map Y-Dimensions do not match");
}
} // namespace
