#include "platform/TPendingFiles.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

namespace {
enum TState { kFree, kFilling, kHeld };

struct TSlot {
  std::atomic<int> State{kFree};
  char Path[PATH_MAX];
};

TSlot gSlots[TPendingFiles::kSlots];

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};

// Only async-signal-safe calls: unlink, signal, raise.
void RemoveAndEnd(int signal) {
  for (TSlot& slot : gSlots)
    if (slot.State.load() == kHeld)
      unlink(slot.Path);
  ::signal(signal, SIG_DFL);
  raise(signal);
}
} // namespace

int TPendingFiles::Add(const std::string& path) {
  if (path.size() >= PATH_MAX)
    return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (gSlots[i].State.compare_exchange_strong(expected, kFilling)) {
      std::memcpy(gSlots[i].Path, path.c_str(), path.size() + 1);
      gSlots[i].State.store(kHeld);
      return i;
    }
  }
  return -1;
}

void TPendingFiles::Remove(int slot) {
  if (slot >= 0 && slot < kSlots)
    gSlots[slot].State.store(kFree);
}

void TPendingFiles::InstallSignalCleanup() {
  for (int signal : kSignals) {
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
      continue;
    struct sigaction cleanup {};
    cleanup.sa_handler = RemoveAndEnd;
    sigemptyset(&cleanup.sa_mask);
    sigaction(signal, &cleanup, nullptr);
  }
}
