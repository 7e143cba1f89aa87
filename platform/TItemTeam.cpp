#include "platform/TItemTeam.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <vector>

#include "platform/TCores.h"
#include "platform/TWorkerTeam.h"

namespace {
// The fixed worker count of TFixedWorkers; 0 for none.
std::atomic<unsigned> gFixedWorkers(0);

// The items' shared state: the next item to take, the lowest failed item
// and its failure, and whose turn it is to deliver.
class TItems {
public:
  explicit TItems(long items) : MbrLngItems(items) {}

  // The next item to do; false when none is left or one before has failed.
  bool Take(long& item) {
    item = MbrLngNext++;
    return item < MbrLngItems && item < MbrLngFailed.load();
  }
  void Fail(long item, std::exception_ptr failure) {
    std::lock_guard<std::mutex> lock(MbrMutex);
    if (item < MbrLngFailed.load()) {
      MbrLngFailed = item;
      MbrPtrFailure = failure;
    }
    MbrCondition.notify_all();
  }
  // Waits until the items before `item` are delivered; false when one of
  // them has failed.
  bool AwaitTurn(long item) {
    std::unique_lock<std::mutex> lock(MbrMutex);
    MbrCondition.wait(lock, [&] { return MbrLngDelivered == item || MbrLngFailed.load() < item; });
    return MbrLngDelivered == item && MbrLngFailed.load() > item;
  }
  void Delivered() {
    std::lock_guard<std::mutex> lock(MbrMutex);
    ++MbrLngDelivered;
    MbrCondition.notify_all();
  }
  void RaiseFailure() const {
    if (MbrPtrFailure)
      std::rethrow_exception(MbrPtrFailure);
  }

private:
  const long MbrLngItems;
  std::atomic<long> MbrLngNext{0};
  std::atomic<long> MbrLngFailed{std::numeric_limits<long>::max()};
  std::exception_ptr MbrPtrFailure;
  std::mutex MbrMutex;
  std::condition_variable MbrCondition;
  long MbrLngDelivered = 0;
};

void RunItems(long items, unsigned workers, const TItemTeam::TWork& work,
              const TItemTeam::TWork* deliver) {
  if (items <= 0)
    return;
  TItems shared(items);
  const unsigned count = static_cast<unsigned>(std::max<long>(1, std::min<long>(workers, items)));
  TWorkerTeam::Run(count, [&](unsigned worker) {
    long item = 0;
    while (shared.Take(item)) {
      try {
        work(item, worker);
        if (deliver == nullptr)
          continue;
        if (!shared.AwaitTurn(item))
          return;
        (*deliver)(item, worker);
        shared.Delivered();
      } catch (...) {
        shared.Fail(item, std::current_exception());
        return;
      }
    }
  });
  shared.RaiseFailure();
}
} // namespace

void TItemTeam::Run(long items, unsigned workers, const TWork& work) {
  RunItems(items, workers, work, nullptr);
}

void TItemTeam::RunInOrder(long items, unsigned workers, const TWork& work, const TWork& deliver) {
  RunItems(items, workers, work, &deliver);
}

unsigned TItemTeam::Workers(double work, double grain) {
  const unsigned fixed = gFixedWorkers.load();
  if (fixed > 0)
    return fixed;
  const double worth = grain > 0.0 ? work / grain : work;
  const unsigned cores = TCores::Usable();
  if (!(worth >= 1.0))
    return 1;
  return worth >= cores ? cores : static_cast<unsigned>(worth);
}

TItemTeam::TFixedWorkers::TFixedWorkers(unsigned workers)
    : MbrIntPrevious(gFixedWorkers.exchange(workers)) {}

TItemTeam::TFixedWorkers::~TFixedWorkers() {
  gFixedWorkers = MbrIntPrevious;
}
