// TGridSource: a grid the pipeline resamples, in some format: it reads its
// header and checks, before anything is written, what it can check of its
// values (Open), then hands out readers of runs of columns of its rows
// (TSourceRows), any number at once, one per worker. The ESRI ASCII grid
// file is one source (TArcGridSource); rows held in memory another
// (TMemoryRows); a format with strips or tiles plugs in behind the same
// calls.
#ifndef QUILLMAP_PIPELINE_TGRIDSOURCE_H
#define QUILLMAP_PIPELINE_TGRIDSOURCE_H

#include <memory>

#include "grid/TGridGeometry.h"
#include "pipeline/TSourceRows.h"

class TGridSource {
public:
  virtual ~TGridSource() = default;
  // Reads the header and checks the values as far as the format allows, on
  // up to `workers` workers; raises the first failure a reader of the whole
  // grid would raise.
  virtual void Open(unsigned workers) = 0;
  // Valid once Open has returned.
  virtual const TGridGeometry& Geometry() const = 0;
  // Columns [firstColumn, endColumn) of rows firstRow and after.
  virtual std::unique_ptr<TSourceRows> Rows(long firstRow, long firstColumn,
                                            long endColumn) const = 0;
};

#endif
