// TResamplePlan: the bilinear resampling of a grid planned from its geometry
// alone, for callers that hold the grid in pieces (a dask array chunked
// along y, say) and want any run of result rows from just the source rows it
// needs. The grid is the one whose edges follow from its geometry as the
// grid reader builds them (TGridGeometry); the result is the grid
// TMapTools::BilinearInterpolate (BilinearInterpolateNoDataAware) returns for
// it, and FillRows gives its rows to the bit, for any split into runs.
//
// Construction raises what that resampling raises, in its order, from the
// geometry alone (it depends on no value): "New resolution cannot be <= 0.0
// in TMapTools::BilinearInterpolate", "Grid dimensions are too large in
// TMapTools::Downscale" (a count beyond a signed 32-bit count), "Index is
// out of range in TAxis::GetPoint" (no result columns or rows), and the
// walk's failures ("LngGetY2 is out of range in TMapTools::BilinearInterpolate"
// and the like). A geometry whose columns, rows or cell size are not greater
// than 0 fails with "Grid geometry needs columns, rows and a cell size
// greater than 0 in TResamplePlan::TResamplePlan".
//
// Streams() is false for coordinates so large that adding a cell size leaves
// them unchanged: the plan then knows only the result's geometry, and the
// caller resamples the whole map in memory (TMapTools::BilinearInterpolate);
// SourceRows, FirstSourceRows and FillRows fail with "Grid cannot be planned in rows in
// TResamplePlan" there.
//
// Memory: a few checkpoints per few thousand rows and columns; FillRows
// takes a row of stations per result column. NewResultFrame's map holds the
// result's axes, a point per row and column. Values are doubles in row-major
// order, row 0 the northern row. The plan is immutable: several threads may
// call SourceRows and FillRows at once.
#ifndef QUILLMAP_PIPELINE_TRESAMPLEPLAN_H
#define QUILLMAP_PIPELINE_TRESAMPLEPLAN_H

#include <memory>
#include <vector>

#include "grid/TGridGeometry.h"
#include "grid/TMap.h"

class TWalkPlan;

class TResamplePlan {
public:
  TResamplePlan(const TGridGeometry& source, double NewResolution, bool noDataAware = false);
  ~TResamplePlan();
  TResamplePlan(const TResamplePlan&) = delete;
  TResamplePlan& operator=(const TResamplePlan&) = delete;

  bool Streams() const;
  // The result's counts, lower-left corner, cell size (NewResolution) and
  // no-data value (the source's), as the grid writer writes them.
  const TGridGeometry& Result() const;
  // A new map, owned by the caller, with the counts, cell size, no-data value
  // and four axes of the result (those of the map TMapTools::
  // BilinearInterpolate returns, to the bit) and no stored rows, whether or
  // not the plan streams. Throws "Grid dimensions are too large in
  // TMapTools::Downscale" where the axes could not fit in memory.
  TMap* NewResultFrame() const;

  // The source rows [sourceFirst, sourceEnd) that result rows [first, end)
  // are computed from (an empty range where none is: rows the walk does not
  // reach hold the no-data value). 0 <= first <= end <= Result().Rows, else
  // "Result rows are out of range in TResamplePlan::SourceRows".
  void SourceRows(long first, long end, long& sourceFirst, long& sourceEnd) const;
  // For each of the Result().Rows result rows, into first: the first source
  // row SourceRows names for that row alone, -1 for a row that reads none.
  // One pass over the rows, however many.
  void FirstSourceRows(long* first) const;
  // Writes result rows [first, end) into out, (end - first) x
  // Result().Columns values, from source rows [sourceFirst, sourceEnd) at
  // rows, (sourceEnd - sourceFirst) x the source's columns values. The
  // source rows must include those SourceRows names, else "Source rows do
  // not cover the result rows in TResamplePlan::FillRows"; result rows out
  // of range: "Result rows are out of range in TResamplePlan::FillRows".
  void FillRows(long first, long end, const double* rows, long sourceFirst, long sourceEnd,
                double* out) const;
  // Raises what FillRows raises for result rows [first, end) out of range
  // (or a plan that does not stream), for callers that size `out` first.
  void CheckFillRows(long first, long end) const;
  // The same from source rows that need not lie one after another (the
  // blocks of a chunked array): source row sourceFirst + i at rows[i].
  void FillRows(long first, long end, std::vector<const double*> rows, long sourceFirst,
                double* out) const;

private:
  std::unique_ptr<TWalkPlan> MbrPtrPlan;
};

#endif
