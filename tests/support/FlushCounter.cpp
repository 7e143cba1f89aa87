#include "support/FlushCounter.h"

int FlushCounter::sync() {
  ++Flushes;
  return std::stringbuf::sync();
}
