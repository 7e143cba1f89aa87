// TResampleCells: TMapTools::BilinearInterpolate (and
// BilinearInterpolateNoDataAware) of a source held as its frame (a map with
// its four axes and no stored rows) beside its cells in a row-major buffer,
// into a caller's row-major buffer: for callers that keep values outside
// maps (the Python package's numpy arrays), so that neither the source nor
// the result is copied. The result, to the bit, and the failures, in their
// order, are those of that resampling of the map that holds these cells:
// construction raises what comes before the walk (the resolution, the
// axes, the result's size: "New resolution cannot be <= 0.0 in
// TMapTools::BilinearInterpolate", "Map has no axes in
// TMapTools::BilinearInterpolate", "Grid dimensions are too large in
// TMapTools::Downscale"), Fill what the walk raises ("LngGetY2 is out of
// range in TMapTools::BilinearInterpolate" and the like).
//
// Ownership: the source frame and both buffers stay the caller's; the
// result's frame is this object's until released. Internal.
#ifndef QUILLMAP_MAPTOOLS_TRESAMPLECELLS_H
#define QUILLMAP_MAPTOOLS_TRESAMPLECELLS_H

#include <memory>

#include "grid/TMap.h"

class TResampleCells {
public:
  TResampleCells(TMap* sourceFrame, double NewResolution, bool noDataAware);
  ~TResampleCells();
  TResampleCells(const TResampleCells&) = delete;
  TResampleCells& operator=(const TResampleCells&) = delete;

  // The result's counts, cell size, no-data value (the source's) and axes;
  // no stored rows.
  const TMap& ResultFrame() const { return *MbrPtrResult; }
  // The result's frame, new, owned by the caller; once.
  TMap* ReleaseResultFrame() { return MbrPtrResult.release(); }

  // sourceCells: the source frame's rows x columns values; resultCells:
  // room for the result frame's. Every result cell gets the no-data value,
  // then the walk's value where the walk reaches it, on every core.
  void Fill(const double* sourceCells, double* resultCells);

private:
  // The resampling of the map holding the cells, copied into the buffer:
  // for frames whose axes the walk's tables do not take.
  void FillThroughMaps(const double* sourceCells, double* resultCells);

  TMap* MbrPtrSource;
  double MbrDblResolution;
  bool MbrBlnNoDataAware;
  std::unique_ptr<TMap> MbrPtrResult;
};

#endif
