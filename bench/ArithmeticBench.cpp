// Cell-wise addition of a fine map and a map of five times its cell size, and
// the average of a series, reported in time per result cell.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "maptools/TMapTools.h"

namespace {
// A map of columns x rows cells of the given size with its south-west corner
// at the origin, edges laid out as the grid reader lays them out.
std::unique_ptr<TMap> BenchMap(long columns, long rows, double cell, double seed) {
  auto map = std::make_unique<TMap>(cell, columns, rows);
  TAxis xEdges(cell);
  double x = 0.0;
  for (long i = 0; i <= columns; ++i, x += cell)
    xEdges.AddPoint(new TPoint(x, 0.0));
  double north = 0.0;
  for (long i = 0; i < rows; ++i)
    north += cell;
  TAxis yEdges(cell);
  double y = north;
  for (long i = 0; i <= rows; ++i, y -= cell)
    yEdges.AddPoint(new TPoint(0.0, y));
  map->SetXAxisInterval(&xEdges);
  map->SetYAxisInterval(&yEdges);
  double value = seed;
  for (std::vector<double>& row : map->MbrVecValues)
    for (double& cellValue : row) {
      cellValue = value;
      value = value > 1000.0 ? value - 997.0 : value + 3.25;
    }
  return map;
}

void PerCell(benchmark::State& state, long cells) {
  state.counters["time_per_cell"] =
      benchmark::Counter(static_cast<double>(cells), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void BM_AddFineAndFiveTimesCoarser(benchmark::State& state) {
  std::unique_ptr<TMap> fine = BenchMap(2000, 2000, 1.0, 1.0);
  std::unique_ptr<TMap> coarse = BenchMap(400, 400, 5.0, 2.0);
  for (auto _ : state) {
    std::unique_ptr<TMap> sum(TMapTools::Add(coarse.get(), fine.get()));
    benchmark::DoNotOptimize(sum->MbrVecValues.data());
  }
  PerCell(state, 2000L * 2000L);
}
BENCHMARK(BM_AddFineAndFiveTimesCoarser)->Unit(benchmark::kMillisecond);

// The floor under the addition: making and releasing a 2000 x 2000 map on the
// fine map's grid, without computing anything.
void BM_EmptyResultOfTheSameGrid(benchmark::State& state) {
  std::unique_ptr<TMap> fine = BenchMap(2000, 2000, 1.0, 1.0);
  for (auto _ : state) {
    auto blank = std::make_unique<TMap>(fine->MbrPtrXAxis, fine->MbrPtrYAxis);
    benchmark::DoNotOptimize(blank->MbrVecValues.data());
  }
  PerCell(state, 2000L * 2000L);
}
BENCHMARK(BM_EmptyResultOfTheSameGrid)->Unit(benchmark::kMillisecond);

void BM_AverageOfFiveMaps(benchmark::State& state) {
  std::vector<std::unique_ptr<TMap>> owned;
  std::vector<TMap*> series;
  for (int k = 0; k < 5; ++k) {
    owned.push_back(BenchMap(1000, 1000, 1.0, k + 1.0));
    series.push_back(owned.back().get());
  }
  for (auto _ : state) {
    std::unique_ptr<TMap> average(TMapTools::Average(series));
    benchmark::DoNotOptimize(average->MbrVecValues.data());
  }
  PerCell(state, 1000L * 1000L);
}
BENCHMARK(BM_AverageOfFiveMaps)->Unit(benchmark::kMillisecond);
} // namespace
