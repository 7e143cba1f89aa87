// TAxisRules: the rules by which TAxisTools converts between cell centres
// and cell edges, as ordinates: where the edges around a run of centres
// start and how they step, and where the centre between two edges lies.
// TAxisTools builds its axes with them; the file-to-file resampling derives
// the same ordinates from a grid's header without building axes. Internal.
// Nothing here throws.
#ifndef QUILLMAP_GRID_TAXISRULES_H
#define QUILLMAP_GRID_TAXISRULES_H

#include <cmath>

#include "grid/TStepSequence.h"

class TAxisRules {
public:
  // The count + 1 X edges of count centres whose first x is firstCentre:
  // from firstCentre - r * 0.5, step r.
  static TStepSequence XEdgesOf(double firstCentre, double r, long count, long spacing = 0);
  // The count + 1 Y edges PointsToIntervals builds with the selector from
  // centres whose first and last y are given: from half a cell north of the
  // first, step -r, when the centres descend or a single one is read with
  // 'Y' (+r with another selector); from half a cell south, step +r,
  // otherwise.
  static TStepSequence YEdgesOf(double firstCentre, double lastCentre, double r, long count,
                                char selector, long spacing = 0);
  // The centre between consecutive edges a and b: along x, a + |b - a| *
  // 0.5; along y, a - |b - a| * 0.5 (the midpoint for ascending X edges and
  // descending Y edges).
  static double XCentreOf(double a, double b) { return a + std::fabs(b - a) * 0.5; }
  static double YCentreOf(double a, double b) { return a - std::fabs(b - a) * 0.5; }
};

#endif
