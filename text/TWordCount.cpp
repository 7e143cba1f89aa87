#include "text/TWordCount.h"

namespace {
// Blocks of a fixed length, so that the compiler turns the loop into vector
// code at any optimisation that vectorises at all.
const std::size_t kBlock = 4096;

inline unsigned IsWord(unsigned char c) {
  return c > ' ';
}

// The words that start in [p, p + count), p[-1] being readable.
inline unsigned StartsIn(const unsigned char* p, std::size_t count) {
  unsigned starts = 0;
  for (std::size_t i = 0; i < count; ++i)
    starts += IsWord(p[i]) & !IsWord(p[i - 1]);
  return starts;
}

inline unsigned StartsInBlock(const unsigned char* p) {
  unsigned starts = 0;
  for (std::size_t i = 0; i < kBlock; ++i)
    starts += IsWord(p[i]) & !IsWord(p[i - 1]);
  return starts;
}
} // namespace

void TWordCount::Add(const char* text, std::size_t size) {
  if (size == 0)
    return;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  MbrLngWords += IsWord(p[0]) & MbrBlnAfterSpace;
  MbrBlnAfterSpace = !IsWord(p[size - 1]);
  ++p;
  --size;
  for (; size >= kBlock; p += kBlock, size -= kBlock)
    MbrLngWords += StartsInBlock(p);
  MbrLngWords += StartsIn(p, size);
}
