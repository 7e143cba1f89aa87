#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid/TMap.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
// The 3 x 2 map over X centres 5, 15, 25 and Y centres 15, 5, cell (x, y)
// holding 10 * y + x.
std::unique_ptr<TMap> SmallMap() {
  auto xs = MakeAxis({5, 15, 25}, 'X');
  auto ys = MakeAxis({15, 5}, 'Y');
  auto map = std::make_unique<TMap>(xs.get(), ys.get());
  for (long y = 0; y < 2; ++y)
    for (long x = 0; x < 3; ++x)
      map->SetPoint(x, y, 10.0 * y + x);
  return map;
}

TEST(TMapConstruction, FromCounts) {
  TMap map(10.0, 3, 2);
  EXPECT_EQ(map.MbrLngXDim, 3);
  EXPECT_EQ(map.MbrLngYDim, 2);
  EXPECT_EQ(map.MbrDblNoDataValue, -9999);
  EXPECT_EQ(map.MbrVecValues, std::vector<std::vector<double>>(2, std::vector<double>(3, -9999)));
  EXPECT_EQ(map.MbrPtrXAxis, nullptr);
  EXPECT_EQ(map.MbrPtrYAxisInterval, nullptr);
  TMap negative(1.0, -2, 3);
  EXPECT_EQ(negative.MbrVecValues, std::vector<std::vector<double>>(3));
  TMap empty(4.0);
  EXPECT_EQ(empty.MbrLngXDim, 0);
  EXPECT_TRUE(empty.MbrVecValues.empty());
}

TEST(TMapConstruction, FromCentreAxes) {
  auto map = SmallMap();
  EXPECT_EQ(map->MbrDblResolution, 10.0);
  EXPECT_EQ(AxisOrdinates(map->MbrPtrXAxisInterval, 'X'), (std::vector<double>{0, 10, 20, 30}));
  EXPECT_EQ(AxisOrdinates(map->MbrPtrYAxisInterval, 'Y'), (std::vector<double>{20, 10, 0}));
  EXPECT_EQ(AxisOrdinates(map->MbrPtrYAxis, 'Y'), (std::vector<double>{15, 5}));
  auto xs = MakeAxis({5, 15}, 'X', 10.0);
  auto ys = MakeAxis({5}, 'Y', 20.0);
  auto nanYs = MakeAxis({5}, 'Y', std::nan(""));
  EXPECT_THROW_MSG(TMap bad(xs.get(), ys.get()), "Axes resolutions do not match in TMap::TMap");
  EXPECT_THROW_MSG(TMap bad(xs.get(), nanYs.get()), "Axes resolutions do not match in TMap::TMap");
}

TEST(TMapConstruction, FromAnEmptyAxisReleasesWhatWasBuilt) {
  auto xs = MakeAxis({5, 15}, 'X');
  auto ys = MakeAxis({}, 'Y');
  EXPECT_THROW_MSG(TMap bad(xs.get(), ys.get()), "Index is out of range in TAxis::GetPoint");
}

TEST(TMapLookup, ByCoordinate) {
  auto map = SmallMap();
  EXPECT_EQ(map->GetIndex(10.0, 'X'), 1);
  EXPECT_EQ(map->GetIndex(10.0, 'Y'), 0);
  EXPECT_EQ(map->GetIndex(30.0, 'X'), 2); // the east edge belongs to the last column
  EXPECT_EQ(map->GetIndex(20.0, 'Y'), 0); // the north edge to row 0
  EXPECT_EQ(map->GetIndex(0.0, 'Y'), 1);
  TPoint inside(29.9, 0.1);
  EXPECT_EQ(map->GetPointVal(&inside), 12);
  TPoint east(30.5, 5);
  EXPECT_THROW_MSG(map->GetPointVal(&east), "Ordinate is out of range in TAxis::GetIndex");
  TPoint query(21, 3);
  std::unique_ptr<TMapPoint> found(map->GetPoint(&query));
  EXPECT_EQ(found->x, 21);
  EXPECT_EQ(found->y, 3);
  EXPECT_EQ(found->value, 12);
  TPoint corner(0, 20);
  map->SetPoint(&corner, 99);
  EXPECT_EQ(map->GetPointVal(0, 0), 99);
  TPoint a(5, 15), b(25, 5);
  EXPECT_EQ(map->GetPointValues({&a, &b}), (std::vector<double>{99, 12}));
  EXPECT_THROW_MSG(map->GetPointValues({&a, &east}), "Ordinate is out of range in TAxis::GetIndex");
}

TEST(TMapLookup, ByIndex) {
  auto map = SmallMap();
  std::unique_ptr<TMapPoint> point(map->GetPoint(2, 1));
  EXPECT_EQ(point->x, 25);
  EXPECT_EQ(point->y, 5);
  EXPECT_EQ(point->value, 12);
  std::unique_ptr<TPoint> centre(map->GetCoordinates(1, 0));
  EXPECT_EQ(centre->x, 15);
  EXPECT_EQ(centre->y, 15);
}

TEST(TMapLookup, IndexMessagesComeInTheirOrder) {
  auto map = SmallMap();
  const struct {
    std::function<void()> action;
    const char* message;
  } cases[] = {
      {[&] { map->GetPointVal(3, 5); }, "X-ordinate is out of range in TMap::GetPointVal"},
      {[&] { map->GetPointVal(-1, 0); }, "X-ordinate is out of range in TMap::GetPointVal"},
      {[&] { map->GetPointVal(0, 2); }, "Y-ordinate is out of range in TMap::GetPointVal"},
      {[&] { map->SetPoint(3, 5, 1.0); }, "X-ordinate is out of range in TMap::SetPoint"},
      {[&] { map->SetPoint(0, -1, 1.0); }, "Y-ordinate is out of range in TMap::SetPoint"},
      {[&] { delete map->GetPoint(3, 9); }, "LngX is out of range in TMap::GetPoint (long,long)"},
      {[&] { delete map->GetPoint(0, 2); }, "LngY is out of range in TMap::GetPoint (long,long)"},
      {[&] { delete map->GetCoordinates(-1, 9); },
       "LngX is out of range for the X-axis in TMap::GetCoordinates"},
      {[&] { delete map->GetCoordinates(0, 2); },
       "LngY is out of range for the Y-axis in TMap::GetCoordinates"},
      {[&] { map->GetRow(-1); }, "Index is out of bounds in TMap::GetRow"},
      {[&] { map->GetRow(2); }, "Index is out of bounds in TMap::GetRow"},
  };
  for (const auto& c : cases)
    EXPECT_THROW_MSG(c.action(), c.message);
  EXPECT_EQ(map->GetPointVal(2, 1), 12); // nothing was written
}

TEST(TMapLookup, MapWithoutAxesFailsWithAMessage) {
  TMap map(1.0, 2, 2);
  TPoint point(0.5, 0.5);
  const struct {
    std::function<void()> action;
    const char* message;
  } cases[] = {
      {[&] { map.GetIndex(0.5, 'X'); }, "Map has no axes in TMap::GetIndex"},
      {[&] { map.GetPointVal(&point); }, "Map has no axes in TMap::GetPointVal"},
      {[&] { delete map.GetPoint(&point); }, "Map has no axes in TMap::GetPoint (TPoint*)"},
      {[&] { map.SetPoint(&point, 1.0); }, "Map has no axes in TMap::SetPoint"},
      {[&] { delete map.GetPoint(0, 0); }, "Map has no axes in TMap::GetPoint (long,long)"},
      {[&] { delete map.GetCoordinates(0, 0); }, "Map has no axes in TMap::GetCoordinates"},
  };
  for (const auto& c : cases)
    EXPECT_THROW_MSG(c.action(), c.message);
}

TEST(TMapRows, AddRowKeepsRowsOfAnyLengthButNeverReadsPastThem) {
  TMap map(1.0);
  map.AddRow({1, 2, 3, 4});
  EXPECT_EQ(map.MbrLngXDim, 4);
  EXPECT_EQ(map.MbrLngYDim, 1);
  map.AddRow({5, 6});
  EXPECT_EQ(map.MbrLngXDim, 4);
  EXPECT_EQ(map.MbrLngYDim, 2);
  EXPECT_FALSE(map.IsRectangular());
  EXPECT_EQ(map.GetPointVal(1, 1), 6);
  EXPECT_THROW_MSG(map.GetPointVal(3, 1), "X-ordinate is out of range in TMap::GetPointVal");
  EXPECT_THROW_MSG(map.SetPoint(2, 1, 0.0), "X-ordinate is out of range in TMap::SetPoint");
  map.InitValues(7); // only stored cells
  EXPECT_EQ(map.GetRow(0), (std::vector<double>{7, 7, 7, 7}));
  EXPECT_EQ(map.GetRow(1), (std::vector<double>{7, 7}));
  map.MbrLngYDim = 3; // a caller's inconsistent edit
  EXPECT_THROW_MSG(map.GetPointVal(0, 2), "Y-ordinate is out of range in TMap::GetPointVal");
}

TEST(TMapRows, RectangularMapsAreRecognised) {
  EXPECT_TRUE(TMap(1.0, 3, 2).IsRectangular());
  EXPECT_TRUE(TMap(1.0).IsRectangular());
  EXPECT_FALSE(TMap(1.0, -1, 2).IsRectangular());
}

TEST(TMapValues, InitValuesKeepsTheNoDataValue) {
  TMap map(1.0, 2, 2);
  map.MbrDblNoDataValue = -32768;
  map.InitValues(3.5);
  EXPECT_EQ(map.MbrVecValues, std::vector<std::vector<double>>(2, std::vector<double>(2, 3.5)));
  EXPECT_EQ(map.MbrDblNoDataValue, -32768);
}

TEST(TMapAxes, SetterOfTheWrongLengthKeepsBothAxes) {
  auto map = SmallMap();
  TAxis* oldCentres = map->MbrPtrXAxis;
  TAxis* oldEdges = map->MbrPtrXAxisInterval;
  auto wrong = MakeAxis({5, 15}, 'X');
  auto shortY = MakeAxis({5}, 'Y');
  EXPECT_THROW_MSG(map->SetXAxis(wrong.get()),
                   "Length of new X axis does not match the X dimension of the map");
  EXPECT_THROW_MSG(map->SetYAxis(shortY.get()),
                   "Length of new Y axis does not match the Y dimension of the map");
  EXPECT_THROW_MSG(map->SetXAxisInterval(wrong.get()),
                   "Length of new X interval axis does not fit the X dimension of the map");
  EXPECT_THROW_MSG(map->SetYAxisInterval(shortY.get()),
                   "Length of new Y interval axis does not fit the Y dimension of the map");
  EXPECT_EQ(map->MbrPtrXAxis, oldCentres);
  EXPECT_EQ(map->MbrPtrXAxisInterval, oldEdges);
}

TEST(TMapAxes, SettersCopyTheirArgument) {
  auto map = SmallMap();
  {
    auto edges = MakeAxis({100, 110, 120, 130}, 'X');
    map->SetXAxisInterval(edges.get());
  }
  EXPECT_EQ(AxisOrdinates(map->MbrPtrXAxis, 'X'), (std::vector<double>{105, 115, 125}));
  TPoint query(129, 1);
  EXPECT_EQ(map->GetPointVal(&query), 12);
}

TEST(TMapAxes, SetterGivenTheMapsOwnAxis) {
  auto map = SmallMap();
  map->SetXAxis(map->MbrPtrXAxis);
  map->SetYAxisInterval(map->MbrPtrYAxisInterval);
  map->SetXAxisInterval(map->MbrPtrXAxisInterval);
  map->SetYAxis(map->MbrPtrYAxis);
  EXPECT_EQ(AxisOrdinates(map->MbrPtrXAxisInterval, 'X'), (std::vector<double>{0, 10, 20, 30}));
  EXPECT_EQ(AxisOrdinates(map->MbrPtrYAxisInterval, 'Y'), (std::vector<double>{20, 10, 0}));
}

// A failing derivation (an empty axis on a map of no columns) keeps the old
// axes instead of leaving a deleted one behind.
TEST(TMapAxes, FailedDerivationKeepsTheOldAxes) {
  TMap map(1.0, 0, 0);
  auto edges = MakeAxis({0}, 'X');
  map.SetXAxisInterval(edges.get());
  TAxis* kept = map.MbrPtrXAxisInterval;
  TAxis empty(1.0);
  EXPECT_THROW_MSG(map.SetXAxis(&empty), "Index is out of range in TAxis::GetPoint");
  EXPECT_EQ(map.MbrPtrXAxisInterval, kept);
  EXPECT_EQ(map.MbrPtrXAxisInterval->GetSize(), 1);
}
} // namespace
