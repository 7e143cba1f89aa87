#include "pipeline/TMapBands.h"

void TMapBands::Produce(const TBlock& block, TBandEncoder& encoder) {
  encoder.Begin(block);
  for (long row = block.FirstRow; row < block.EndRow; ++row)
    encoder.Row(MbrRefMap.MbrVecValues[row].data() + block.FirstColumn);
  encoder.End();
}
