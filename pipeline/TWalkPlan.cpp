#include "pipeline/TWalkPlan.h"

#include <algorithm>
#include <cmath>

#include "grid/GridMessages.h"
#include "grid/TAxisRules.h"
#include "gridio/TGridHeader.h"
#include "maptools/MapToolsMessages.h"
#include "maptools/TDownscaleGeometry.h"
#include "maptools/TSharedArea.h"
#include "maptools/TWalkFailure.h"

namespace {
// Checkpoints at least this far apart, and at most about this many.
const long kLeastSpacing = 1024;
const int kCheckpointsShift = 13;

long SpacingFor(long a, long b, long chosen) {
  if (chosen > 0)
    return chosen;
  return std::max(kLeastSpacing, std::max(a, b) >> kCheckpointsShift);
}
} // namespace

TWalkPlan::TWalkPlan(const TGridGeometry& source, double NewResolution, TCornerPolicy policy,
                     const std::function<bool(double cells)>& fits, long spacing)
    : MbrSource(source), MbrEnmPolicy(policy) {
  if (!(NewResolution > 0.0))
    throw kResolutionNotPositive;
  const double S = source.CellSize;
  const double R = NewResolution;
  const TDownscaleGeometry counts(S, source.Columns, source.Rows, R, kDownscaleTooLarge);
  const long NX = counts.Columns();
  const long NY = counts.Rows();
  if (!fits(static_cast<double>(NX) * static_cast<double>(NY)))
    throw kDownscaleTooLarge;
  if (NX <= 0 || NY <= 0)
    throw kGetPointRange;
  spacing = SpacingFor(std::max(source.Columns, source.Rows), std::max(NX, NY), spacing);

  // The source's edges by the reader's rule, the result's centres by
  // Downscale's and its edges by PointsToIntervals'.
  const TStepSequence sourceX = TGridHeader::XEdges(source, spacing);
  const TStepSequence sourceY = TGridHeader::YEdgesFromSouth(source, spacing);
  const double x0 = sourceX.First();
  const double y0 = sourceY.Term(source.Rows);
  const double yn = sourceY.First();
  const TStepSequence centresY = counts.YCentres(y0, yn);
  const TStepSequence resultX = TAxisRules::XEdgesOf(counts.XCentres(x0).First(), R, NX, spacing);
  const TStepSequence resultY =
      TAxisRules::YEdgesOf(centresY.First(), centresY.Term(NY - 1), R, NY, 'Y', spacing);
  MbrResult = TGridGeometry{NX, NY, resultX.First(), resultY.Term(NY), R, source.NoData};

  MbrBlnStreams = sourceX.Ascends() && sourceY.Ascends() && resultX.Ascends() && resultY.Descends();
  if (!MbrBlnStreams)
    return;
  MbrColumnsAxis.emplace(sourceX, false, resultX,
                         TWalkRun::AlongX(resultX.First(), resultX.Term(NX), S, R));
  MbrRowsAxis.emplace(sourceY, true, resultY,
                      TWalkRun::AlongY(resultY.First(), resultY.Term(NY), S, R));
  TSharedArea area;
  const TWalkRun& x = MbrColumnsAxis->Walk;
  MbrColumns.emplace(*MbrColumnsAxis, x.GoesOn(x.Start), spacing, area);
  MbrRows.emplace(*MbrRowsAxis, MbrColumns->Count() > 0, spacing, area);
  if (MbrColumns->Count() > 0)
    TWalkFailure::RaiseFirst(&MbrColumns->First(), MbrRows->First(), MbrRows->FirstFailing(),
                             MbrRows->Stalls(), MbrColumns->FirstFailing(), MbrColumns->Stalls());

  // As the in-memory walk decides: four divisions a point against one a
  // source cell.
  const double points =
      static_cast<double>(MbrColumns->Count()) * static_cast<double>(MbrRows->Count());
  const double cells = static_cast<double>(source.Columns) * static_cast<double>(source.Rows);
  MbrBlnQuotients = 4 * points > cells && area.Shared();
  if (MbrBlnQuotients)
    MbrDblArea = area.Area();
}

long TWalkPlan::ColumnsWithin(long sourceColumns) const {
  // A run of n result columns spans about n x R / S source columns, and its
  // two ends' pairs up to three more.
  const double fitting = std::floor((static_cast<double>(sourceColumns) - 3.0) *
                                    MbrSource.CellSize / MbrResult.CellSize);
  if (!(fitting >= 1.0))
    return 1;
  return fitting >= static_cast<double>(MbrResult.Columns) ? MbrResult.Columns
                                                           : static_cast<long>(fitting);
}

void TWalkPlan::FirstSourceRows(long* first) const {
  std::fill(first, first + MbrResult.Rows, -1L);
  // The last station of a cell decides it.
  for (TRowPlan::TCursor rows(Rows(), 0); !rows.AtEnd(); rows.Advance())
    first[rows.Station().Cell] = rows.Station().Low;
}

bool TWalkPlan::SourceRowsOf(long first, long end, long& low, long& high) const {
  low = high = 0;
  long firstCell = -1;
  for (TRowPlan::TCursor rows(Rows(), first); !rows.AtEnd() && rows.Station().Cell < end;
       rows.Advance()) {
    const TWalkStation& row = rows.Station();
    if (firstCell < 0)
      firstCell = row.Cell;
    // The last station of a cell decides it.
    if (row.Cell == firstCell)
      low = row.Low;
    high = row.High + 1;
  }
  return firstCell >= 0;
}

bool TWalkPlan::SourceColumnsOf(long first, long end, long& low, long& high) const {
  low = high = 0;
  const TColumnPlan::TCursor columns(Columns(), first);
  if (columns.AtEnd() || columns.Station().Cell >= end)
    return false;
  // Cells and pairs only move east along the walk: the first station past
  // the run (or the last) bounds its source columns.
  low = columns.Station().Low;
  high = TColumnPlan::TCursor(Columns(), end).Station().High + 1;
  return true;
}
