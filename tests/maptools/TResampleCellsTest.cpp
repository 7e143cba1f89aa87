// The resampling of a frame and its cells into a buffer against
// TMapTools::BilinearInterpolate (and its no-data-aware sibling) of the map
// that holds the same cells: the same result frame and cells to the bit, or
// the same message, on 1 to 4 workers, for a table of grids and resolutions
// that includes every refusal and axes the walk's tables do not take.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "maptools/TMapTools.h"
#include "maptools/TResampleCells.h"
#include "platform/TItemTeam.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {

struct Case {
  const char* Name;
  long Columns, Rows;
  double Cell, West, South;
  bool YAscending;
  double Resolution;
};

const Case kCases[] = {
    {"halves", 40, 30, 10.0, 0.0, 0.0, false, 5.0},
    {"same cell", 40, 30, 10.0, 0.0, 0.0, false, 10.0},
    {"coarser", 40, 30, 10.0, 0.0, 0.0, false, 25.0},
    {"uneven", 41, 29, 10.0, 350000.0, 4650000.0, false, 3.3},
    {"small cells", 7, 5, 2.5, -100.0, -50.0, false, 1.0},
    {"y ascending", 6, 5, 1.0, 0.0, 0.0, true, 0.4},
    {"one row", 9, 1, 1.0, 0.0, 0.0, false, 0.5},
    {"zero resolution", 3, 3, 10.0, 0.0, 0.0, false, 0.0},
    {"negative resolution", 3, 3, 10.0, 0.0, 0.0, false, -1.0},
    {"not a number", 3, 3, 10.0, 0.0, 0.0, false, NAN},
    {"larger than the grid", 3, 3, 10.0, 0.0, 0.0, false, 1000.0},
    {"too many cells", 3, 3, 10.0, 0.0, 0.0, false, 1e-9},
    // Adding the cell size leaves these coordinates unchanged: no table.
    {"stalling edges", 4, 4, 1.0, 1e17, 1e17, false, 0.5},
};

std::unique_ptr<TMap> MapOf(const Case& c) {
  return MakeMap(c.Columns, c.Rows, c.Cell, c.West, c.South,
                 ScatteredValues(c.Columns * c.Rows, 7, -9999.0), -9999.0, c.YAscending);
}

// The result frame holding the cells that Fill wrote.
TMap* ResampledCells(TMap* map, double resolution, bool noDataAware) {
  const std::vector<double> cells = MapValues(map);
  std::unique_ptr<TMap> frame(new TMap(map->MbrDblResolution));
  frame->MbrLngXDim = map->MbrLngXDim;
  frame->MbrLngYDim = map->MbrLngYDim;
  frame->MbrDblNoDataValue = map->MbrDblNoDataValue;
  frame->MbrPtrXAxis = map->MbrPtrXAxis->Clone();
  frame->MbrPtrYAxis = map->MbrPtrYAxis->Clone();
  frame->MbrPtrXAxisInterval = map->MbrPtrXAxisInterval->Clone();
  frame->MbrPtrYAxisInterval = map->MbrPtrYAxisInterval->Clone();
  TResampleCells resampling(frame.get(), resolution, noDataAware);
  const long columns = resampling.ResultFrame().MbrLngXDim;
  const long rows = resampling.ResultFrame().MbrLngYDim;
  std::vector<double> out(static_cast<std::size_t>(columns * rows), 42.0);
  resampling.Fill(cells.data(), out.data());
  TMap* result = resampling.ReleaseResultFrame();
  for (long y = 0; y < rows; ++y)
    result->MbrVecValues.emplace_back(out.begin() + y * columns, out.begin() + (y + 1) * columns);
  return result;
}

} // namespace

TEST(TResampleCells, AsTheMapsResamplingOnAnyWorkerCount) {
  int resampled = 0;
  for (const Case& c : kCases)
    for (bool noDataAware : {false, true}) {
      SCOPED_TRACE(std::string(c.Name) + (noDataAware ? ", no-data aware" : ", plain"));
      const std::unique_ptr<TMap> map = MapOf(c);
      const Outcome expected = Attempt([&] {
        return noDataAware ? TMapTools::BilinearInterpolateNoDataAware(map.get(), c.Resolution)
                           : TMapTools::BilinearInterpolate(map.get(), c.Resolution);
      });
      resampled += expected.map != nullptr;
      for (unsigned workers = 1; workers <= 4; ++workers) {
        SCOPED_TRACE("workers " + std::to_string(workers));
        const TItemTeam::TFixedWorkers fixed(workers);
        const Outcome actual =
            Attempt([&] { return ResampledCells(map.get(), c.Resolution, noDataAware); });
        ASSERT_EQ(expected.thrown.Describe(), actual.thrown.Describe());
        if (expected.map) {
          ASSERT_EQ("", MapDifference(expected.map.get(), actual.map.get()));
        }
      }
    }
  // Both results and refusals are in the table.
  EXPECT_GT(resampled, 10);
  EXPECT_LT(resampled, 24);
}
