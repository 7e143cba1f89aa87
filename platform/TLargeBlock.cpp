#include "platform/TLargeBlock.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>
#include <utility>

TLargeBlock::TLargeBlock(std::size_t bytes) : MbrPtrData(nullptr) {
  const bool huge = bytes >= kHugePage && bytes % kHugePage == 0;
  MbrPtrData = huge ? std::aligned_alloc(kHugePage, bytes) : std::malloc(bytes);
  if (MbrPtrData == nullptr)
    throw std::bad_alloc();
  // Advice only: without huge pages the block works the same.
  if (huge)
    madvise(MbrPtrData, bytes, MADV_HUGEPAGE);
}

std::size_t TLargeBlock::WholePages(std::size_t bytes) {
  return bytes < kHugePage ? bytes : (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

TLargeBlock::~TLargeBlock() {
  std::free(MbrPtrData);
}

TLargeBlock::TLargeBlock(TLargeBlock&& other) noexcept
    : MbrPtrData(std::exchange(other.MbrPtrData, nullptr)) {}

TLargeBlock& TLargeBlock::operator=(TLargeBlock&& other) noexcept {
  if (this != &other) {
    std::free(MbrPtrData);
    MbrPtrData = std::exchange(other.MbrPtrData, nullptr);
  }
  return *this;
}
