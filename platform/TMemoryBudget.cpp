#include "platform/TMemoryBudget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

namespace {
double LimitBytes(int resource) {
  rlimit limit{};
  if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return std::numeric_limits<double>::infinity();
  return static_cast<double>(limit.rlim_cur);
}
} // namespace

double TMemoryBudget::PhysicalBytes() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0)
    return std::numeric_limits<double>::infinity();
  return static_cast<double>(pages) * static_cast<double>(pageSize);
}

double TMemoryBudget::AllowedBytes() {
  return std::min(LimitBytes(RLIMIT_AS), LimitBytes(RLIMIT_DATA));
}

bool TMemoryBudget::Holds(double bytes) {
  return bytes <= std::min(PhysicalBytes(), AllowedBytes());
}
