#include "support/AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gAllocations{0};
std::atomic<std::size_t> gAllocatedBytes{0};
} // namespace

long AllocationCount() {
  return gAllocations.load(std::memory_order_relaxed);
}

std::size_t AllocatedBytes() {
  return gAllocatedBytes.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  gAllocatedBytes.fetch_add(size, std::memory_order_relaxed);
  if (void* block = std::malloc(size == 0 ? 1 : size))
    return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
  std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
