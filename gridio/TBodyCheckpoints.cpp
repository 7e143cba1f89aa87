#include "gridio/TBodyCheckpoints.h"

#include <algorithm>

const TBodyCheckpoints::TCheckpoint& TBodyCheckpoints::Before(long long value) const {
  const auto after = std::upper_bound(
      MbrVecCheckpoints.begin(), MbrVecCheckpoints.end(), value,
      [](long long v, const TCheckpoint& checkpoint) { return v < checkpoint.Value; });
  return *(after - 1);
}
