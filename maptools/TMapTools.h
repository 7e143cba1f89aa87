// TMapTools: the toolkit's map operations, a class of static members: the
// text exports of a map, resampling, cell-wise arithmetic, series aggregation,
// sub-grids, value filters and counts, value sampling and trends over series.
//
// Conventions shared by every operation: maps are passed by pointer; an
// operation that produces a map returns a new map that the caller owns and
// leaves its inputs unchanged, except FillBlock and Insert, which change the
// map they are given. Cell indices are column first, row second; row 0 is the
// northern row. A cell is no-data only where an operation says so, by exact
// equality with a stated map's no-data value. Failures are thrown as const
// char* message texts that end with " in TMapTools::" and the operation; the
// messages of each operation are listed with it. A failure releases whatever
// the operation had built.
#ifndef QUILLMAP_MAPTOOLS_TMAPTOOLS_H
#define QUILLMAP_MAPTOOLS_TMAPTOOLS_H

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "grid/TMap.h"
#include "grid/TPoint.h"

class TMapTools {
public:
  // ---- Text exports ----

  // ---- Resampling ----

  // ---- Cell-wise arithmetic and series aggregation ----

  // ---- Sub-grids, extents, value filters and counts ----

  // ---- Value sampling and trends over series ----
};

#endif
