#include "platform/TCores.h"

#include <sched.h>

#include <algorithm>
#include <thread>

unsigned TCores::Usable() {
  unsigned cores = std::thread::hardware_concurrency();
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const unsigned allowed = static_cast<unsigned>(CPU_COUNT(&set));
    cores = cores == 0 ? allowed : std::min(cores, allowed);
  }
  return std::max(cores, 1u);
}
