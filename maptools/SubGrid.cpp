// Sub-grids and extents of TMapTools: blocks of cells found, widened and
// filled, maps cut out, pasted into each other and cut to their common area.
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "grid/TAxisLookup.h"
#include "maptools/MapSupport.h"
#include "maptools/TMapTools.h"
#include "numeric/TPointTools.h"

namespace {
const char* const kFillRowOrder =
    "Northern edge must be less than southern edge in TMapTools::FillBlock";
const char* const kFillColumnOrder =
    "Western edge must be less than eastern edge in TMapTools::FillBlock";
const char* const kFillNorth = "Northern ordinate is out of range in TMapTools::FillBlock";
const char* const kFillSouth = "Southern ordinate is out of range in TMapTools::FillBlock";
const char* const kFillWest = "Western ordinate is out of range in TMapTools::FillBlock";
const char* const kFillEast = "Eastern ordinate is out of range in TMapTools::FillBlock";
const char* const kInsertFirstCorner =
    "Insert map's NW corner is outside of the destination map in TMapTools::Insert";
const char* const kInsertLastCorner =
    "Insert map's SE corner is outside of the destination map in TMapTools::Insert";
const char* const kInsertNoAxes = "Map has no axes in TMapTools::Insert";
const char* const kNoIntersection = "Maps do not intersect in TMapTools::Intersection";
const char* const kIntersectionNoAxes = "Map has no axes in TMapTools::Intersection";

// Overlaps below this share of a cell are taken as rounding, not as area.
const double kOverlapTolerance = 1e-6;

long StoredRows(const TMap* map) {
  return std::max(0L, std::min(map->MbrLngYDim, static_cast<long>(map->MbrVecValues.size())));
}

// The first corner (first X edge, first Y edge) and the last corner (edge
// MbrLngXDim, edge MbrLngYDim) of a map.
struct Corners {
  explicit Corners(TMap* map)
      : first(map->MbrPtrXAxisInterval->GetPoint(0)->x, map->MbrPtrYAxisInterval->GetPoint(0)->y),
        last(map->MbrPtrXAxisInterval->GetPoint(map->MbrLngXDim)->x,
             map->MbrPtrYAxisInterval->GetPoint(map->MbrLngYDim)->y) {}
  TPoint first;
  TPoint last;
};

// Copies the block of `source` starting at (column, row) into every cell of
// `result`, which was built with the block's dimensions.
void CopyBlock(TMap* source, long column, long row, TMap& result) {
  const long columns = result.MbrLngXDim;
  const long rows = result.MbrLngYDim;
  if (source->IsRectangular() && column + columns <= source->MbrLngXDim &&
      row + rows <= source->MbrLngYDim) {
    for (long b = 0; b < rows; ++b) {
      const std::vector<double>& from = source->MbrVecValues[row + b];
      std::copy(from.begin() + column, from.begin() + column + columns,
                result.MbrVecValues[b].begin());
    }
    return;
  }
  for (long a = 0; a < columns; ++a)
    for (long b = 0; b < rows; ++b)
      result.SetPoint(a, b, source->GetPointVal(column + a, row + b));
}

// How far a corner of the common area [lo, hi] moves inward: the tolerance,
// or half the width where the area is thinner than two tolerances.
double Inset(double lo, double hi, double tolerance) {
  const double half = (hi - lo) * 0.5;
  return tolerance < half ? tolerance : half;
}

TMap* ExtractCommonArea(TMap* map, const TPoint& southWest, const TPoint& northEast) {
  const double tolerance = std::fabs(map->MbrDblResolution) * kOverlapTolerance;
  const double dx = Inset(southWest.x, northEast.x, tolerance);
  const double dy = Inset(southWest.y, northEast.y, tolerance);
  TPoint lower(southWest.x + dx, southWest.y + dy);
  TPoint upper(northEast.x - dx, northEast.y - dy);
  return TMapTools::Extract(map, &lower, &upper);
}
} // namespace

void TMapTools::FindPatchExtent(TMap* map, double value, long& north, long& south, long& west,
                                long& east) {
  long n = map->MbrLngYDim - 1;
  long s = 0;
  long w = map->MbrLngXDim - 1;
  long e = 0;
  bool found = false;
  mapsupport::ForEachCell(map, [&](long LngX, long LngY, double cell) {
    if (cell != value)
      return;
    found = true;
    w = std::min(w, LngX);
    e = std::max(e, LngX);
    n = std::min(n, LngY);
    s = std::max(s, LngY);
  });
  if (!found)
    n = s = w = e = 0;
  north = n;
  south = s;
  west = w;
  east = e;
}

void TMapTools::BufferIndices(TMap* map, long margin, long& north, long& south, long& west,
                              long& east) {
  north = north > margin ? north - margin : 0;
  south = south < map->MbrLngYDim - margin - 1 ? south + margin : map->MbrLngYDim - 1;
  west = west > margin ? west - margin : 0;
  east = east < map->MbrLngXDim - margin - 1 ? east + margin : map->MbrLngXDim - 1;
}

void TMapTools::FillBlock(TMap* map, double value, long north, long south, long west, long east) {
  if (north > south)
    throw kFillRowOrder;
  if (west > east)
    throw kFillColumnOrder;
  const long rows = StoredRows(map);
  if (north < 0 || north >= rows)
    throw kFillNorth;
  if (south < 0 || south >= rows)
    throw kFillSouth;
  long columns = map->MbrLngXDim;
  for (long LngY = north; LngY <= south; ++LngY)
    columns = std::min(columns, static_cast<long>(map->MbrVecValues[LngY].size()));
  if (west < 0 || west >= columns)
    throw kFillWest;
  if (east < 0 || east >= columns)
    throw kFillEast;
  for (long LngY = north; LngY <= south; ++LngY) {
    std::vector<double>& row = map->MbrVecValues[LngY];
    std::fill(row.begin() + west, row.begin() + east + 1, value);
  }
}

TMap* TMapTools::Extract(TMap* source, TPoint* corner, TPoint* oppositeCorner) {
  long firstColumn = source->GetIndex(corner->x, 'X');
  long firstRow = source->GetIndex(corner->y, 'Y');
  long lastColumn = source->GetIndex(oppositeCorner->x, 'X');
  long lastRow = source->GetIndex(oppositeCorner->y, 'Y');
  if (firstColumn > lastColumn)
    std::swap(firstColumn, lastColumn);
  if (firstRow > lastRow)
    std::swap(firstRow, lastRow);
  std::unique_ptr<TAxis> xAxis(source->MbrPtrXAxis->GetSegment(firstColumn, lastColumn));
  std::unique_ptr<TAxis> yAxis(source->MbrPtrYAxis->GetSegment(firstRow, lastRow));
  auto result = std::make_unique<TMap>(xAxis.get(), yAxis.get());
  CopyBlock(source, firstColumn, firstRow, *result);
  return result.release();
}

void TMapTools::Insert(TMap* destination, TMap* insert) {
  for (const TMap* map : {destination, insert})
    if (!mapsupport::HasEdgeAxes(map) || !mapsupport::HasCentreAxes(map))
      throw kInsertNoAxes;
  const Corners to(destination);
  const Corners from(insert);
  const bool descending = to.first.y > to.last.y;
  if (from.first.x < to.first.x ||
      (descending ? from.first.y > to.first.y : from.first.y < to.first.y))
    throw kInsertFirstCorner;
  if (from.last.x > to.last.x || (descending ? from.last.y < to.last.y : from.last.y > to.last.y))
    throw kInsertLastCorner;

  const TAxisLookup columns(destination->MbrPtrXAxisInterval, 'X');
  const TAxisLookup rows(destination->MbrPtrYAxisInterval, 'Y');
  long column = 0;
  long row = 0;
  for (long LngY = 0; LngY < insert->MbrLngYDim; ++LngY) {
    for (long LngX = 0; LngX < insert->MbrLngXDim; ++LngX) {
      const double value = insert->GetPointVal(LngX, LngY);
      column = columns.GetIndex(insert->MbrPtrXAxis->GetPoint(LngX)->x, column);
      row = rows.GetIndex(insert->MbrPtrYAxis->GetPoint(LngY)->y, row);
      destination->SetPoint(column, row, value);
    }
  }
}

void TMapTools::Intersection(TMap* mapA, TMap* mapB, TMap*& first, TMap*& second) {
  if (!mapsupport::HasEdgeAxes(mapA) || !mapsupport::HasEdgeAxes(mapB))
    throw kIntersectionNoAxes;
  Corners a(mapA);
  Corners b(mapB);
  std::unique_ptr<TPoint> southWestA(TPointTools::Min(&a.first, &a.last));
  std::unique_ptr<TPoint> northEastA(TPointTools::Max(&a.first, &a.last));
  std::unique_ptr<TPoint> southWestB(TPointTools::Min(&b.first, &b.last));
  std::unique_ptr<TPoint> northEastB(TPointTools::Max(&b.first, &b.last));
  std::unique_ptr<TPoint> southWest(TPointTools::Max(southWestA.get(), southWestB.get()));
  std::unique_ptr<TPoint> northEast(TPointTools::Min(northEastA.get(), northEastB.get()));
  if (!(southWest->x < northEast->x && southWest->y < northEast->y))
    throw kNoIntersection;
  first = ExtractCommonArea(mapA, *southWest, *northEast);
  second = ExtractCommonArea(mapB, *southWest, *northEast);
}
