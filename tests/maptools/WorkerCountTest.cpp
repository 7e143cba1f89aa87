// The in-memory operations that run on several workers (both resamplings,
// the empty grid they fill, subdivision, the cell-wise arithmetic and the series operations) give,
// on 1 to 4 workers, the map of one worker to the bit, or the same message: among them failures
// that arise part way down the map, where the first failing cell in row-major order decides.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "maptools/TMapTools.h"
#include "platform/TItemTeam.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
using TOperation = std::function<TMap*()>;

void ExpectSameOnEveryCount(const std::string& name, const TOperation& operation) {
  SCOPED_TRACE(name);
  Outcome expected;
  {
    const TItemTeam::TFixedWorkers one(1);
    expected = Attempt(operation);
  }
  for (unsigned workers = 2; workers <= 4; ++workers) {
    SCOPED_TRACE("workers " + std::to_string(workers));
    const TItemTeam::TFixedWorkers fixed(workers);
    const Outcome actual = Attempt(operation);
    ASSERT_EQ(expected.thrown.Describe(), actual.thrown.Describe());
    if (expected.map) {
      ASSERT_EQ("", MapDifference(expected.map.get(), actual.map.get()));
    }
  }
}

std::unique_ptr<TMap> Scattered(long columns, long rows, double cell, unsigned seed,
                                double west = 0.0, double south = 0.0) {
  return MakeMap(columns, rows, cell, west, south, ScatteredValues(columns * rows, seed, -9999.0));
}
} // namespace

TEST(WorkerCount, ResamplingsAreTheSameOnAnyWorkerCount) {
  const std::unique_ptr<TMap> maps[] = {Scattered(37, 29, 1.0, 1), Scattered(5, 80, 0.5, 2),
                                        Scattered(120, 6, 2.0, 3), Scattered(4, 2, 1.0, 4),
                                        Scattered(3, 1, 1.0, 5)};
  for (const std::unique_ptr<TMap>& map : maps)
    for (double factor : {0.5, 2.0, 0.3, 1.0, 0.7, 3.0}) {
      const double R = map->MbrDblResolution * factor;
      const std::string shape = std::to_string(map->MbrLngXDim) + " x " +
                                std::to_string(map->MbrLngYDim) + " at " + std::to_string(R);
      ExpectSameOnEveryCount("downscale " + shape,
                             [&] { return TMapTools::Downscale(map.get(), R); });
      ExpectSameOnEveryCount("plain " + shape,
                             [&] { return TMapTools::BilinearInterpolate(map.get(), R); });
      ExpectSameOnEveryCount("no-data aware " + shape, [&] {
        return TMapTools::BilinearInterpolateNoDataAware(map.get(), R);
      });
    }
  for (const std::unique_ptr<TMap>& map : maps)
    for (int factor : {1, 2, 3, 7})
      ExpectSameOnEveryCount("subdivide by " + std::to_string(factor),
                             [&] { return TMapTools::Subdivide(map.get(), factor); });
}

TEST(WorkerCount, CellWiseOperationsAreTheSameOnAnyWorkerCount) {
  const auto fine = Scattered(40, 33, 1.0, 6);
  const auto coarse = Scattered(20, 17, 2.0, 7);
  // Covers only the northern rows of the fine map: the lookups fail from
  // row 8 on, in the middle of the map.
  const auto north = Scattered(40, 25, 1.0, 8, 0.0, 8.0);
  const auto other = Scattered(40, 33, 1.0, 9, 500.0, 0.0);
  ExpectSameOnEveryCount("multiply by", [&] { return TMapTools::Multiply(fine.get(), 2.5); });
  ExpectSameOnEveryCount("divide by", [&] { return TMapTools::Divide(fine.get(), 3.0); });
  ExpectSameOnEveryCount("subtract", [&] { return TMapTools::Subtract(fine.get(), other.get()); });
  for (TMap* second : {coarse.get(), north.get(), other.get(), fine.get()}) {
    ExpectSameOnEveryCount("add", [&] { return TMapTools::Add(fine.get(), second); });
    ExpectSameOnEveryCount("multiply", [&] { return TMapTools::Multiply(second, fine.get()); });
    ExpectSameOnEveryCount("divide", [&] { return TMapTools::Divide(fine.get(), second); });
  }
}

TEST(WorkerCount, SeriesOperationsAreTheSameOnAnyWorkerCount) {
  std::vector<std::unique_ptr<TMap>> owned;
  std::vector<TMap*> series;
  for (unsigned seed = 10; seed < 15; ++seed) {
    owned.push_back(Scattered(23, 31, 1.0, seed));
    series.push_back(owned.back().get());
  }
  ExpectSameOnEveryCount("sum", [&] { return TMapTools::Sum(series); });
  ExpectSameOnEveryCount("data counts", [&] { return TMapTools::DataCounts(series); });
  ExpectSameOnEveryCount("average", [&] { return TMapTools::Average(series); });
  for (int window : {1, 3, 5}) {
    const TItemTeam::TFixedWorkers one(1);
    std::vector<TMap*> expected;
    const Thrown expectedThrow =
        CaptureThrow([&] { expected = TMapTools::MovingAverage(series, window); });
    for (unsigned workers = 2; workers <= 4; ++workers) {
      const TItemTeam::TFixedWorkers fixed(workers);
      std::vector<TMap*> actual;
      EXPECT_EQ(expectedThrow.Describe(), CaptureThrow([&] {
                                            actual = TMapTools::MovingAverage(series, window);
                                          }).Describe());
      ASSERT_EQ(expected.size(), actual.size());
      for (std::size_t k = 0; k < actual.size(); ++k) {
        EXPECT_EQ("", MapDifference(expected[k], actual[k]));
        delete actual[k];
      }
    }
    for (TMap* map : expected)
      delete map;
  }
}
