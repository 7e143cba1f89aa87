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
  // These read values out of maps into new containers; no input map is
  // changed. Where every cell is visited, columns form the outer loop and rows
  // the inner one; "first" and the order inside a group follow that order.
  // Exclusion lists match by exact equality (a not-a-number entry matches
  // nothing). A not-a-number cell value cannot serve as a key of an ordered
  // table, so it is passed over wherever values become keys.

  // The value of the cell holding each point of the table (only the point's
  // coordinates are read), under the point's label. Fails with the messages of
  // TMap::GetPointVal(TPoint*) ("Ordinate is out of range in TAxis::GetIndex",
  // "LngX is out of range in TMap::GetPointVal", ...) for the first point, in
  // label order, outside the map. The points stay the caller's.
  static std::map<double, double> FetchMapValues(TMap* map, std::map<double, TMapPoint*> points);
  // Map i sampled with point table i, one result per map. Fewer tables than
  // maps fails with "Fewer point tables than maps in TMapTools::FetchMapValues"
  // before any sampling; extra tables are ignored. A failure on any map ends
  // the whole operation.
  static std::vector<std::map<double, double>>
  FetchMapValues(std::vector<TMap*> maps, std::vector<std::map<double, TMapPoint*>> points);

  // Each distinct cell value, not excluded, with a new TMapPoint at the centre
  // of the first cell holding it. A cell equal to the value of the cell visited
  // just before it (across column ends; the first cell is compared with the
  // no-data value) is passed over, so a leading run of no-data cells is not
  // recorded. The caller owns every returned point; a failure (a map without
  // centre axes: "Map has no axes in TMap::GetPoint (long,long)") releases
  // those already made.
  static std::map<double, TMapPoint*> GetFirstValues(TMap* map, std::vector<double> exclude);
  // GetFirstValues of each map with the same exclusion list, in map order.
  static std::vector<std::map<double, TMapPoint*>> GetFirstValues(std::vector<TMap*> maps,
                                                                  std::vector<double> exclude);

  // The first nonzero value, in row order, of the right-most column holding
  // one in the block of at most 3 x 3 cells around (LngX, LngY) cut at the
  // map's edges; 0 when the block holds only zeros. Not-a-number and the
  // no-data value count as nonzero. Throws "X-ordinate is out of range in
  // TMapTools::FindNonzeroNeighbourVal", then "Y-ordinate is out of range in
  // TMapTools::FindNonzeroNeighbourVal".
  static double FindNonzeroNeighbourVal(TMap* map, long LngX, long LngY);

  // The values of cell (LngX, LngY) in maps start to end inclusive, in map
  // order (at least 2 values). Throws, in this order: "Start map number is out
  // of range in TMapTools::GetValuesVector" (negative included), "End map
  // number is out of range in TMapTools::GetValuesVector", "Stat map number
  // must be less than end map number" (start >= end), then the read failures
  // of TMap::GetPointVal(long, long) map by map.
  static std::vector<double> GetValuesVector(std::vector<TMap*> maps, long LngX, long LngY,
                                             int start, int end);

  // The values of valueMap grouped by the value keyMap holds in the same cell;
  // keys in the exclusion list are passed over. Throws "Map X-dimensions do
  // not match", then "Map Y-Dimensions do not match".
  static std::map<double, std::vector<double>> GetValuesOverlay(TMap* valueMap, TMap* keyMap,
                                                                std::vector<double> exclude);

  // One map of trends per window position i = 0 .. n - window - 1: in each
  // cell the least-squares slope (per map) of the cell's values in maps i to
  // i + window. A cell that is 0 in map i stays -9999; zeros in maps
  // i .. i + window - 1 are first filled by FindNonzeroNeighbourVal, and
  // values equal to their own map's no-data value are left out of the fit
  // (fewer than two left give not-a-number). Every result is built on map 0's
  // centre axes and declares -9999; the caller owns them. A window equal to n
  // gives no maps. Throws, in this order: "Window size must not be negative
  // in TMapTools::ValueGradients", "Window size must be < number of maps in
  // TMapTools::ValueGradients", "Map dimensions do not match in
  // TMapTools::ValueGradients", "Map rows do not match its dimensions in
  // TMapTools::ValueGradients", "Map has no axes in TMapTools::ValueGradients"
  // (map 0, when a result is due); a window of 0 fails at the first cell that
  // is nonzero with "Stat map number must be less than end map number". A
  // failure releases the maps already built.
  static std::vector<TMap*> ValueGradients(std::vector<TMap*> maps, int window);
};

#endif
