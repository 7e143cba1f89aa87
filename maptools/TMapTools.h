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
//
// Where the operations live (maptools/):
//   Export.cpp      WriteFlatFile, WriteCSVFile
//   Downscale.cpp   Downscale, Subdivide
//   Resample.cpp    BilinearInterpolate, BilinearInterpolateNoDataAware (the
//                   walk itself in TBilinearWalk)
//   Arithmetic.cpp  Multiply, Divide, Add, Subtract
//   Series.cpp      Sum, DataCounts, Average, MovingAverage
//   SubGrid.cpp     FindPatchExtent, BufferIndices, FillBlock, Extract, Insert,
//                   Intersection
//   Filter.cpp      ThresholdReplace, Threshold, ReplaceValue, Mask,
//                   RoundContents, CountValues
//   Sampling.cpp    FetchMapValues, GetFirstValues, FindNonzeroNeighbourVal,
//                   GetValuesVector, GetValuesOverlay
//   Gradients.cpp   ValueGradients
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
  // Numbers appear as the stream's own formatting writes them (6 significant
  // digits on a fresh stream); every line ends with a newline and a flush.

  // The cells row by row, north first, each value followed by the separator
  // (the last one included), each row ended by a line end. A map whose rows
  // do not hold every cell fails before anything is written, with the
  // message of TMap::GetPointVal for the first missing cell.
  static void WriteFlatFile(TMap* map, std::ostream& stream, char separator);
  // The same table with every value written with `digits` significant digits
  // in general notation ("%.<digits>g"), whatever the stream's precision.
  // Throws "Digits must lie between 1 and 17 in TMapTools::WriteFlatFile"
  // before anything is written.
  static void WriteFlatFile(TMap* map, std::ostream& stream, char separator, int digits);
  // One line "x,y,value" per cell, at the cell's centre: column by column
  // from the west, within a column row by row from the north. Throws "Map has
  // no axes in TMapTools::WriteCSVFile" for a map without centre axes, and
  // what TMap::GetPoint (long,long) throws for a cell it cannot give.
  static void WriteCSVFile(TMap* map, std::ostream& stream);

  // ---- Resampling ----
  // Downscale and Subdivide anchor the new grid at the source's first X edge
  // and first Y edge and keep the direction of its Y axis. Both refuse, before
  // building anything, a result whose column or row count does not fit a
  // signed 32-bit count or whose cells could not fit in this machine's memory
  // ("Grid dimensions are too large in TMapTools::Downscale" / "...
  // Subdivide"), and both refuse a source without edge axes ("Map has no
  // axes in TMapTools::Downscale" / "... Subdivide"). The result declares
  // -9999 as its no-data value.

  // An empty grid of cell size NewResolution over the source's extent:
  // S * columns / NewResolution columns (likewise rows), truncated, so the
  // east and south remainders smaller than a new cell are dropped. Every cell
  // holds -9999. A grid without columns or rows fails while its axes are
  // built: "Index is out of range in TAxis::GetPoint".
  static TMap* Downscale(TMap* source, double NewResolution);
  // Every cell split into factor x factor cells of size S / factor, each
  // holding the source cell's value (no-data cells included).
  // Throws "Subdivision factor must be at least 1 in TMapTools::Subdivide".
  static TMap* Subdivide(TMap* source, int factor);

  // The source resampled to cell size NewResolution: the grid of Downscale,
  // every cell first set to the source's no-data value (which the result
  // takes over), then filled along a walk that starts one source cell in from
  // the grid's first edges and advances by NewResolution (x outer, y inner,
  // the first point of every column taken without testing y). Each walk point
  // stores, in the result cell holding it, the interpolation between the
  // centres of the four source cells around it; the cells the walk does not
  // reach keep the no-data value. Source values are used as plain numbers.
  // Throws "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate"
  // (not-a-number included), "New resolution is too small for the map's
  // coordinates in TMapTools::BilinearInterpolate" (a walk step that does not
  // move the coordinate), "Map has no axes in
  // TMapTools::BilinearInterpolate", "LngGetX1 is out of range in
  // TMapTools::BilinearInterpolate" (and LngGetX2, LngGetY1, LngGetY2), what
  // Downscale throws, and the lookups' own messages for a walk point outside
  // the source or the result ("Ordinate is out of range in TAxis::GetIndex").
  static TMap* BilinearInterpolate(TMap* source, double NewResolution);
  // BilinearInterpolate, except that a walk point whose four source cells
  // include a no-data cell (equal to the source's no-data value, or not a
  // number) stores the no-data value instead of the interpolation. The walk,
  // the failures and their messages are those of BilinearInterpolate.
  static TMap* BilinearInterpolateNoDataAware(TMap* source, double NewResolution);
  // Writes into T's value the interpolation at T's (x, y) between P11 at
  // (x1, y1), P21 at (x2, y1), P12 at (x1, y2) and P22 at (x2, y2). Reads x1
  // and y1 from P11, x2 from P21, y2 from P12 and only the value of P22.
  static void BilinearInterpolate(TMapPoint* P11, TMapPoint* P21, TMapPoint* P12, TMapPoint* P22,
                                  TMapPoint* T);
  // With A = (x2 - x1) * (y2 - y1): Q11 / A * (x2 - x) * (y2 - y)
  // + Q21 / A * (x - x1) * (y2 - y) + Q12 / A * (x2 - x) * (y - y1)
  // + Q22 / A * (x - x1) * (y - y1), left to right. A = 0 is not checked.
  static double BilinearInterpolate(double Q11, double Q21, double Q12, double Q22, double x,
                                    double x1, double x2, double y, double y1, double y2);

  // ---- Cell-wise arithmetic and series aggregation ----
  // Each of these refuses, before building anything, a map whose stored rows
  // do not match its dimensions ("Map rows do not match its dimensions in
  // TMapTools::<operation>") and a map that should lend its centre axes to the
  // result but has none ("Map has no axes in TMapTools::<operation>"). A zero
  // divisor is not a failure: it gives infinities (0 / 0 not-a-number) as data.
  // A not-a-number cell never equals a no-data value, so it counts as data.

  // Every cell times the factor, on the source's grid (built from its centre
  // axes). No-data: a cell equal to -9999 is written as -9999, whatever the
  // source's own no-data value; the result declares -9999. Throws "Axes
  // resolutions do not match in TMap::TMap".
  static TMap* Multiply(TMap* map, double factor);
  // Every cell divided by the divisor, on the source's grid (built from its
  // centre axes). No-data: a cell equal to the source's no-data value is
  // written as the source's no-data value; the result declares -9999. Throws
  // "Axes resolutions do not match in TMap::TMap".
  static TMap* Divide(TMap* map, double divisor);
  // The sum of two maps on the grid of the finer one (the second map when its
  // cell size is less than the first's, else the first map: the base), with
  // the other map read in the cell whose edges contain each base cell's
  // centre. No-data: a cell where the base value equals the base's no-data
  // value, or the other value equals the other map's, is written as the
  // base's no-data value, which the result declares. A centre outside the
  // other map fails with the lookup's message ("Ordinate is out of range in
  // TAxis::GetIndex"); the first such cell in row-major order decides.
  static TMap* Add(TMap* first, TMap* second);
  // The product of two maps; base, no-data rules and failures as in Add.
  static TMap* Multiply(TMap* first, TMap* second);
  // The dividend divided by the divisor on the dividend's grid, the divisor
  // read at each dividend cell's centre; the maps are never swapped. No-data:
  // a cell where the dividend equals its no-data value, or the divisor equals
  // its own, is written as the dividend's no-data value, which the result
  // declares. Throws "Divisor must be of equal of coarser resolution than the
  // dividend in TMapTools::Divide" (tested first) when the dividend's cell
  // size is greater than the divisor's, and lookup failures as in Add.
  static TMap* Divide(TMap* dividend, TMap* divisor);
  // The difference of cells with equal indices, on the minuend's grid (built
  // from its centre axes); coordinates and cell sizes are not compared.
  // No-data: a cell where the minuend equals its no-data value, or the
  // subtrahend equals its own, is written as the minuend's no-data value,
  // which the result declares. Throws "X dimensions do not match in
  // TMapTools::Subtract", then "Y dimensions do not match in
  // TMapTools::Subtract", then "Axes resolutions do not match in TMap::TMap".
  static TMap* Subtract(TMap* minuend, TMap* subtrahend);

  // The series operations pair cells by index over maps of equal counts and
  // build on the first map's grid; the maps stay the caller's.

  // The per-cell sum of 2 or more maps. No-data: a cell that equals its own
  // map's no-data value in any map is written as the no-data value of the
  // first such map in series order; the result declares -9999. Throws
  // "Must have more than 2 maps to sum in TMapTools::Sum" for fewer than 2
  // maps; then, for the first map whose counts differ from the first map's,
  // "X-dimension of maps are inconsistent in TMapTools::Sum" or
  // "Y-dimension of maps are inconsistent in TMapTools::Sum" (X tested
  // first); and "Axes resolutions do not match in TMap::TMap".
  static TMap* Sum(std::vector<TMap*> maps);
  // The per-cell number of maps whose value differs from their own no-data
  // value: whole numbers, no no-data cells; the result declares -9999. Throws
  // "Must have at least 1 map to count in TMapTools::DataCounts" for an empty
  // series, and the dimension messages of Sum ending in
  // "TMapTools::DataCounts".
  static TMap* DataCounts(std::vector<TMap*> maps);
  // Sum divided by DataCounts (through Divide), on the first map's grid.
  // No-data: the result declares -9999; a cell whose sum is -9999 (a no-data
  // cell of a map whose no-data value is -9999, or values that add up to it)
  // is written as -9999. A sum cell holding a map's own no-data value other
  // than -9999 is divided by its count like data (by 0 where every map is
  // no-data). Failures are those of Sum, then DataCounts.
  static TMap* Average(std::vector<TMap*> maps);
  // The Average of every window of `window` consecutive maps, in order:
  // N - window + 1 maps, none when the window is longer than the series. A
  // window below 2 fails in Sum; when an average fails, those already made
  // are released. No-data rules are those of Average.
  static std::vector<TMap*> MovingAverage(std::vector<TMap*> maps, int window);

  // ---- Sub-grids, extents, value filters and counts ----
  // A block is four inclusive cell indices, always in the order north row,
  // south row, west column, east column (north <= south, west <= east in a
  // well-formed block). A corner point selects the cell whose edges hold it,
  // each cell closed at its lower edges; a corner exactly on a map's east or
  // south edge selects the last column or row, one on its west or north edge
  // the first.

  // The smallest block holding every cell equal to the value (exact
  // comparison, so not-a-number matches nothing). No cell equal to it, or a
  // map without cells, gives 0, 0, 0, 0, the same as a block of cell (0, 0).
  // The indices are written only once the map has been read; a map whose
  // stored rows fall short of its dimensions fails with the cell read's
  // message ("X-ordinate is out of range in TMap::GetPointVal").
  static void FindPatchExtent(TMap* map, double value, long& north, long& south, long& west,
                              long& east);
  // Moves each index of the block outward by the margin and clamps it on the
  // side it moves toward: north - margin when north > margin, else 0; south +
  // margin when south < rows - margin - 1, else rows - 1; west and east
  // likewise with the columns. Nothing else is tested.
  static void BufferIndices(TMap* map, long margin, long& north, long& south, long& west,
                            long& east);
  // Sets every cell of the block to the value. Tests, in this order, before
  // anything is written: "Northern edge must be less than southern edge in
  // TMapTools::FillBlock" (north > south), "Western edge must be less than
  // eastern edge in TMapTools::FillBlock" (west > east), then each index
  // against the cells the map stores: "Northern ordinate is out of range in
  // TMapTools::FillBlock", "Southern ordinate is out of range in
  // TMapTools::FillBlock", "Western ordinate is out of range in
  // TMapTools::FillBlock", "Eastern ordinate is out of range in
  // TMapTools::FillBlock". Equal edges fill one row, column or cell.
  static void FillBlock(TMap* map, double value, long north, long south, long west, long east);
  // A new map of the cells between the two corners, both cells included; the
  // corners may be any two opposite ones, in either order. The result has the
  // source's cell size and cell coordinates and declares -9999 as its no-data
  // value (the source's is not carried over; its cells are copied as they
  // are). A corner outside the source fails with "Ordinate is out of range in
  // TAxis::GetIndex"; a source without axes with "Map has no axes in
  // TMap::GetIndex".
  static TMap* Extract(TMap* source, TPoint* corner, TPoint* oppositeCorner);
  // Writes every insert cell's value into the destination cell holding the
  // insert cell's centre, rows of the insert as the outer loop; where several
  // insert cells fall into one destination cell the last one written stays.
  // Only the destination's values change. Both corners are tested before
  // anything is written: "Insert map's NW corner is outside of the
  // destination map in TMapTools::Insert" (the insert's first X or Y edge
  // beyond the destination's, x tested first) and "Insert map's SE corner is
  // outside of the destination map in TMapTools::Insert" (its last edges). A
  // map without edge or centre axes fails with "Map has no axes in
  // TMapTools::Insert". A centre that falls outside the destination fails
  // with the lookup's message ("Ordinate is out of range in
  // TAxis::GetIndex"), the cells before it staying written.
  static void Insert(TMap* destination, TMap* insert);
  // Cuts both maps down to their common area: first receives the part of
  // mapA, then second the part of mapB (first is set before mapB is cut). The
  // common area runs from TPointTools::Max of the two south-west corners to
  // TPointTools::Min of the two north-east corners. Each result holds the
  // cells of its own map that overlap the common area, except cells whose
  // overlap is below a millionth of that map's cell size: its corners are the
  // common area's corners moved toward each other by that millionth in x and
  // in y, or to the middle of the common area where it is thinner than two
  // millionths, so every result has at least one cell. Any positive-area
  // overlap is accepted, whatever the cell sizes and offsets. Maps whose
  // extents share no area, or only touch, fail with "Maps do not intersect
  // in TMapTools::Intersection"; a map without edge axes with "Map has no
  // axes in TMapTools::Intersection"; neither result is changed then.
  static void Intersection(TMap* mapA, TMap* mapB, TMap*& first, TMap*& second);

  // The filters build each result on the source's centre axes (Mask: the
  // first map's), so it has the source's geometry and declares -9999 as its
  // no-data value; cell (i, j) of the result answers to cell (i, j) of the
  // source. No-data cells are treated as plain numbers. A source without
  // centre axes fails with "Map has no axes in TMapTools::" and the
  // operation; a source whose stored rows fall short of its dimensions fails
  // with the cell read's message ("X-ordinate is out of range in
  // TMap::GetPointVal"); axes of different cell sizes fail with "Axes
  // resolutions do not match in TMap::TMap". Nothing is returned on failure.

  // Cells at or above the threshold become the replacement; others (a
  // not-a-number cell too) are copied.
  static TMap* ThresholdReplace(TMap* map, double threshold, double replacement);
  // Cells at or above the threshold are copied; all others become 0.
  static TMap* Threshold(TMap* map, double threshold);
  // Threshold of each map, in order. On a failure the maps already made are
  // released and the failure passes on.
  static std::vector<TMap*> Threshold(std::vector<TMap*> maps, double threshold);
  // Each cell becomes the table's value for the key equal to it, or the
  // default when no key equals it (a not-a-number cell always gets the
  // default). The caller's table is not changed.
  static TMap* ReplaceValue(TMap* map, std::map<double, double> table, double defaultValue);
  // The second map's values on the first map's geometry, a cell equal to the
  // mask value replaced. The first map's values are not read. Throws "X
  // dimensions do not match in TMapTools::Mask", then "Y dimensions do not
  // match in TMapTools::Mask", before anything is built.
  static TMap* Mask(TMap* first, TMap* second, double maskValue, double replacement);
  // Each cell v becomes n + 1 when v - n >= 0.5 and n otherwise, n being v
  // truncated toward zero: halves round up for positive values, negative
  // values are truncated toward zero (-0.5 gives 0, written as +0). The rule
  // holds in double precision for any magnitude; not-a-number and infinite
  // cells stay as they are.
  static TMap* RoundContents(TMap* map);
  // The number of cells holding each value, in ascending order of value,
  // values told apart by exact comparison. Not-a-number cells cannot be keys
  // of the table and are not counted. Cells are read as in the filters. +0
  // and -0 share one key, the zero met first with columns outermost.
  static std::map<double, long> CountValues(TMap* map);
  // The number of cells equal to the value (a not-a-number value matches
  // nothing). Reads only the cells the map stores; never fails.
  static int CountValues(TMap* map, double value);

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
