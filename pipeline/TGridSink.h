// TGridSink: where a resampled grid goes, in some format: it says how the
// result is cut into blocks, refuses a result too large for its
// destination before anything is written, then opens the destination and
// writes what comes before the first block, writes the blocks its encoders
// made one at a time in file order, and completes the destination. The
// pipeline's scheduler (TBandScheduler) drives it; the ESRI ASCII grid file
// is one sink (TArcGridSink), and a format with strips or tiles is another
// behind the same calls.
//
// Open, Write and Close are called on one thread at a time; NewEncoder's
// encoders work on their own threads. A failure thrown by any call ends the
// run; the sink's destructor then cleans up what an unfinished run leaves.
#ifndef QUILLMAP_PIPELINE_TGRIDSINK_H
#define QUILLMAP_PIPELINE_TGRIDSINK_H

#include <cstddef>
#include <memory>

#include "grid/TGridGeometry.h"
#include "pipeline/TBandEncoder.h"
#include "pipeline/TBandLayout.h"

class TGridSink {
public:
  virtual ~TGridSink() = default;
  // The blocks of the result: each encoded in about bandBytes at most, and
  // at most mostColumns wide (what the walk's source rows allow).
  virtual TBandLayout Layout(const TGridGeometry& result, std::size_t bandBytes,
                             long mostColumns) const = 0;
  // Whether a result of that many cells can fit the destination at all.
  virtual bool Fits(double cells) const = 0;
  virtual void Open(const TGridGeometry& result) = 0;
  virtual std::unique_ptr<TBandEncoder> NewEncoder() const = 0;
  // A block complete in one of this sink's encoders, in file order.
  virtual void Write(TBandEncoder& band) = 0;
  virtual void Close() = 0;
};

#endif
