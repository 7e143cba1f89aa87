// TBandEncoder: one worker's encoder of blocks for a sink (TGridSink): it is
// given a block, then the block's rows of values in order (Width() values
// each, read during the call only), then the end of the block, and holds the
// encoded block until its sink writes it. Per row, not per value, calls.
#ifndef QUILLMAP_PIPELINE_TBANDENCODER_H
#define QUILLMAP_PIPELINE_TBANDENCODER_H

#include "pipeline/TBlock.h"

class TBandEncoder {
public:
  virtual ~TBandEncoder() = default;
  virtual void Begin(const TBlock& block) = 0;
  virtual void Row(const double* values) = 0;
  virtual void End() = 0;
};

#endif
