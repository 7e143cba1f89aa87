// TAxisTools: conversions between an axis of n cell centres and the axis of
// the n + 1 cell edges around them. Both return a new axis that the caller
// owns; the argument axis is not changed. Coordinates are accumulated by
// repeated addition of the cell size, never as start + k * size.
//
// Throws (as const char*): "Index is out of range in TAxis::GetPoint" for an
// empty argument axis; "Axis has an empty slot in TAxisTools::PointsToIntervals"
// when the first or last centre slot is empty (the only ones it reads), and
// "Axis has an empty slot in TAxisTools::IntervalsToPoints" when any edge slot
// is.
#ifndef QUILLMAP_GRID_TAXISTOOLS_H
#define QUILLMAP_GRID_TAXISTOOLS_H

#include "grid/TAxis.h"

class TAxisTools {
public:
  // Edges of the centres, r being the centre axis's resolution. X edges start
  // half a cell west of the first centre and ascend by r. Y edges start half a
  // cell north of the first centre and descend by r when the centres descend
  // or when an axis read with 'Y' has a single centre (the orientation of
  // every map); they start half a cell south and ascend by r when the centres
  // ascend. With any selector other than 'Y' on a descending axis the step is
  // +r.
  static TAxis* PointsToIntervals(TAxis* centres, char selector);

  // Centres of the edges: point i is (a.x + |b.x - a.x| * 0.5,
  // a.y - |b.y - a.y| * 0.5) for edges a = i, b = i + 1, the midpoints for X
  // edges that ascend and Y edges that descend. The selector is not used.
  static TAxis* IntervalsToPoints(TAxis* edges, char selector);
};

#endif
