// The walk must not allocate per walk point: every allocation of this
// program is counted, and resampling may allocate in proportion to the rows
// and columns of the grids but not to their cells.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "maptools/TBilinearWalk.h"
#include "maptools/TMapTools.h"
#include "support/TestMaps.h"

namespace {
// Counted from every thread: the resampling fills bands of rows on workers.
std::atomic<long> gAllocations(0);
} // namespace

void* operator new(std::size_t size) {
  ++gAllocations;
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

namespace {
TEST(ResampleAllocationTest, AllocationsGrowWithTheEdgesNotTheCells) {
  for (double newCell : {0.5, 2.0, 0.3}) {
    SCOPED_TRACE(newCell);
    auto source = MakeMap(150, 120, 1.0, 1000.0, 2000.0, ScatteredValues(150 * 120, 9, -1.0));
    std::unique_ptr<TMap> grid(TMapTools::Downscale(source.get(), newCell));
    const long points = TBilinearWalk(source.get(), grid.get(), newCell).PointCount();
    const long edges = grid->MbrLngXDim + grid->MbrLngYDim;

    const long before = gAllocations;
    std::unique_ptr<TMap> result(TMapTools::BilinearInterpolate(source.get(), newCell));
    const long made = gAllocations - before;
    EXPECT_GT(points, 2000);
    EXPECT_LT(made, 8 * edges + 64) << points << " walk points";
  }
}
} // namespace
