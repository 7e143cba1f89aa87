// TBandScheduler: the pipeline's schedule: every block of a layout produced
// on up to `workers` workers (TItemTeam::RunInOrder), each with a producer
// of its own and an encoder of the sink's, and written with the sink in file
// order. Workers take blocks in order, one at a time, and each waits with
// its encoded block until the blocks before it are written; so memory is one
// block per worker, and the bytes are the same for any number of workers.
// After each block is written, written(block) is called (in file order, on
// the writing worker's thread): the place where progress is reported.
//
// The failure of the first failing block stops the others and is raised on
// the caller's thread; blocks after it are not written.
#ifndef QUILLMAP_PIPELINE_TBANDSCHEDULER_H
#define QUILLMAP_PIPELINE_TBANDSCHEDULER_H

#include <functional>
#include <memory>

#include "pipeline/TBandLayout.h"
#include "pipeline/TBandProducer.h"
#include "pipeline/TGridSink.h"

class TBandScheduler {
public:
  using TNewProducer = std::function<std::unique_ptr<TBandProducer>()>;
  using TWritten = std::function<void(const TBlock&)>;

  static void Run(
      const TBandLayout& layout, TGridSink& sink, unsigned workers, const TNewProducer& newProducer,
      const TWritten& written = [](const TBlock&) {});
};

#endif
