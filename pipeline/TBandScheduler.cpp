#include "pipeline/TBandScheduler.h"

#include <algorithm>
#include <vector>

#include "platform/TItemTeam.h"

void TBandScheduler::Run(const TBandLayout& layout, TGridSink& sink, unsigned workers,
                         const TNewProducer& newProducer, const TWritten& written) {
  const long blocks = layout.Count();
  const unsigned count = static_cast<unsigned>(std::max<long>(1, std::min<long>(workers, blocks)));
  // Each worker's producer and encoder, made on its thread at its first block.
  std::vector<std::unique_ptr<TBandProducer>> producers(count);
  std::vector<std::unique_ptr<TBandEncoder>> encoders(count);
  TItemTeam::RunInOrder(
      blocks, count,
      [&](long index, unsigned worker) {
        if (!producers[worker]) {
          producers[worker] = newProducer();
          encoders[worker] = sink.NewEncoder();
        }
        producers[worker]->Produce(layout.Block(index), *encoders[worker]);
      },
      [&](long index, unsigned worker) {
        sink.Write(*encoders[worker]);
        written(layout.Block(index));
      });
}
