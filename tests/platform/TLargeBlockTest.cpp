// Large blocks: huge-page sized and small ones hold what is written into
// every byte; moving hands the memory over and leaves the source empty.
#include <cstdint>
#include <utility>

#include <gtest/gtest.h>

#include "platform/TLargeBlock.h"

TEST(TLargeBlock, HoldsEveryByteAndMovesItsMemory) {
  for (std::size_t bytes : {std::size_t(1), std::size_t(1) << 16, TLargeBlock::kHugePage,
                            3 * TLargeBlock::kHugePage, TLargeBlock::kHugePage + 8}) {
    TLargeBlock block(bytes);
    unsigned char* data = static_cast<unsigned char*>(block.Data());
    for (std::size_t i = 0; i < bytes; ++i)
      data[i] = static_cast<unsigned char>(i * 7);
    if (bytes % TLargeBlock::kHugePage == 0) {
      EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(data) % TLargeBlock::kHugePage);
    }
    TLargeBlock moved(std::move(block));
    EXPECT_EQ(nullptr, block.Data());
    ASSERT_EQ(data, moved.Data());
    for (std::size_t i = 0; i < bytes; ++i)
      ASSERT_EQ(static_cast<unsigned char>(i * 7), data[i]);
    TLargeBlock other(8);
    other = std::move(moved);
    EXPECT_EQ(data, other.Data());
  }
}

TEST(TLargeBlock, WholePagesRoundUpOnlyFromOnePage) {
  const std::size_t huge = TLargeBlock::kHugePage;
  const std::pair<std::size_t, std::size_t> cases[] = {{0, 0},
                                                       {1, 1},
                                                       {huge - 1, huge - 1},
                                                       {huge, huge},
                                                       {huge + 1, 2 * huge},
                                                       {3 * huge, 3 * huge}};
  for (const auto& [bytes, whole] : cases)
    EXPECT_EQ(whole, TLargeBlock::WholePages(bytes)) << bytes;
}
