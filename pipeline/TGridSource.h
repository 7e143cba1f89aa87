// TGridSource: a grid the pipeline resamples, in some format: it reads its
// header (Open) and checks, before anything is written, what it can check of
// its values (Check), then hands out readers of runs of columns of its rows
// (TSourceRows), any number at once, one per worker. A source that can
// (ReadsOnce) also hands its rows, as it checks them, to a consumer
// (CheckAndUse), so that a small result is made in a single read. The ESRI ASCII grid
// file is one source (TArcGridSource); rows held in memory another
// (TMemoryRows); a format with strips or tiles plugs in behind the same
// calls.
#ifndef QUILLMAP_PIPELINE_TGRIDSOURCE_H
#define QUILLMAP_PIPELINE_TGRIDSOURCE_H

#include <functional>
#include <memory>

#include "grid/TGridGeometry.h"
#include "pipeline/TSourceRows.h"

class TGridSource {
public:
  virtual ~TGridSource() = default;
  // Reads the header; raises its failures as a reader of the whole grid
  // would.
  virtual void Open() = 0;
  // Once Open has returned: checks the values as far as the format allows,
  // on up to `workers` workers, and runs `meanwhile` (work that needs only
  // the header) once on one of them. Raises the first failure a reader of
  // the whole grid would raise, else the failure of `meanwhile`.
  virtual void Check(unsigned workers, const std::function<void()>& meanwhile) = 0;
  // What a single read does with the rows: the end of the rows that the
  // work of rows [first, end) needs (at least first), and that work, given
  // those rows as a source of rows in memory.
  struct TRowUse {
    std::function<long(long first, long end)> EndNeeded;
    std::function<void(long first, long end, const TGridSource& rows)> Use;
  };
  // Whether CheckAndUse hands rows over.
  virtual bool ReadsOnce() const { return false; }
  // Check, handing every row to `use` as it is read, each row range once;
  // raises what Check raises. False when some rows were not handed over
  // (here: none are): the source is to be read again for them.
  virtual bool CheckAndUse(unsigned workers, const TRowUse& use) {
    (void)use;
    Check(workers, [] {});
    return false;
  }
  // Valid once Open has returned.
  virtual const TGridGeometry& Geometry() const = 0;
  // Columns [firstColumn, endColumn) of rows firstRow and after.
  virtual std::unique_ptr<TSourceRows> Rows(long firstRow, long firstColumn,
                                            long endColumn) const = 0;
};

#endif
