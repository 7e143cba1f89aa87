// TBandProducer: one worker's producer of result values: it fills a block's
// rows in order and hands each to the encoder (TBandEncoder::Row). The walk
// (TBandWalk) produces blocks from a source; the in-memory fallback
// (TMapBands) from a resampled map. Failures it raises stop the schedule.
#ifndef QUILLMAP_PIPELINE_TBANDPRODUCER_H
#define QUILLMAP_PIPELINE_TBANDPRODUCER_H

#include "pipeline/TBandEncoder.h"
#include "pipeline/TBlock.h"

class TBandProducer {
public:
  virtual ~TBandProducer() = default;
  virtual void Produce(const TBlock& block, TBandEncoder& encoder) = 0;
};

#endif
