// TMapBands: blocks produced from a result held in memory (a map that
// TMapTools resampled), so that the in-memory way writes through the same
// sink as the bounded one. The map must hold every cell of its dimensions
// and outlive the producer. Nothing here throws.
#ifndef QUILLMAP_PIPELINE_TMAPBANDS_H
#define QUILLMAP_PIPELINE_TMAPBANDS_H

#include "grid/TMap.h"
#include "pipeline/TBandProducer.h"

class TMapBands : public TBandProducer {
public:
  explicit TMapBands(const TMap& map) : MbrRefMap(map) {}
  void Produce(const TBlock& block, TBandEncoder& encoder) override;

private:
  const TMap& MbrRefMap;
};

#endif
