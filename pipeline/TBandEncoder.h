// TBandEncoder: one worker's encoder of blocks for a sink (TGridSink): it is
// given a block, then the block's rows of values in order (Width() values
// each, read during the call only), then the end of the block, and holds the
// encoded block until its sink writes it. Per row, not per value, calls.
// An encoder that keeps the values as they are may offer room for the next
// row (RowRoom): the producer then writes the row there and hands that
// pointer to Row, so that the values are written once.
#ifndef QUILLMAP_PIPELINE_TBANDENCODER_H
#define QUILLMAP_PIPELINE_TBANDENCODER_H

#include "pipeline/TBlock.h"

class TBandEncoder {
public:
  virtual ~TBandEncoder() = default;
  virtual void Begin(const TBlock& block) = 0;
  virtual void Row(const double* values) = 0;
  // Where the next row's Width() values may be written before Row is called
  // with it; nullptr (the default) where the producer is to use its own.
  virtual double* RowRoom() { return nullptr; }
  virtual void End() = 0;
};

#endif
