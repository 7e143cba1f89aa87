#include "support/SweepCount.h"

#include <cstdlib>

namespace {
#if defined(__SANITIZE_ADDRESS__)
const bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const bool kSanitized = true;
#else
const bool kSanitized = false;
#endif
#else
const bool kSanitized = false;
#endif
} // namespace

long SweepCount(const char* variable, long plainCount) {
  if (const char* requested = std::getenv(variable))
    return std::atol(requested);
  return kSanitized ? plainCount / 20 : plainCount;
}
