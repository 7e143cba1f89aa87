#include "maptools/TBilinearWalk.h"

#include <algorithm>
#include <memory>

#include "maptools/BilinearFormula.h"
#include "maptools/MapSupport.h"
#include "maptools/MapToolsMessages.h"
#include "maptools/TRowFill.h"
#include "maptools/TRowPairCache.h"
#include "maptools/TSharedArea.h"
#include "maptools/TWalkFailure.h"
#include "maptools/TWalkRun.h"
#include "platform/TItemTeam.h"

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

// The ordinates of a run in order, and whether it stalled.
std::vector<double> Ordinates(const TWalkRun& run, bool& stalls) {
  std::vector<double> ordinates;
  TWalkSteps steps(run);
  do
    ordinates.push_back(steps.Value());
  while (steps.Advance());
  stalls = steps.Stalls();
  return ordinates;
}

// Walk points worth a worker of their own.
const double kPointsPerWorker = 1 << 16;
// Bands per worker, so that a worker slowed by others' builds holds no one up.
const long kBandsPerWorker = 4;

// Whether the rows' cells never go back: then rows cut where the cell changes
// fill disjoint sets of cells.
bool CellsMonotonic(const std::vector<TWalkStation>& rows) {
  bool rises = true, falls = true;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    rises = rises && rows[i].Cell >= rows[i - 1].Cell;
    falls = falls && rows[i].Cell <= rows[i - 1].Cell;
  }
  return rises || falls;
}

// The first row of each band and, last, the number of rows: bands of about
// equal length, each cut where the result cell changes, so that the rows
// that share a cell are filled by one worker in walk order.
std::vector<long> RowBands(const std::vector<TWalkStation>& rows, unsigned workers) {
  const long count = static_cast<long>(rows.size());
  std::vector<long> starts{0};
  if (workers > 1 && CellsMonotonic(rows)) {
    const long length = std::max<long>(1, count / (static_cast<long>(workers) * kBandsPerWorker));
    for (long start = length; start < count; start += length) {
      while (start < count && rows[start].Cell == rows[start - 1].Cell)
        ++start;
      if (start < count && start > starts.back())
        starts.push_back(start);
    }
  }
  starts.push_back(count);
  return starts;
}

// fill(first, end) for every band of rows, on as many workers as the points
// are worth.
template <class TFill>
void FillInBands(const std::vector<TWalkStation>& columns, const std::vector<TWalkStation>& rows,
                 TFill fill) {
  const double points = static_cast<double>(columns.size()) * static_cast<double>(rows.size());
  const unsigned workers = TItemTeam::Workers(points, kPointsPerWorker);
  const std::vector<long> bands = RowBands(rows, workers);
  TItemTeam::Run(static_cast<long>(bands.size()) - 1, workers,
                 [&](long band, unsigned) { fill(bands[band], bands[band + 1]); });
}

const TWalkStation* FirstFailing(const std::vector<TWalkStation>& stations) {
  for (const TWalkStation& station : stations)
    if (station.Fails())
      return &station;
  return nullptr;
}
} // namespace

TBilinearWalk::TBilinearWalk(TMap* source, TMap* destination, double NewResolution,
                             TCornerPolicy policy)
    : MbrPtrSource(source), MbrPtrDestination(destination), MbrDblResolution(NewResolution),
      MbrEnmPolicy(policy), MbrBlnDescending(false), MbrBlnXStalls(false), MbrBlnYStalls(false) {
  TakeRows();
  BuildOrdinates();
}

TBilinearWalk::TBilinearWalk(TMap* sourceFrame, const double* sourceCells, TMap* destinationFrame,
                             double* destinationCells, double NewResolution, TCornerPolicy policy)
    : MbrPtrSource(sourceFrame), MbrPtrDestination(destinationFrame),
      MbrDblResolution(NewResolution), MbrEnmPolicy(policy), MbrBlnDescending(false),
      MbrBlnXStalls(false), MbrBlnYStalls(false) {
  for (long y = 0; y < sourceFrame->MbrLngYDim; ++y)
    MbrVecSourceRows.push_back(sourceCells + y * sourceFrame->MbrLngXDim);
  for (long y = 0; y < destinationFrame->MbrLngYDim; ++y)
    MbrVecDestinationRows.push_back(destinationCells + y * destinationFrame->MbrLngXDim);
  BuildOrdinates();
}

long TBilinearWalk::PointCount() const {
  return static_cast<long>(MbrVecX.size() * MbrVecY.size());
}

void TBilinearWalk::BuildOrdinates() {
  const double S = MbrPtrSource->MbrDblResolution;
  TMap* destination = MbrPtrDestination;
  const TWalkRun x = TWalkRun::AlongX(
      destination->MbrPtrXAxisInterval->GetPoint(0)->x,
      destination->MbrPtrXAxisInterval->GetPoint(destination->MbrLngXDim)->x, S, MbrDblResolution);
  const TWalkRun y = TWalkRun::AlongY(
      destination->MbrPtrYAxisInterval->GetPoint(0)->y,
      destination->MbrPtrYAxisInterval->GetPoint(destination->MbrLngYDim)->y, S, MbrDblResolution);
  MbrBlnDescending = y.Descending;
  if (!x.GoesOn(x.Start))
    return;
  MbrVecX = Ordinates(x, MbrBlnXStalls);
  MbrVecY = Ordinates(y, MbrBlnYStalls);
}

void TBilinearWalk::Run() {
  if (OnTables())
    RunTables();
  else
    RunPointByPoint();
}

void TBilinearWalk::RunOnReservedRows() {
  MbrBlnRowsReserved = true;
  TakeRows();
  Run();
  FillEmptyRows();
}

void TBilinearWalk::RunOnUnsetCells() {
  MbrVecRowsUnset.assign(MbrVecDestinationRows.size(), 1);
  Run();
  FillEmptyRows();
}

void TBilinearWalk::FillEmptyRows() {
  if (MbrBlnRowsReserved)
    mapsupport::FillEmptyRows(*MbrPtrDestination, MbrPtrDestination->MbrDblNoDataValue);
  MbrBlnRowsReserved = false;
  if (MbrVecRowsUnset.empty())
    return;
  mapsupport::ForRowBands(static_cast<long>(MbrVecRowsUnset.size()), MbrPtrDestination->MbrLngXDim,
                          [&](long first, long end) {
                            for (long cell = first; cell < end; ++cell)
                              DestinationRow(cell);
                          });
  MbrVecRowsUnset.clear();
}

double* TBilinearWalk::DestinationRow(long cell) {
  if (MbrBlnRowsReserved) {
    std::vector<double>& row = MbrPtrDestination->MbrVecValues[cell];
    if (row.empty())
      row.assign(static_cast<std::size_t>(MbrPtrDestination->MbrLngXDim),
                 MbrPtrDestination->MbrDblNoDataValue);
    return row.data();
  }
  double* row = MbrVecDestinationRows[cell];
  if (!MbrVecRowsUnset.empty() && MbrVecRowsUnset[cell]) {
    std::fill(row, row + MbrPtrDestination->MbrLngXDim, MbrPtrDestination->MbrDblNoDataValue);
    MbrVecRowsUnset[cell] = 0;
  }
  return row;
}

void TBilinearWalk::TakeRows() {
  TMap* source = MbrPtrSource;
  TMap* destination = MbrPtrDestination;
  MbrVecSourceRows.clear();
  MbrVecDestinationRows.clear();
  const bool destinationFits =
      MbrBlnRowsReserved
          ? destination->MbrLngXDim >= 0 &&
                static_cast<long>(destination->MbrVecValues.size()) == destination->MbrLngYDim
          : destination->IsRectangular();
  if (!source->IsRectangular() || !destinationFits)
    return;
  for (std::vector<double>& row : source->MbrVecValues)
    MbrVecSourceRows.push_back(row.data());
  for (std::vector<double>& row : destination->MbrVecValues)
    MbrVecDestinationRows.push_back(row.data());
}

void TBilinearWalk::RunPointByPoint() {
  FillEmptyRows();
  for (double x : MbrVecX) {
    for (double y : MbrVecY)
      VisitPoint(x, y);
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
  // The corners as the point form of TMapTools::BilinearInterpolate reads
  // them: one row station and one column station of the point.
  TWalkStation column;
  column.At = x;
  column.LowCentre = P11->x;
  column.HighCentre = P21->x;
  column.High = 1;
  TWalkStation row;
  row.At = y;
  row.LowCentre = P11->y;
  row.HighCentre = P12->y;
  const double low[2] = {P11->value, P21->value};
  const double high[2] = {P12->value, P22->value};
  double value = 0.0;
  TRowFill::FromValues(MbrEnmPolicy, source->MbrDblNoDataValue, low, high, row, &column, 1, &value);
  MbrPtrDestination->SetPoint(&at, value);
}

// The tables need stored cells and axes that match the dimensions; anything
// else goes point by point, where the maps' own checks apply.
bool TBilinearWalk::OnTables() const {
  return static_cast<long>(MbrVecSourceRows.size()) == MbrPtrSource->MbrLngYDim &&
         static_cast<long>(MbrVecDestinationRows.size()) == MbrPtrDestination->MbrLngYDim &&
         AxesMatchCounts() && AxesMonotonic();
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

bool TBilinearWalk::AxesMonotonic() const {
  for (TMap* map : {MbrPtrSource, MbrPtrDestination})
    if (!TAxisLookup(map->MbrPtrXAxisInterval, 'X').IsMonotonic() ||
        !TAxisLookup(map->MbrPtrYAxisInterval, 'Y').IsMonotonic())
      return false;
  return true;
}

void TBilinearWalk::ResolveWalk(std::vector<TWalkStation>& columns,
                                std::vector<TWalkStation>& rows) const {
  TMap* source = MbrPtrSource;
  TMap* destination = MbrPtrDestination;
  const TAxisLookup destinationX(destination->MbrPtrXAxisInterval, 'X');
  const TAxisLookup destinationY(destination->MbrPtrYAxisInterval, 'Y');
  const TAxisLookup sourceX(source->MbrPtrXAxisInterval, 'X');
  const TAxisLookup sourceY(source->MbrPtrYAxisInterval, 'Y');
  ResolveStations(MbrVecX, destinationX, sourceX, source->MbrPtrXAxis, 'X', source->MbrLngXDim,
                  columns);
  ResolveStations(MbrVecY, destinationY, sourceY, source->MbrPtrYAxis, 'Y', source->MbrLngYDim,
                  rows);
}

void TBilinearWalk::RunTables() {
  std::vector<TWalkStation> columns;
  std::vector<TWalkStation> rows;
  ResolveWalk(columns, rows);
  RaiseFirstFailure(columns, rows);
  // The walk succeeds: each cell is written from the same points in any
  // order (the points that share a cell share its column and its row, and
  // the last of them is the same in both orders).
  const double points = static_cast<double>(columns.size()) * static_cast<double>(rows.size());
  const double cells =
      static_cast<double>(MbrPtrSource->MbrLngXDim) * static_cast<double>(MbrPtrSource->MbrLngYDim);
  TSharedArea area;
  for (const TWalkStation& column : columns)
    area.AddColumn(column);
  for (const TWalkStation& row : rows)
    area.AddRow(row);
  // Four divisions a point against one a source cell.
  if (4 * points > cells && area.Shared())
    FillFromQuotients(columns, rows, area.Area());
  else
    FillRowByRow(columns, rows);
}

void TBilinearWalk::RaiseFirstFailure(const std::vector<TWalkStation>& columns,
                                      const std::vector<TWalkStation>& rows) const {
  if (columns.empty())
    return;
  TWalkFailure::RaiseFirst(&columns.front(), rows.front(), FirstFailing(rows), MbrBlnYStalls,
                           FirstFailing(columns), MbrBlnXStalls);
}

void TBilinearWalk::ResolveStations(const std::vector<double>& ordinates,
                                    const TAxisLookup& destinationEdges,
                                    const TAxisLookup& sourceEdges, TAxis* sourceCentres,
                                    char selector, long count,
                                    std::vector<TWalkStation>& stations) const {
  // Consecutive ordinates move by about the same number of cells, so the last
  // move predicts the next index and the lookup answers in O(1).
  const bool descending = selector != 'X' && MbrBlnDescending;
  const auto centre = [&](long i) {
    return TAxis::Ordinate(sourceCentres->MbrVecPoints[i], selector);
  };
  long cell = 0, cellMove = 0, index = 0, indexMove = 0;
  stations.reserve(ordinates.size());
  for (double v : ordinates) {
    if (!Holds(destinationEdges, v) || !Holds(sourceEdges, v)) {
      stations.push_back(TWalkStation::OutsideAt(v));
      continue;
    }
    const long nextCell = destinationEdges.GetIndex(v, cell + cellMove);
    const long nextIndex = sourceEdges.GetIndex(v, index + indexMove);
    cellMove = nextCell - cell;
    indexMove = nextIndex - index;
    cell = nextCell;
    index = nextIndex;
    stations.push_back(TWalkStation::Resolve(v, cell, index, count, descending, centre));
  }
}

void TBilinearWalk::FillRowByRow(const std::vector<TWalkStation>& columns,
                                 const std::vector<TWalkStation>& rows) {
  const long count = static_cast<long>(columns.size());
  FillInBands(columns, rows, [&](long first, long end) {
    for (long r = first; r < end; ++r) {
      const TWalkStation& row = rows[r];
      TRowFill::FromValues(MbrEnmPolicy, MbrPtrSource->MbrDblNoDataValue, MbrVecSourceRows[row.Low],
                           MbrVecSourceRows[row.High], row, columns.data(), count,
                           DestinationRow(row.Cell));
    }
  });
}

void TBilinearWalk::FillFromQuotients(const std::vector<TWalkStation>& columns,
                                      const std::vector<TWalkStation>& rows, double area) {
  const auto mapRow = [this](long index, double*) { return MbrVecSourceRows[index]; };
  const long count = static_cast<long>(columns.size());
  FillInBands(columns, rows, [&](long first, long end) {
    TRowPairCache cache(MbrPtrSource->MbrLngXDim, false, true, area);
    for (long r = first; r < end; ++r) {
      const TWalkStation& row = rows[r];
      const TRowPairCache::TRow low = cache.Get(row.Low, row.High, mapRow);
      const TRowPairCache::TRow high = cache.Get(row.High, row.Low, mapRow);
      TRowFill::FromQuotients(MbrEnmPolicy, MbrPtrSource->MbrDblNoDataValue, low.Values,
                              high.Values, low.Quotients, high.Quotients, row, columns.data(),
                              count, DestinationRow(row.Cell));
    }
  });
}
