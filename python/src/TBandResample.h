// TBandResample: the bilinear resampling of a grid computed band by band,
// for the dask-backed quillmap.xarray.resample: which source rows a band of
// result rows reads, and those result rows filled from just those source
// rows, with the bits of TMapTools::BilinearInterpolate (or its no-data-aware
// sibling) on the whole grid.
//
// TEMPORARY: built here on the walk's internals (TGridHeader's frame,
// TDownscaleFrame, TBilinearWalk's stations and row fill) until the
// file-to-file pipeline offers these two calls itself; then this class gives
// way to them. Keep it small.
//
// The source is described by its header alone: the geometry the grid reader
// (and quillmap.Grid) builds from it. Construction raises, in the order the
// whole-grid resampling raises them, the failures that the whole-grid call
// would raise (a resolution that is not positive, a result grid that cannot
// be built, a walk point that fails), so that a lazy result fails where the
// eager one fails. Banded() is false where the walk cannot be described row
// by row (axes that are not strictly monotonic); a caller then resamples the
// whole grid at once.
//
// FillRows is const and may run on several threads at once.
#ifndef QUILLMAP_PYTHON_TBANDRESAMPLE_H
#define QUILLMAP_PYTHON_TBANDRESAMPLE_H

#include <memory>
#include <utility>
#include <vector>

#include "grid/TMap.h"
#include "gridio/TGridHeader.h"
#include "maptools/TBilinearWalk.h"

class TBandResample {
public:
  TBandResample(const TGridHeader& source, double NewResolution, bool noDataAware);

  bool Banded() const { return MbrBlnBanded; }
  // The result's counts, cell size, no-data value and axes (no cells).
  TMap& Frame() const { return *MbrPtrFrame; }
  // For each result row, the first source row it reads; -1 for a row that
  // no walk point reaches (it holds the no-data value).
  std::vector<long> FirstSourceRows() const;
  // The source rows [first, last) that result rows [begin, end) read; first
  // equals last when they read none.
  std::pair<long, long> SourceRows(long begin, long end) const;
  // Result rows [begin, end) into out (end - begin rows of the result's
  // columns) from `rowCount` source rows starting at source row `firstRow`
  // (rowCount rows of the source's columns), which must cover SourceRows.
  void FillRows(long begin, long end, const double* rows, long firstRow, long rowCount,
                double* out) const;

private:
  TGridHeader MbrSource;
  TBilinearWalk::TCornerPolicy MbrEnmPolicy;
  std::unique_ptr<TMap> MbrPtrSourceFrame;
  std::unique_ptr<TMap> MbrPtrFrame;
  bool MbrBlnBanded = false;
  std::vector<TBilinearWalk::TStation> MbrVecColumns;
  std::vector<TBilinearWalk::TStation> MbrVecRows;
  // Per result row, the index of the row station that decides it, or -1.
  std::vector<long> MbrVecRowStation;
};

#endif
