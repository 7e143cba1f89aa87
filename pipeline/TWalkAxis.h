// TWalkAxis: one axis of a resampling walk as streamed sequences, from a
// grid's header: the source's edges (in index order, or, SourceReversed,
// from the last index to the first, as the reader generates Y edges from the
// south), the result's edges in index order, and the walk's ordinates along
// it. Along x every sequence ascends with its index; along y every one
// descends (TStationMerge's Descending). A value; the sequences hold their
// kept terms.
#ifndef QUILLMAP_PIPELINE_TWALKAXIS_H
#define QUILLMAP_PIPELINE_TWALKAXIS_H

#include "grid/TStepSequence.h"
#include "maptools/TWalkRun.h"

struct TWalkAxis {
  TStepSequence SourceEdges;
  bool SourceReversed;
  TStepSequence ResultEdges;
  TWalkRun Walk;
  // The ordinates inside both grids' edges: from the larger of their lowest
  // edges to the smaller of their highest.
  double Lowest;
  double Highest;

  TWalkAxis(const TStepSequence& sourceEdges, bool sourceReversed, const TStepSequence& resultEdges,
            const TWalkRun& walk);
};

#endif
