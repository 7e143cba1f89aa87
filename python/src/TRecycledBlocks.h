// TRecycledBlocks: memory for arrays as large as whole grids, kept for the
// next such array once released, as the C heap keeps the rows of the
// toolkit's maps. Fresh memory costs a page fault and the kernel's zeroing
// per page on every call; memory given back and taken again costs neither.
//
// Invariants: every block handed out is a TLargeBlock of WholePages(bytes)
// (huge pages where it fills one), recorded until released; at most kKept
// released blocks of at least kLeastKept bytes are kept, the most recently
// released first, and together at most twice the largest block handed out
// so far: a whole grid and the bands it was joined from, say, but never
// more than two of the largest arrays; the largest kept go last. A request
// takes the smallest kept block that fits it, and only one it needs at
// least three quarters of, so no array holds much more memory than it
// needs and blocks of the sizes in use stay kept.
//
// Ownership: the blocks are this object's; Allocate's caller holds the
// memory until it passes it to Release. Thread-safe. Allocate throws
// std::bad_alloc when the memory cannot be had; Release and Size take only
// pointers that Allocate gave.
#ifndef QUILLMAP_PYTHON_TRECYCLEDBLOCKS_H
#define QUILLMAP_PYTHON_TRECYCLEDBLOCKS_H

#include <cstddef>
#include <deque>
#include <mutex>
#include <unordered_map>

#include "platform/TLargeBlock.h"

namespace quillmap_python {

class TRecycledBlocks {
public:
  static constexpr std::size_t kLeastKept = std::size_t(1) << 24;
  static constexpr std::size_t kKept = 16;

  void* Allocate(std::size_t bytes);
  // The bytes asked for when the memory was allocated.
  std::size_t Size(void* memory) const;
  void Release(void* memory);

private:
  struct TBlock {
    TLargeBlock Memory;
    std::size_t Bytes;
    std::size_t Capacity;
  };

  // A kept block that fits bytes, taken out of the kept ones; else a new one.
  TBlock Take(std::size_t bytes);
  // Whether the kept blocks are more, or hold more, than the invariant allows.
  bool KeepsTooMuch() const;
  // Drops the oldest kept block smaller than the largest kept, or the oldest
  // where all are as large: a whole grid's block, the costliest to fault in
  // again, goes last.
  void DropOne();

  mutable std::mutex MbrMtxBlocks;
  std::unordered_map<void*, TBlock> MbrMapInUse;
  std::deque<TBlock> MbrDeqKept;
  std::size_t MbrSizLargest = 0;
};

} // namespace quillmap_python

#endif
