#include "text/TWordCount.h"

namespace {
// Blocks of a fixed length, so that the compiler turns the loop into vector
// code at any optimisation that vectorises at all; each is counted in small
// blocks whose count fits a byte (a word start follows white space, so a
// small block holds at most half its length of them), which the vector code
// then keeps in byte lanes.
const std::size_t kBlock = 4096;
const std::size_t kSmallBlock = 256;

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

inline unsigned char StartsInSmallBlock(const unsigned char* p) {
  unsigned char starts = 0;
  for (std::size_t i = 0; i < kSmallBlock; ++i)
    starts += IsWord(p[i]) & !IsWord(p[i - 1]);
  return starts;
}

inline unsigned StartsInBlock(const unsigned char* p) {
  unsigned starts = 0;
  for (std::size_t i = 0; i < kBlock; i += kSmallBlock)
    starts += StartsInSmallBlock(p + i);
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
