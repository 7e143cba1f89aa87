#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
const char* const kOutside = "Ordinate is out of range in TAxis::GetIndex";

struct Block {
  long north, south, west, east;
  bool operator==(const Block& o) const {
    return north == o.north && south == o.south && west == o.west && east == o.east;
  }
};

std::ostream& operator<<(std::ostream& out, const Block& b) {
  return out << "{" << b.north << ", " << b.south << ", " << b.west << ", " << b.east << "}";
}

// 0, 1, 2, ... row by row from the northern row.
std::vector<double> Sequence(long count) {
  std::vector<double> values;
  for (long i = 0; i < count; ++i)
    values.push_back(static_cast<double>(i));
  return values;
}

struct Geometry {
  long columns, rows;
  double firstCentreX, firstCentreY, cell;
};

void ExpectGeometry(TMap* map, const Geometry& g) {
  ASSERT_EQ(map->MbrLngXDim, g.columns);
  ASSERT_EQ(map->MbrLngYDim, g.rows);
  EXPECT_DOUBLE_EQ(map->MbrPtrXAxis->GetPoint(0)->x, g.firstCentreX);
  EXPECT_DOUBLE_EQ(map->MbrPtrYAxis->GetPoint(0)->y, g.firstCentreY);
  EXPECT_EQ(map->MbrDblResolution, g.cell);
}
} // namespace

TEST(TMapToolsFindPatchExtent, BlockOfTheCellsHoldingTheValue) {
  struct Case {
    const char* name;
    std::vector<std::pair<long, long>> cells; // (column, row) holding 7
    Block expected;
  } cases[] = {
      {"two cells", {{2, 1}, {4, 3}}, {1, 3, 2, 4}}, {"one cell", {{3, 0}}, {0, 0, 3, 3}},
      {"corners", {{4, 0}, {0, 4}}, {0, 4, 0, 4}},   {"missing value", {}, {0, 0, 0, 0}},
      {"only cell (0, 0)", {{0, 0}}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    auto map = MakeMap(5, 5, 1.0, 0.0, 0.0, std::vector<double>(25, 0.0));
    for (const auto& cell : c.cells)
      map->SetPoint(cell.first, cell.second, 7.0);
    Block found{-5, -5, -5, -5};
    TMapTools::FindPatchExtent(map.get(), 7.0, found.north, found.south, found.west, found.east);
    EXPECT_EQ(found, c.expected) << c.name;
  }
}

TEST(TMapToolsFindPatchExtent, NotANumberMatchesNothingAndAnEmptyMapGivesZeros) {
  auto map = MakeMap(3, 2, 1.0, 0.0, 0.0,
                     std::vector<double>(6, std::numeric_limits<double>::quiet_NaN()));
  Block found{9, 9, 9, 9};
  TMapTools::FindPatchExtent(map.get(), std::numeric_limits<double>::quiet_NaN(), found.north,
                             found.south, found.west, found.east);
  EXPECT_EQ(found, (Block{0, 0, 0, 0}));

  TMap empty(1.0);
  found = {9, 9, 9, 9};
  TMapTools::FindPatchExtent(&empty, -9999.0, found.north, found.south, found.west, found.east);
  EXPECT_EQ(found, (Block{0, 0, 0, 0}));
}

TEST(TMapToolsFindPatchExtent, ShortRowsFailWithoutTouchingTheBlock) {
  auto map = MakeMap(3, 2, 1.0, 0.0, 0.0, Sequence(6));
  map->MbrVecValues[1].resize(1);
  Block found{9, 9, 9, 9};
  EXPECT_THROW_MSG(
      TMapTools::FindPatchExtent(map.get(), 1.0, found.north, found.south, found.west, found.east),
      "X-ordinate is out of range in TMap::GetPointVal");
  EXPECT_EQ(found, (Block{9, 9, 9, 9}));
}

TEST(TMapToolsBufferIndices, WidensAndClampsToTheMap) {
  struct Case {
    long columns, rows, margin;
    Block block, expected;
  } cases[] = {
      {5, 5, 2, {1, 3, 2, 4}, {0, 4, 0, 4}}, {5, 5, 0, {1, 3, 2, 4}, {1, 3, 2, 4}},
      {5, 5, 1, {1, 3, 2, 4}, {0, 4, 1, 4}}, {8, 6, 1, {2, 3, 3, 4}, {1, 4, 2, 5}},
      {8, 4, 1, {1, 2, 1, 2}, {0, 3, 0, 3}}, {8, 4, 3, {1, 1, 1, 1}, {0, 3, 0, 4}},
  };
  for (const Case& c : cases) {
    TMap map(1.0, c.columns, c.rows);
    Block b = c.block;
    TMapTools::BufferIndices(&map, c.margin, b.north, b.south, b.west, b.east);
    EXPECT_EQ(b, c.expected) << c.columns << " x " << c.rows << " margin " << c.margin;
  }
}

TEST(TMapToolsFillBlock, FailuresInTheirOrderLeaveTheMapUnchanged) {
  const std::string rowOrder =
      "Northern edge must be less than southern edge in TMapTools::FillBlock";
  const std::string columnOrder =
      "Western edge must be less than eastern edge in TMapTools::FillBlock";
  const std::string north = "Northern ordinate is out of range in TMapTools::FillBlock";
  const std::string south = "Southern ordinate is out of range in TMapTools::FillBlock";
  const std::string west = "Western ordinate is out of range in TMapTools::FillBlock";
  const std::string east = "Eastern ordinate is out of range in TMapTools::FillBlock";
  struct Case {
    Block block;
    std::string message;
  } cases[] = {
      {{3, 2, 4, 3}, rowOrder},     {{3, 2, 0, 1}, rowOrder}, {{0, 1, 3, 2}, columnOrder},
      {{-1, 1, 9, 0}, columnOrder}, {{-1, 1, 0, 0}, north},   {{4, 4, 0, 0}, north},
      {{-1, 0, -1, 0}, north},      {{0, 4, 0, 0}, south},    {{1, 4, -1, 9}, south},
      {{0, 1, -1, 0}, west},        {{0, 1, 6, 6}, west},     {{0, 1, 0, 6}, east},
      {{0, 3, 2, 9}, east},
  };
  for (const Case& c : cases) {
    auto map = MakeMap(6, 4, 1.0, 0.0, 0.0, Sequence(24));
    const Block& b = c.block;
    EXPECT_THROW_MSG(TMapTools::FillBlock(map.get(), -1.0, b.north, b.south, b.west, b.east),
                     c.message)
        << b;
    EXPECT_EQ(MapValues(map.get()), Sequence(24)) << b;
  }
}

TEST(TMapToolsFillBlock, FillsExactlyTheBlock) {
  struct Case {
    Block block;
    std::vector<std::pair<long, long>> filled;
  } cases[] = {
      {{2, 2, 3, 3}, {{3, 2}}},
      {{1, 2, 4, 5}, {{4, 1}, {5, 1}, {4, 2}, {5, 2}}},
      {{0, 3, 0, 0}, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},
  };
  for (const Case& c : cases) {
    auto map = MakeMap(6, 4, 1.0, 0.0, 0.0, Sequence(24));
    const Block& b = c.block;
    TMapTools::FillBlock(map.get(), -1.0, b.north, b.south, b.west, b.east);
    std::vector<double> expected = Sequence(24);
    for (const auto& cell : c.filled)
      expected[cell.second * 6 + cell.first] = -1.0;
    EXPECT_EQ(MapValues(map.get()), expected) << b;
  }
}

TEST(TMapToolsFillBlock, ColumnsBeyondAShortRowAreRefused) {
  auto map = MakeMap(4, 3, 1.0, 0.0, 0.0, Sequence(12));
  map->MbrVecValues[1].resize(2);
  EXPECT_THROW_MSG(TMapTools::FillBlock(map.get(), -1.0, 0, 2, 1, 3),
                   "Eastern ordinate is out of range in TMapTools::FillBlock");
  map->MbrVecValues.pop_back();
  EXPECT_THROW_MSG(TMapTools::FillBlock(map.get(), -1.0, 0, 2, 0, 0),
                   "Southern ordinate is out of range in TMapTools::FillBlock");
  EXPECT_EQ(map->MbrVecValues[0], (std::vector<double>{0, 1, 2, 3}));
}

// A 4 x 3 map of cell size 10 over x 0 .. 40 and y 0 .. 30, holding 0 .. 11.
class TMapToolsExtract : public ::testing::Test {
protected:
  std::unique_ptr<TMap> source = MakeMap(4, 3, 10.0, 0.0, 0.0, Sequence(12));

  std::unique_ptr<TMap> Extract(double x1, double y1, double x2, double y2) {
    TPoint a(x1, y1), b(x2, y2);
    return std::unique_ptr<TMap>(TMapTools::Extract(source.get(), &a, &b));
  }
};

TEST_F(TMapToolsExtract, CornersInAnyOrderAndOnEdges) {
  struct Case {
    const char* name;
    double x1, y1, x2, y2;
    Geometry geometry;
    std::vector<double> values;
  } cases[] = {
      {"north-west then south-east", 15, 25, 25, 15, {2, 2, 15, 25, 10}, {1, 2, 5, 6}},
      {"south-east then north-west", 25, 15, 15, 25, {2, 2, 15, 25, 10}, {1, 2, 5, 6}},
      {"south-west then north-east", 15, 15, 25, 25, {2, 2, 15, 25, 10}, {1, 2, 5, 6}},
      {"inner edges take the east and north cells",
       10,
       20,
       20,
       10,
       {2, 2, 15, 25, 10},
       {1, 2, 5, 6}},
      {"outer edges give the whole map", 0, 30, 40, 0, {4, 3, 5, 25, 10}, Sequence(12)},
      {"east and south edges give the last column and row", 40, 0, 40, 0, {1, 1, 35, 5, 10}, {11}},
      {"one cell", 31, 1, 39, 9, {1, 1, 35, 5, 10}, {11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto result = Extract(c.x1, c.y1, c.x2, c.y2);
    ExpectGeometry(result.get(), c.geometry);
    EXPECT_EQ(MapValues(result.get()), c.values);
    EXPECT_EQ(result->MbrDblNoDataValue, -9999.0);
  }
}

TEST_F(TMapToolsExtract, DeclaresMinus9999AndCopiesTheSourceNoDataCells) {
  source = MakeMap(2, 2, 1.0, 0.0, 0.0, {-32768, 1, 2, -32768}, -32768.0);
  auto result = Extract(0, 2, 2, 0);
  EXPECT_EQ(result->MbrDblNoDataValue, -9999.0);
  EXPECT_EQ(MapValues(result.get()), (std::vector<double>{-32768, 1, 2, -32768}));
  EXPECT_EQ(source->MbrDblNoDataValue, -32768.0);
}

TEST_F(TMapToolsExtract, CornerOutsideTheSourceOrNoAxes) {
  for (auto corner : std::vector<std::pair<double, double>>{{-0.1, 10}, {10, 30.1}, {40.1, 10}}) {
    TPoint inside(15, 15), outside(corner.first, corner.second);
    EXPECT_THROW_MSG(delete TMapTools::Extract(source.get(), &outside, &inside), kOutside);
    EXPECT_THROW_MSG(delete TMapTools::Extract(source.get(), &inside, &outside), kOutside);
  }
  TMap bare(1.0, 2, 2);
  TPoint a(0, 0);
  EXPECT_THROW_MSG(delete TMapTools::Extract(&bare, &a, &a), "Map has no axes in TMap::GetIndex");
}

TEST(TMapToolsInsert, ReplacesExactlyTheCellsUnderTheInsert) {
  auto destination = MakeMap(10, 10, 1.0, 0.0, 0.0, std::vector<double>(100, 0.0), -1.0);
  auto insert = MakeMap(2, 2, 1.0, 3.0, 4.0, {1, 2, 3, 4});
  TMapTools::Insert(destination.get(), insert.get());
  std::vector<double> expected(100, 0.0);
  // North edge 10: the insert's rows (y 5 .. 6 and 4 .. 5) are rows 4 and 5.
  expected[4 * 10 + 3] = 1;
  expected[4 * 10 + 4] = 2;
  expected[5 * 10 + 3] = 3;
  expected[5 * 10 + 4] = 4;
  EXPECT_EQ(MapValues(destination.get()), expected);
  EXPECT_EQ(destination->MbrDblNoDataValue, -1.0);
  EXPECT_EQ(MapValues(insert.get()), (std::vector<double>{1, 2, 3, 4}));
}

TEST(TMapToolsInsert, CornersOnTheDestinationEdgesAreInside) {
  auto destination = MakeMap(3, 2, 1.0, 0.0, 0.0, std::vector<double>(6, 0.0));
  auto insert = MakeMap(3, 2, 1.0, 0.0, 0.0, Sequence(6));
  TMapTools::Insert(destination.get(), insert.get());
  EXPECT_EQ(MapValues(destination.get()), Sequence(6));
}

TEST(TMapToolsInsert, CornerFailuresLeaveTheDestinationUnchanged) {
  const std::string nw =
      "Insert map's NW corner is outside of the destination map in TMapTools::Insert";
  const std::string se =
      "Insert map's SE corner is outside of the destination map in TMapTools::Insert";
  struct Case {
    const char* name;
    long columns, rows;
    double west, south;
    std::string message;
  } cases[] = {
      {"west edge 0.5 west", 2, 2, -0.5, 4.0, nw},
      {"north edge above", 2, 2, 3.0, 8.5, nw},
      {"south edge below", 2, 2, 3.0, -0.5, se},
      {"east edge beyond", 2, 2, 8.5, 4.0, se},
      {"west and south outside: west first", 2, 2, -0.5, -0.5, nw},
      {"covers the destination", 12, 12, -1.0, -1.0, nw},
  };
  for (const Case& c : cases) {
    auto destination = MakeMap(10, 10, 1.0, 0.0, 0.0, std::vector<double>(100, 0.0));
    auto insert = MakeMap(c.columns, c.rows, 1.0, c.west, c.south,
                          std::vector<double>(c.columns * c.rows, 5.0));
    EXPECT_THROW_MSG(TMapTools::Insert(destination.get(), insert.get()), c.message) << c.name;
    EXPECT_EQ(MapValues(destination.get()), std::vector<double>(100, 0.0)) << c.name;
  }
}

TEST(TMapToolsInsert, FinerInsertLeavesTheLastCellWrittenCoarserLeavesGaps) {
  auto coarse = MakeMap(2, 2, 2.0, 0.0, 0.0, std::vector<double>(4, 0.0));
  auto fine = MakeMap(4, 4, 1.0, 0.0, 0.0, Sequence(16));
  TMapTools::Insert(coarse.get(), fine.get());
  // Rows are written outermost, so the south-east fine cell of each coarse
  // cell is the last one written there.
  EXPECT_EQ(MapValues(coarse.get()), (std::vector<double>{5, 7, 13, 15}));

  auto destination = MakeMap(4, 4, 1.0, 0.0, 0.0, std::vector<double>(16, 0.0));
  auto wide = MakeMap(2, 2, 2.0, 0.0, 0.0, {1, 2, 3, 4});
  TMapTools::Insert(destination.get(), wide.get());
  // The coarse centres (1, 3), (3, 3), (1, 1), (3, 1) lie on inner edges and
  // fall into the cells east and north of them.
  std::vector<double> expected(16, 0.0);
  expected[0 * 4 + 1] = 1;
  expected[0 * 4 + 3] = 2;
  expected[2 * 4 + 1] = 3;
  expected[2 * 4 + 3] = 4;
  EXPECT_EQ(MapValues(destination.get()), expected);
}

TEST(TMapToolsInsert, MapsWithoutAxesAreRefused) {
  auto withAxes = MakeMap(2, 2, 1.0, 0.0, 0.0, Sequence(4));
  TMap bare(1.0, 2, 2);
  EXPECT_THROW_MSG(TMapTools::Insert(withAxes.get(), &bare),
                   "Map has no axes in TMapTools::Insert");
  EXPECT_THROW_MSG(TMapTools::Insert(&bare, withAxes.get()),
                   "Map has no axes in TMapTools::Insert");
  EXPECT_EQ(MapValues(withAxes.get()), Sequence(4));
}

namespace {
struct IntersectionCase {
  const char* name;
  long columnsB, rowsB;
  double cellB, westB, southB;
  Geometry first, second;
};

struct Results {
  std::unique_ptr<TMap> first, second;
};

// Map A is 10 x 10 cells of size 1 over x 0 .. 10, y 0 .. 10, holding 0 .. 99.
Results Intersect(const IntersectionCase& c) {
  auto a = MakeMap(10, 10, 1.0, 0.0, 0.0, Sequence(100));
  auto b = MakeMap(c.columnsB, c.rowsB, c.cellB, c.westB, c.southB, Sequence(c.columnsB * c.rowsB));
  TMap* first = nullptr;
  TMap* second = nullptr;
  TMapTools::Intersection(a.get(), b.get(), first, second);
  return {std::unique_ptr<TMap>(first), std::unique_ptr<TMap>(second)};
}
} // namespace

TEST(TMapToolsIntersection, EachResultHoldsItsCellsOverTheCommonArea) {
  const IntersectionCase cases[] = {
      {"equal maps", 10, 10, 1.0, 0.0, 0.0, {10, 10, 0.5, 9.5, 1}, {10, 10, 0.5, 9.5, 1}},
      {"one inside the other", 2, 2, 1.0, 3.0, 4.0, {2, 2, 3.5, 5.5, 1}, {2, 2, 3.5, 5.5, 1}},
      {"shared cell edges", 10, 10, 1.0, 5.0, -3.0, {5, 7, 5.5, 6.5, 1}, {5, 7, 5.5, 6.5, 1}},
      {"different cell size and offset",
       4,
       4,
       2.0,
       3.5,
       2.5,
       {7, 8, 3.5, 9.5, 1},
       {4, 4, 4.5, 9.5, 2}},
      {"overlap below a millionth of a cell left out",
       10,
       10,
       1.0,
       5.0 - 1e-9,
       0.0,
       {5, 10, 5.5, 9.5, 1},
       {5, 10, 5.5 - 1e-9, 9.5, 1}},
      {"thin overlap",
       10,
       10,
       1.0,
       10.0 - 1e-9,
       0.0,
       {1, 10, 9.5, 9.5, 1},
       {1, 10, 10.5 - 1e-9, 9.5, 1}},
      {"thin in both directions",
       10,
       10,
       1.0,
       -10.0 + 1e-9,
       10.0 - 1e-9,
       {1, 1, 0.5, 9.5, 1},
       {1, 1, -0.5 + 1e-9, 10.5 - 1e-9, 1}},
      {"much coarser map", 1, 1, 100.0, -50.0, -50.0, {10, 10, 0.5, 9.5, 1}, {1, 1, 0.0, 0.0, 100}},
  };
  for (const IntersectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    Results r = Intersect(c);
    ExpectGeometry(r.first.get(), c.first);
    ExpectGeometry(r.second.get(), c.second);
  }
}

TEST(TMapToolsIntersection, ResultsCarryTheValuesOfTheirOwnMap) {
  Results r = Intersect({"", 3, 3, 1.0, 8.0, -1.0, {}, {}});
  // A's columns 8, 9 and rows 8, 9 (y 1 .. 0 .. 2); B's columns 0, 1, rows 0, 1.
  EXPECT_EQ(MapValues(r.first.get()), (std::vector<double>{88, 89, 98, 99}));
  EXPECT_EQ(MapValues(r.second.get()), (std::vector<double>{0, 1, 3, 4}));
}

TEST(TMapToolsIntersection, MapsSharingNoAreaAreRefused) {
  struct Case {
    const char* name;
    double west, south;
  } cases[] = {
      {"side by side", 10.0, 0.0},      {"above", 0.0, 10.0},
      {"touching corners", 10.0, 10.0}, {"apart", 20.0, 3.0},
      {"below and west", -10.0, -10.0},
  };
  auto a = MakeMap(10, 10, 1.0, 0.0, 0.0);
  for (const Case& c : cases) {
    auto b = MakeMap(10, 10, 1.0, c.west, c.south);
    TMap* first = a.get();
    TMap* second = b.get();
    EXPECT_THROW_MSG(TMapTools::Intersection(a.get(), b.get(), first, second),
                     "Maps do not intersect in TMapTools::Intersection")
        << c.name;
    EXPECT_EQ(first, a.get());
    EXPECT_EQ(second, b.get());
  }
  TMap bare(1.0, 2, 2);
  TMap* first = nullptr;
  TMap* second = nullptr;
  EXPECT_THROW_MSG(TMapTools::Intersection(a.get(), &bare, first, second),
                   "Map has no axes in TMapTools::Intersection");
  EXPECT_EQ(first, nullptr);
}
