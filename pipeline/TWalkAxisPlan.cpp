#include "pipeline/TWalkAxisPlan.h"

#include <algorithm>

template <bool Descending>
TWalkAxisPlan<Descending>::TWalkAxisPlan(const TWalkAxis& axis, bool starts, long spacing,
                                         TSharedArea& area)
    : MbrRefAxis(axis) {
  if (!starts)
    return;
  spacing = std::max(spacing, 1L);
  TStationMerge<Descending> merge(axis, 0, axis.Walk.Start, 0, 0);
  MbrFirst = merge.Station();
  MbrVecCheckpoints.push_back({0, MbrFirst.At, 0, 0, MbrFirst.Cell});
  for (long untilCheckpoint = spacing;;) {
    const TWalkStation& station = merge.Station();
    if constexpr (Descending)
      area.AddRow(station);
    else
      area.AddColumn(station);
    if (station.Fails() && !MbrBlnFails) {
      MbrBlnFails = true;
      MbrFirstFailing = station;
    }
    const long resultSegment = merge.ResultSegment();
    const long sourceSegment = merge.SourceSegment();
    if (!merge.Advance())
      break;
    if (--untilCheckpoint == 0) {
      untilCheckpoint = spacing;
      MbrVecCheckpoints.push_back(
          {merge.Index(), merge.Station().At, resultSegment, sourceSegment, merge.Station().Cell});
    }
  }
  MbrLngCount = merge.Index() + 1;
  MbrBlnStalls = merge.Stalls();
}

template <bool Descending>
const typename TWalkAxisPlan<Descending>::TCheckpoint&
TWalkAxisPlan<Descending>::CheckpointBefore(long firstCell) const {
  const auto after = std::partition_point(
      MbrVecCheckpoints.begin(), MbrVecCheckpoints.end(),
      [firstCell](const TCheckpoint& checkpoint) { return checkpoint.Cell < firstCell; });
  return after == MbrVecCheckpoints.begin() ? *after : *(after - 1);
}

template <bool Descending>
TStationMerge<Descending> TWalkAxisPlan<Descending>::MergeFrom(const TCheckpoint& from) const {
  return TStationMerge<Descending>(MbrRefAxis, from.Station, from.At, from.ResultSegment,
                                   from.SourceSegment);
}

template <bool Descending>
TWalkAxisPlan<Descending>::TCursor::TCursor(const TWalkAxisPlan& plan, long firstCell)
    : MbrPtrPlan(&plan),
      MbrMerge(plan.Count() == 0
                   ? TStationMerge<Descending>(plan.MbrRefAxis, 0, plan.MbrRefAxis.Walk.Start, 0, 0)
                   : plan.MergeFrom(plan.CheckpointBefore(firstCell))),
      MbrBlnAtEnd(plan.Count() == 0) {
  while (!MbrBlnAtEnd && MbrMerge.Station().Cell < firstCell)
    Advance();
}

template <bool Descending>
void TWalkAxisPlan<Descending>::TCursor::MoveTo(long firstCell, long passed) {
  if (MbrPtrPlan->Count() == 0)
    return;
  const TCheckpoint& from = MbrPtrPlan->CheckpointBefore(firstCell);
  if (firstCell < passed || (!MbrBlnAtEnd && from.Station > MbrMerge.Index())) {
    MbrMerge = MbrPtrPlan->MergeFrom(from);
    MbrBlnAtEnd = false;
  }
  while (!MbrBlnAtEnd && MbrMerge.Station().Cell < firstCell)
    Advance();
}

template class TWalkAxisPlan<false>;
template class TWalkAxisPlan<true>;
