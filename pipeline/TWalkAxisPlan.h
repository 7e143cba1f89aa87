// TWalkAxisPlan: the resampling walk along one axis (Descending: along y),
// planned from a grid's header without building its axes: one pass of
// TStationMerge through all the walk's stations notes the first, the first
// that fails, whether the run stalls, and a checkpoint every `spacing`
// stations, so that a cursor streams the stations of any run of result
// cells from the checkpoint before it. TColumnPlan and TRowPlan are the two
// axes of a north-up grid.
//
// Memory: count / spacing checkpoints, besides the axis's kept terms;
// nothing per station, cell or edge. Nothing here throws but the standard
// library's allocation failures.
#ifndef QUILLMAP_PIPELINE_TWALKAXISPLAN_H
#define QUILLMAP_PIPELINE_TWALKAXISPLAN_H

#include <vector>

#include "maptools/TSharedArea.h"
#include "maptools/TWalkStation.h"
#include "pipeline/TStationMerge.h"
#include "pipeline/TWalkAxis.h"

template <bool Descending> class TWalkAxisPlan {
public:
  // Plans the stations, adding each to area (as a row where Descending, as
  // a column otherwise). An axis whose walk does not start (its first
  // ordinate already beyond the end, which the walk tests along x) has none.
  // The axis must outlive the plan.
  TWalkAxisPlan(const TWalkAxis& axis, bool starts, long spacing, TSharedArea& area);

  long Count() const { return MbrLngCount; }
  // Meaningful when Count() > 0.
  const TWalkStation& First() const { return MbrFirst; }
  // Null when no station fails.
  const TWalkStation* FirstFailing() const { return MbrBlnFails ? &MbrFirstFailing : nullptr; }
  bool Stalls() const { return MbrBlnStalls; }

  // The stations in walk order from the first whose cell is at least
  // firstCell; for a walk without failures, whose cells never decrease.
  class TCursor {
  public:
    TCursor(const TWalkAxisPlan& plan, long firstCell);
    bool AtEnd() const { return MbrBlnAtEnd; }
    const TWalkStation& Station() const { return MbrMerge.Station(); }
    void Advance() { MbrBlnAtEnd = !MbrMerge.Advance(); }
    // To the first station whose cell is at least firstCell, given that
    // every station before the cursor lies in a cell before `passed`: on
    // from here when firstCell is at or after it and no checkpoint lies
    // between, else from the checkpoint before.
    void MoveTo(long firstCell, long passed);

  private:
    const TWalkAxisPlan* MbrPtrPlan;
    TStationMerge<Descending> MbrMerge;
    bool MbrBlnAtEnd;
  };

private:
  struct TCheckpoint {
    long Station;
    double At;
    long ResultSegment;
    long SourceSegment;
    long Cell;
  };
  // The last checkpoint before the first station in firstCell or after.
  const TCheckpoint& CheckpointBefore(long firstCell) const;
  TStationMerge<Descending> MergeFrom(const TCheckpoint& checkpoint) const;

  const TWalkAxis& MbrRefAxis;
  long MbrLngCount = 0;
  TWalkStation MbrFirst;
  TWalkStation MbrFirstFailing;
  bool MbrBlnFails = false;
  bool MbrBlnStalls = false;
  std::vector<TCheckpoint> MbrVecCheckpoints;
};

using TColumnPlan = TWalkAxisPlan<false>;
using TRowPlan = TWalkAxisPlan<true>;

#endif
