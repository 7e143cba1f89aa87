#include "maptools/TBilinearWalk.h"

#include <cstring>
#include <memory>

#include "maptools/BilinearFormula.h"
#include "maptools/MapToolsMessages.h"
#include "maptools/NoDataCorners.h"
#include "maptools/TRowPairCache.h"

namespace {
// On a strictly monotonic axis the lookup fails exactly for ordinates outside
// its two end points (not-a-number included).
bool Holds(const TAxisLookup& edges, double ordinate) {
  const double first = edges.Ordinate(0);
  const double last = edges.Ordinate(edges.GetSize() - 1);
  return edges.IsAscending() ? first <= ordinate && ordinate <= last
                             : last <= ordinate && ordinate <= first;
}

// Fails with the map's own lookup message where the point lies outside the
// map; the looked-up cell is not needed.
void ThrowIfOutside(TMap* map, TPoint& point) {
  std::unique_ptr<TMapPoint>(map->GetPoint(&point));
}

bool HasSize(TAxis* axis, long size) {
  return axis != nullptr && axis->GetSize() == size;
}

bool Inside(long index, long count) {
  return index >= 0 && index < count;
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The cell spacing of a station's two neighbours, x2 - x1 or y2 - y1.
double Spacing(double lowCentre, double highCentre) {
  return highCentre - lowCentre;
}
} // namespace

TBilinearWalk::TBilinearWalk(TMap* source, TMap* destination, double NewResolution,
                             TCornerPolicy policy)
    : MbrPtrSource(source), MbrPtrDestination(destination), MbrDblResolution(NewResolution),
      MbrBlnNoDataAware(policy == TCornerPolicy::NoDataAware), MbrBlnDescending(false),
      MbrDblXEnd(0.0), MbrDblYEnd(0.0), MbrBlnXStalls(false), MbrBlnYStalls(false) {
  BuildOrdinates();
}

long TBilinearWalk::PointCount() const {
  return static_cast<long>(MbrVecX.size() * MbrVecY.size());
}

// The letters of the walk: S is the source's cell size, R the new one; Xa and
// Xb are the destination's west and east edges, Ya and Yb its first (north)
// and last (south) Y edges, the other way round on an ascending Y axis.
void TBilinearWalk::BuildOrdinates() {
  const double S = MbrPtrSource->MbrDblResolution;
  const double R = MbrDblResolution;
  TMap* destination = MbrPtrDestination;
  const double Xa = destination->MbrPtrXAxisInterval->GetPoint(0)->x;
  const double Xb = destination->MbrPtrXAxisInterval->GetPoint(destination->MbrLngXDim)->x;
  const double Ya = destination->MbrPtrYAxisInterval->GetPoint(0)->y;
  const double Yb = destination->MbrPtrYAxisInterval->GetPoint(destination->MbrLngYDim)->y;

  MbrBlnDescending = Ya > Yb;
  MbrDblXEnd = Xb - S - R;
  const double yStep = MbrBlnDescending ? -R : R;
  const double yStart = MbrBlnDescending ? Ya - S - R : Ya + S;
  MbrDblYEnd = MbrBlnDescending ? Yb + S : Yb - S;

  double x = Xa + S;
  if (x > MbrDblXEnd)
    return;
  for (;;) {
    MbrVecX.push_back(x);
    const double next = x + R;
    if (!(next <= MbrDblXEnd))
      break;
    if (next == x) {
      MbrBlnXStalls = true;
      break;
    }
    x = next;
  }
  double y = yStart;
  for (;;) {
    MbrVecY.push_back(y);
    const double next = y + yStep;
    if (!YGoesOn(next))
      break;
    if (next == y) {
      MbrBlnYStalls = true;
      break;
    }
    y = next;
  }
}

void TBilinearWalk::Run() {
  if (TablesApply())
    RunTables();
  else
    RunPointByPoint();
}

void TBilinearWalk::RunPointByPoint() {
  for (std::size_t c = 0; c < MbrVecX.size(); ++c) {
    for (double y : MbrVecY)
      VisitPoint(MbrVecX[c], y);
    if (MbrBlnYStalls)
      throw kStepTooSmall;
  }
  if (MbrBlnXStalls)
    throw kStepTooSmall;
}

TBilinearWalk::TCorners TBilinearWalk::LocateCorners(double x, double y) const {
  TMap* source = MbrPtrSource;
  const long col = source->GetIndex(x, 'X');
  const long row = source->GetIndex(y, 'Y');
  const double cx = source->MbrPtrXAxis->GetPoint(col)->x;
  const double cy = source->MbrPtrYAxis->GetPoint(row)->y;

  const bool westPair = x <= cx;
  const bool lowerPair = MbrBlnDescending ? y > cy : y <= cy;
  const TCorners corners{westPair ? col - 1 : col, westPair ? col : col + 1,
                         lowerPair ? row - 1 : row, lowerPair ? row : row + 1};
  if (!Inside(corners.X1, source->MbrLngXDim))
    throw kX1Range;
  if (!Inside(corners.X2, source->MbrLngXDim))
    throw kX2Range;
  if (!Inside(corners.Y1, source->MbrLngYDim))
    throw kY1Range;
  if (!Inside(corners.Y2, source->MbrLngYDim))
    throw kY2Range;
  return corners;
}

void TBilinearWalk::VisitPoint(double x, double y) {
  TMap* source = MbrPtrSource;
  TPoint at(x, y);
  ThrowIfOutside(MbrPtrDestination, at);
  ThrowIfOutside(source, at);
  const TCorners c = LocateCorners(x, y);
  std::unique_ptr<TMapPoint> P11(source->GetPoint(c.X1, c.Y1));
  std::unique_ptr<TMapPoint> P21(source->GetPoint(c.X2, c.Y1));
  std::unique_ptr<TMapPoint> P12(source->GetPoint(c.X1, c.Y2));
  std::unique_ptr<TMapPoint> P22(source->GetPoint(c.X2, c.Y2));
  // The corners as the point form of TMapTools::BilinearInterpolate reads them.
  MbrPtrDestination->SetPoint(&at, PointValue(P11->value, P21->value, P12->value, P22->value, x,
                                              P11->x, P21->x, y, P11->y, P12->y));
}

// The tables need maps whose stored cells and axes match their dimensions;
// anything else goes point by point, where the maps' own checks apply.
bool TBilinearWalk::TablesApply() const {
  return MbrPtrSource->IsRectangular() && MbrPtrDestination->IsRectangular() && AxesMatchCounts();
}

bool TBilinearWalk::AxesMatchCounts() const {
  TMap* source = MbrPtrSource;
  TMap* destination = MbrPtrDestination;
  return HasSize(source->MbrPtrXAxis, source->MbrLngXDim) &&
         HasSize(source->MbrPtrYAxis, source->MbrLngYDim) &&
         HasSize(source->MbrPtrXAxisInterval, source->MbrLngXDim + 1) &&
         HasSize(source->MbrPtrYAxisInterval, source->MbrLngYDim + 1) &&
         HasSize(destination->MbrPtrXAxisInterval, destination->MbrLngXDim + 1) &&
         HasSize(destination->MbrPtrYAxisInterval, destination->MbrLngYDim + 1);
}

bool TBilinearWalk::ResolveWalk(std::vector<TStation>& columns, std::vector<TStation>& rows) const {
  TMap* source = MbrPtrSource;
  TMap* destination = MbrPtrDestination;
  if (!AxesMatchCounts())
    return false;
  const TAxisLookup destinationX(destination->MbrPtrXAxisInterval, 'X');
  const TAxisLookup destinationY(destination->MbrPtrYAxisInterval, 'Y');
  const TAxisLookup sourceX(source->MbrPtrXAxisInterval, 'X');
  const TAxisLookup sourceY(source->MbrPtrYAxisInterval, 'Y');
  if (!destinationX.IsMonotonic() || !destinationY.IsMonotonic() || !sourceX.IsMonotonic() ||
      !sourceY.IsMonotonic())
    return false;
  ResolveStations(MbrVecX, destinationX, sourceX, source->MbrPtrXAxis, 'X', source->MbrLngXDim,
                  columns);
  ResolveStations(MbrVecY, destinationY, sourceY, source->MbrPtrYAxis, 'Y', source->MbrLngYDim,
                  rows);
  return true;
}

void TBilinearWalk::RunTables() {
  std::vector<TStation> columns;
  std::vector<TStation> rows;
  if (!ResolveWalk(columns, rows)) {
    RunPointByPoint();
    return;
  }
  bool fails = MbrBlnXStalls || MbrBlnYStalls;
  for (const TStation& column : columns)
    fails = fails || column.Fails;
  for (const TStation& row : rows)
    fails = fails || row.Fails;
  // A walk that fails gives no result, so only the order of its points
  // matters; a walk that succeeds writes each cell from the same points in
  // any order (the points that share a cell share its column and its row,
  // and the last of them is the same in both orders).
  if (fails)
    ReplayInWalkOrder(columns, rows);
  else
    FillInRowOrder(columns, rows);
}

void TBilinearWalk::RaiseFirstFailure(const std::vector<TStation>& columns,
                                      const std::vector<TStation>& rows) {
  // A point fails where its column or its row fails; the lookups of the
  // destination come first, as in VisitPoint.
  std::vector<std::size_t> failingRows;
  for (std::size_t r = 0; r < rows.size(); ++r)
    if (rows[r].Fails)
      failingRows.push_back(r);
  auto locate = [this](const TStation& column, const TStation& row) {
    MbrPtrDestination->GetIndex(column.At, 'X');
    MbrPtrDestination->GetIndex(row.At, 'Y');
    LocateCorners(column.At, row.At);
  };
  for (const TStation& column : columns) {
    if (column.Fails)
      for (const TStation& row : rows)
        locate(column, row);
    for (std::size_t r : failingRows)
      locate(column, rows[r]);
    if (MbrBlnYStalls)
      throw kStepTooSmall;
  }
  if (MbrBlnXStalls)
    throw kStepTooSmall;
}

void TBilinearWalk::ResolveStations(const std::vector<double>& ordinates,
                                    const TAxisLookup& destinationEdges,
                                    const TAxisLookup& sourceEdges, TAxis* sourceCentres,
                                    char selector, long count,
                                    std::vector<TStation>& stations) const {
  // Consecutive ordinates move by about the same number of cells, so the last
  // move predicts the next index and the lookup answers in O(1).
  const bool descending = selector != 'X' && MbrBlnDescending;
  long cell = 0, cellMove = 0, index = 0, indexMove = 0;
  stations.reserve(ordinates.size());
  for (double v : ordinates) {
    TStation station{v, 0, 0, 0, 0.0, 0.0, true};
    if (Holds(destinationEdges, v) && Holds(sourceEdges, v)) {
      const long nextCell = destinationEdges.GetIndex(v, cell + cellMove);
      const long nextIndex = sourceEdges.GetIndex(v, index + indexMove);
      cellMove = nextCell - cell;
      indexMove = nextIndex - index;
      cell = nextCell;
      index = nextIndex;
      const double centre = TAxis::Ordinate(sourceCentres->MbrVecPoints[index], selector);
      const bool lowerPair = descending ? v > centre : v <= centre;
      station.Cell = cell;
      station.Low = lowerPair ? index - 1 : index;
      station.High = lowerPair ? index : index + 1;
      station.Fails = !Inside(station.Low, count) || !Inside(station.High, count);
      if (!station.Fails) {
        station.LowCentre = TAxis::Ordinate(sourceCentres->MbrVecPoints[station.Low], selector);
        station.HighCentre = TAxis::Ordinate(sourceCentres->MbrVecPoints[station.High], selector);
      }
    }
    stations.push_back(station);
  }
}

void TBilinearWalk::StoreFromTables(const TStation& column, const TStation& row) {
  const std::vector<double>& low = MbrPtrSource->MbrVecValues[row.Low];
  const std::vector<double>& high = MbrPtrSource->MbrVecValues[row.High];
  MbrPtrDestination->MbrVecValues[row.Cell][column.Cell] =
      PointValue(low[column.Low], low[column.High], high[column.Low], high[column.High], column.At,
                 column.LowCentre, column.HighCentre, row.At, row.LowCentre, row.HighCentre);
}

void TBilinearWalk::FillInRowOrder(const std::vector<TStation>& columns,
                                   const std::vector<TStation>& rows) {
  const double points = static_cast<double>(columns.size()) * static_cast<double>(rows.size());
  const double cells =
      static_cast<double>(MbrPtrSource->MbrLngXDim) * static_cast<double>(MbrPtrSource->MbrLngYDim);
  double area = 0.0;
  // Four divisions a point against one a source cell.
  if (4 * points > cells && SharesOneArea(columns, rows, area))
    return FillFromQuotients(columns, rows, area);
  FillRowByRow(columns, rows);
}

double TBilinearWalk::PointValue(double Q11, double Q21, double Q12, double Q22, double x,
                                 double x1, double x2, double y, double y1, double y2) const {
  const double noData = MbrPtrSource->MbrDblNoDataValue;
  const auto interpolate = [&] {
    return bilinear::Interpolate(Q11, Q21, Q12, Q22, x, x1, x2, y, y1, y2);
  };
  return MbrBlnNoDataAware ? CornerValue<true>(Q11, Q21, Q12, Q22, noData, interpolate)
                           : CornerValue<false>(Q11, Q21, Q12, Q22, noData, interpolate);
}

void TBilinearWalk::FillRowByRow(const std::vector<TStation>& columns,
                                 const std::vector<TStation>& rows) {
  for (const TStation& row : rows)
    FillRow(Policy(), MbrPtrSource->MbrDblNoDataValue, MbrPtrSource->MbrVecValues[row.Low].data(),
            MbrPtrSource->MbrVecValues[row.High].data(), row, columns,
            MbrPtrDestination->MbrVecValues[row.Cell].data());
}

void TBilinearWalk::FillRow(TCornerPolicy policy, double noData, const double* low,
                            const double* high, const TStation& row,
                            const std::vector<TStation>& columns, double* out) {
  if (policy == TCornerPolicy::NoDataAware)
    FillRowOf<true>(noData, low, high, row, columns, out);
  else
    FillRowOf<false>(noData, low, high, row, columns, out);
}

template <bool NoDataAware>
void TBilinearWalk::FillRowOf(double noData, const double* low, const double* high,
                              const TStation& row, const std::vector<TStation>& columns,
                              double* out) {
  for (const TStation& column : columns) {
    const double Q11 = low[column.Low];
    const double Q21 = low[column.High];
    const double Q12 = high[column.Low];
    const double Q22 = high[column.High];
    out[column.Cell] = CornerValue<NoDataAware>(Q11, Q21, Q12, Q22, noData, [&] {
      return bilinear::Interpolate(Q11, Q21, Q12, Q22, column.At, column.LowCentre,
                                   column.HighCentre, row.At, row.LowCentre, row.HighCentre);
    });
  }
}

void TBilinearWalk::ReplayInWalkOrder(const std::vector<TStation>& columns,
                                      const std::vector<TStation>& rows) {
  for (const TStation& column : columns) {
    for (const TStation& row : rows) {
      if (column.Fails || row.Fails)
        VisitPoint(column.At, row.At);
      else
        StoreFromTables(column, row);
    }
    if (MbrBlnYStalls)
      throw kStepTooSmall;
  }
  if (MbrBlnXStalls)
    throw kStepTooSmall;
}

bool TBilinearWalk::SharesOneArea(const std::vector<TStation>& columns,
                                  const std::vector<TStation>& rows, double& area) {
  if (columns.empty() || rows.empty())
    return false;
  const double dx = Spacing(columns.front().LowCentre, columns.front().HighCentre);
  const double dy = Spacing(rows.front().LowCentre, rows.front().HighCentre);
  for (const TStation& column : columns)
    if (!SameBits(Spacing(column.LowCentre, column.HighCentre), dx))
      return false;
  for (const TStation& row : rows)
    if (!SameBits(Spacing(row.LowCentre, row.HighCentre), dy))
      return false;
  area = bilinear::Area(columns.front().LowCentre, columns.front().HighCentre,
                        rows.front().LowCentre, rows.front().HighCentre);
  return true;
}

void TBilinearWalk::FillFromQuotients(const std::vector<TStation>& columns,
                                      const std::vector<TStation>& rows, double area) {
  TRowPairCache cache(MbrPtrSource->MbrLngXDim, false, true, area);
  const auto mapRow = [this](long index, double*) {
    return MbrPtrSource->MbrVecValues[index].data();
  };
  for (const TStation& row : rows) {
    const TRowPairCache::TRow low = cache.Get(row.Low, row.High, mapRow);
    const TRowPairCache::TRow high = cache.Get(row.High, row.Low, mapRow);
    FillRowFromQuotients(Policy(), MbrPtrSource->MbrDblNoDataValue, low.Values, high.Values,
                         low.Quotients, high.Quotients, row, columns,
                         MbrPtrDestination->MbrVecValues[row.Cell].data());
  }
}

void TBilinearWalk::FillRowFromQuotients(TCornerPolicy policy, double noData, const double* low,
                                         const double* high, const double* lowQuotients,
                                         const double* highQuotients, const TStation& row,
                                         const std::vector<TStation>& columns, double* out) {
  if (policy == TCornerPolicy::NoDataAware)
    FillRowOfQuotients<true>(noData, low, high, lowQuotients, highQuotients, row, columns, out);
  else
    FillRowOfQuotients<false>(noData, low, high, lowQuotients, highQuotients, row, columns, out);
}

template <bool NoDataAware>
void TBilinearWalk::FillRowOfQuotients(double noData, const double* low, const double* high,
                                       const double* lowQuotients, const double* highQuotients,
                                       const TStation& row, const std::vector<TStation>& columns,
                                       double* out) {
  const double yHigh = row.HighCentre - row.At;
  const double yLow = row.At - row.LowCentre;
  for (const TStation& column : columns) {
    const double xHigh = column.HighCentre - column.At;
    const double xLow = column.At - column.LowCentre;
    out[column.Cell] = CornerValue<NoDataAware>(
        low[column.Low], low[column.High], high[column.Low], high[column.High], noData, [&] {
          return bilinear::Combine(lowQuotients[column.Low], lowQuotients[column.High],
                                   highQuotients[column.Low], highQuotients[column.High], xHigh,
                                   xLow, yHigh, yLow);
        });
  }
}
