#include "TRecycledBlocks.h"

#include <algorithm>
#include <utility>

namespace quillmap_python {

void* TRecycledBlocks::Allocate(std::size_t bytes) {
  std::lock_guard<std::mutex> locked(MbrMtxBlocks);
  TBlock block = Take(bytes);
  MbrSizLargest = std::max(MbrSizLargest, block.Capacity);
  void* memory = block.Memory.Data();
  MbrMapInUse.emplace(memory, std::move(block));
  return memory;
}

TRecycledBlocks::TBlock TRecycledBlocks::Take(std::size_t bytes) {
  auto best = MbrDeqKept.end();
  for (auto kept = MbrDeqKept.begin(); kept != MbrDeqKept.end(); ++kept)
    if (kept->Capacity >= bytes && kept->Capacity / 4 * 3 <= bytes &&
        (best == MbrDeqKept.end() || kept->Capacity < best->Capacity))
      best = kept;
  if (best != MbrDeqKept.end()) {
    TBlock block = std::move(*best);
    MbrDeqKept.erase(best);
    block.Bytes = bytes;
    return block;
  }
  // numpy asks for one byte at least; others may ask for none.
  const std::size_t capacity = TLargeBlock::WholePages(bytes > 0 ? bytes : 1);
  return TBlock{TLargeBlock(capacity), bytes, capacity};
}

std::size_t TRecycledBlocks::Size(void* memory) const {
  std::lock_guard<std::mutex> locked(MbrMtxBlocks);
  return MbrMapInUse.at(memory).Bytes;
}

void TRecycledBlocks::Release(void* memory) {
  std::lock_guard<std::mutex> locked(MbrMtxBlocks);
  auto used = MbrMapInUse.find(memory);
  TBlock block = std::move(used->second);
  MbrMapInUse.erase(used);
  if (block.Capacity < kLeastKept)
    return;
  MbrDeqKept.push_front(std::move(block));
  while (KeepsTooMuch())
    DropOne();
}

void TRecycledBlocks::DropOne() {
  std::size_t largest = 0;
  for (const TBlock& kept : MbrDeqKept)
    largest = std::max(largest, kept.Capacity);
  auto oldest = MbrDeqKept.end() - 1;
  for (auto kept = MbrDeqKept.end(); kept != MbrDeqKept.begin();)
    if ((--kept)->Capacity < largest) {
      oldest = kept;
      break;
    }
  MbrDeqKept.erase(oldest);
}

bool TRecycledBlocks::KeepsTooMuch() const {
  std::size_t total = 0;
  for (const TBlock& kept : MbrDeqKept)
    total += kept.Capacity;
  return MbrDeqKept.size() > kKept || total > 2 * MbrSizLargest;
}

} // namespace quillmap_python
