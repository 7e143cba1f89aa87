// TLargeBlock: memory for a short-lived array; a block of whole huge pages
// is aligned to them and offered to the kernel for them (madvise, where the
// kernel takes such advice), so that filling it takes few page faults. Owned: freed with the
// block; moving leaves the source empty. Throws std::bad_alloc when the
// memory cannot be had.
#ifndef QUILLMAP_PLATFORM_TLARGEBLOCK_H
#define QUILLMAP_PLATFORM_TLARGEBLOCK_H

#include <cstddef>

class TLargeBlock {
public:
  static constexpr std::size_t kHugePage = std::size_t(1) << 21;

  explicit TLargeBlock(std::size_t bytes);
  // bytes rounded up to whole huge pages where they fill one at least: the
  // size that such a block gets them for.
  static std::size_t WholePages(std::size_t bytes);
  ~TLargeBlock();
  TLargeBlock(TLargeBlock&& other) noexcept;
  TLargeBlock& operator=(TLargeBlock&& other) noexcept;
  TLargeBlock(const TLargeBlock&) = delete;
  TLargeBlock& operator=(const TLargeBlock&) = delete;

  void* Data() const { return MbrPtrData; }

private:
  void* MbrPtrData;
};

#endif
