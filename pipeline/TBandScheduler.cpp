#include "pipeline/TBandScheduler.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "platform/TWorkerTeam.h"

namespace {
// Whose turn it is to write, and whether the run has stopped.
class TTurns {
public:
  // Waits until the blocks before `index` are written; false when the run
  // stopped meanwhile.
  bool Await(long index) {
    std::unique_lock<std::mutex> lock(MbrMutex);
    MbrCondition.wait(lock, [&] { return MbrBlnStopped || MbrLngWritten == index; });
    return !MbrBlnStopped;
  }
  void Done() {
    std::lock_guard<std::mutex> lock(MbrMutex);
    ++MbrLngWritten;
    MbrCondition.notify_all();
  }
  void Stop() {
    std::lock_guard<std::mutex> lock(MbrMutex);
    MbrBlnStopped = true;
    MbrCondition.notify_all();
  }
  bool Stopped() {
    std::lock_guard<std::mutex> lock(MbrMutex);
    return MbrBlnStopped;
  }

private:
  std::mutex MbrMutex;
  std::condition_variable MbrCondition;
  long MbrLngWritten = 0;
  bool MbrBlnStopped = false;
};
} // namespace

void TBandScheduler::Run(const TBandLayout& layout, TGridSink& sink, unsigned workers,
                         const TNewProducer& newProducer, const TWritten& written) {
  const long blocks = layout.Count();
  const unsigned count = static_cast<unsigned>(std::max<long>(1, std::min<long>(workers, blocks)));
  std::atomic<long> next(0);
  TTurns turns;
  TWorkerTeam::Run(
      count,
      [&](unsigned) {
        const std::unique_ptr<TBandProducer> producer = newProducer();
        const std::unique_ptr<TBandEncoder> encoder = sink.NewEncoder();
        for (long index = next++; index < blocks && !turns.Stopped(); index = next++) {
          const TBlock block = layout.Block(index);
          producer->Produce(block, *encoder);
          if (!turns.Await(index))
            return;
          // Only this worker writes now: the others wait for their turn.
          sink.Write(*encoder);
          written(block);
          turns.Done();
        }
      },
      [&] { turns.Stop(); });
}
