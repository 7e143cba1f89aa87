// The runs' shared source rows, on a table of shapes, cell sizes, run
// widths and budgets:
//   - the slots never take more than the budget; they go to the runs from
//     the west, each with the source columns its stations read, and with a
//     budget that holds them all every run with stations has one; a walk
//     whose result rows share no source row, and whole rows, have none;
//   - a slot hands back the rows the reader gave (or their quotients alone),
//     a copy where the reader hands rows it holds, and reads each row of a
//     walk's southward pairs only once.
#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pipeline/TBandLayout.h"
#include "pipeline/TRunRowCache.h"
#include "pipeline/TWalkPlan.h"

namespace {
TGridGeometry Geometry(long columns, long rows) {
  TGridGeometry geometry;
  geometry.Columns = columns;
  geometry.Rows = rows;
  geometry.XLowerLeft = 1000.0;
  geometry.YLowerLeft = -250.0;
  geometry.CellSize = 30.0;
  geometry.NoData = -9999.0;
  return geometry;
}

TEST(TRunRowCache, SlotsFitTheBudgetFromTheWest) {
  struct Case {
    long Columns, Rows;
    double R;
    long PerRun;
    bool Shares;
  };
  const Case cases[] = {{200, 8, 15.0, 7, true},  {200, 8, 15.0, 1, true},
                        {90, 5, 23.1, 10, true},  {200, 8, 45.0, 9, true},
                        {200, 8, 60.0, 9, false}, {120, 12, 90.0, 5, false},
                        {60, 40, 10.0, 200, true}};
  const std::size_t budgets[] = {0, 16, 100, 1000, 1u << 20};
  for (TCornerPolicy policy : {TCornerPolicy::Plain, TCornerPolicy::NoDataAware})
    for (const Case& c : cases) {
      const TWalkPlan plan(
          Geometry(c.Columns, c.Rows), c.R, policy, [](double) { return true; }, 3);
      const TGridGeometry& result = plan.Result();
      const TBandLayout layout = TBandLayout::ColumnRuns(result.Columns, result.Rows, c.PerRun);
      for (std::size_t budget : budgets) {
        const std::string where = std::to_string(c.Columns) + "x" + std::to_string(c.Rows) +
                                  " R=" + std::to_string(c.R) + " per run " +
                                  std::to_string(c.PerRun) + " budget " + std::to_string(budget);
        const TRunRowCache cache(plan, layout, budget);
        EXPECT_LE(cache.Bytes(), budget) << where;
        std::size_t bytes = 0;
        bool passed = false;
        for (long run = 0; run < layout.Count(); ++run) {
          const TBlock block = layout.Block(run);
          const TRunRowCache::TSlot* slot = cache.SlotOf(block);
          // Every row's block of a run has the run's slot.
          EXPECT_EQ(cache.SlotOf(layout.Block(run % layout.Across())), slot) << where;
          long low = 0, high = 0;
          const bool read = plan.SourceColumnsOf(block.FirstColumn, block.EndColumn, low, high);
          if (!c.Shares || layout.Across() < 2 || !read) {
            EXPECT_EQ(slot, nullptr) << where << " run " << run;
            continue;
          }
          // Past the first run without a slot, none has one.
          if (run < layout.Across()) {
            EXPECT_FALSE(passed && slot) << where << " run " << run;
            passed = passed || !slot;
          }
          if (budget == (1u << 20)) {
            EXPECT_NE(slot, nullptr) << where << " run " << run;
          }
          if (!slot)
            continue;
          EXPECT_EQ(slot->Low(), low) << where;
          EXPECT_EQ(slot->High(), high) << where;
          if (run < layout.Across())
            bytes += slot->Bytes();
        }
        EXPECT_EQ(bytes, cache.Bytes()) << where;
      }
      const TRunRowCache whole(plan, TBandLayout::WholeRows(result.Columns, result.Rows, 2),
                               1u << 20);
      EXPECT_EQ(whole.Bytes(), 0u);
    }
}

// A reader of rows it holds itself: row r's value x is 100 r + x, and it
// counts the rows read.
struct HeldRows {
  std::vector<double> Row;
  std::vector<long> Read;
  const double* operator()(long row, double*) {
    for (std::size_t x = 0; x < Row.size(); ++x)
      Row[x] = 100.0 * static_cast<double>(row) + static_cast<double>(x);
    Read.push_back(row);
    return Row.data();
  }
};

TEST(TRunRowCache, SlotsKeepCopiesAndReadEachRowOnce) {
  const long width = 5;
  const double area = 7.0;
  // Pairs of a walk at half the cell size, then one that skips rows.
  const long pairs[][2] = {{0, 1}, {0, 1}, {1, 2}, {1, 2}, {2, 3}, {5, 6}, {5, 6}};
  for (bool values : {false, true})
    for (bool quotients : {false, true}) {
      if (!values && !quotients)
        continue;
      TRunRowCache::TSlot slot(10, 10 + width, values, quotients, area);
      EXPECT_EQ(slot.Bytes(), 2 * width * sizeof(double) * (values + quotients));
      HeldRows reader{std::vector<double>(width), {}};
      std::vector<double> scratch(width);
      const auto read = [&reader](long row, double* buffer) { return reader(row, buffer); };
      for (const auto& pair : pairs) {
        const TRowPairCache::TRow low = slot.Get(pair[0], pair[1], read, scratch.data());
        const TRowPairCache::TRow high = slot.Get(pair[1], pair[0], read, scratch.data());
        // The reader's own row changes with every read: the slot's copies do not.
        for (long x = 0; x < width; ++x) {
          const double lowValue = 100.0 * static_cast<double>(pair[0]) + static_cast<double>(x);
          const double highValue = 100.0 * static_cast<double>(pair[1]) + static_cast<double>(x);
          if (values) {
            EXPECT_EQ(low.Values[x], lowValue);
            EXPECT_EQ(high.Values[x], highValue);
          } else {
            EXPECT_EQ(low.Values, nullptr);
          }
          if (quotients) {
            EXPECT_EQ(low.Quotients[x], lowValue / area);
            EXPECT_EQ(high.Quotients[x], highValue / area);
          } else {
            EXPECT_EQ(low.Quotients, nullptr);
          }
        }
      }
      EXPECT_EQ(reader.Read, (std::vector<long>{0, 1, 2, 3, 5, 6}));
    }
}
} // namespace
