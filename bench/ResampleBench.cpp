// Bilinear resampling of an N x N grid (cell size 1) to half and to twice its
// cell size: the walk alone on a prepared destination, and the whole operation
// (destination grid, no-data fill and walk), in time per walk point; and the
// walk with the no-data-aware corner test.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "maptools/TBilinearWalk.h"
#include "maptools/TMapTools.h"

namespace {
// Edges as the grid reader builds them: X from the west edge up, Y from the
// north edge down; values a smooth surface.
std::unique_ptr<TMap> Terrain(long size) {
  auto map = std::make_unique<TMap>(1.0, size, size);
  TAxis xEdges(1.0);
  double x = 0.0;
  for (long i = 0; i <= size; ++i, x += 1.0)
    xEdges.AddPoint(new TPoint(x, static_cast<double>(size)));
  TAxis yEdges(1.0);
  double y = static_cast<double>(size);
  for (long i = 0; i <= size; ++i, y -= 1.0)
    yEdges.AddPoint(new TPoint(0.0, y));
  map->SetXAxisInterval(&xEdges);
  map->SetYAxisInterval(&yEdges);
  for (long row = 0; row < size; ++row)
    for (long col = 0; col < size; ++col)
      map->MbrVecValues[row][col] = 500.0 + 80.0 * std::sin(col * 0.01) * std::cos(row * 0.013);
  return map;
}

void PerWalkPoint(benchmark::State& state, long points) {
  state.counters["walk_points"] = static_cast<double>(points);
  state.counters["time_per_point"] = benchmark::Counter(
      static_cast<double>(points),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Arguments: grid size N, new cell size in hundredths of the source's.
void Walk(benchmark::State& state, TCornerPolicy policy) {
  const double newCell = state.range(1) / 100.0;
  auto source = Terrain(state.range(0));
  std::unique_ptr<TMap> destination(TMapTools::Downscale(source.get(), newCell));
  long points = 0;
  for (auto _ : state) {
    TBilinearWalk walk(source.get(), destination.get(), newCell, policy);
    walk.Run();
    points = walk.PointCount();
    benchmark::ClobberMemory();
  }
  PerWalkPoint(state, points);
}

void BM_Walk(benchmark::State& state) {
  Walk(state, TCornerPolicy::Plain);
}

void BM_WalkNoDataAware(benchmark::State& state) {
  Walk(state, TCornerPolicy::NoDataAware);
}

void BM_BilinearInterpolate(benchmark::State& state) {
  const double newCell = state.range(1) / 100.0;
  auto source = Terrain(state.range(0));
  std::unique_ptr<TMap> grid(TMapTools::Downscale(source.get(), newCell));
  const long points = TBilinearWalk(source.get(), grid.get(), newCell).PointCount();
  grid.reset();
  for (auto _ : state) {
    std::unique_ptr<TMap> result(TMapTools::BilinearInterpolate(source.get(), newCell));
    benchmark::DoNotOptimize(result->MbrVecValues.data());
  }
  PerWalkPoint(state, points);
}

void Sizes(benchmark::internal::Benchmark* bench) {
  for (long size : {1000, 4000})
    for (long newCell : {50, 200})
      bench->Args({size, newCell});
  bench->Unit(benchmark::kMillisecond);
}
} // namespace

BENCHMARK(BM_Walk)->Apply(Sizes);
BENCHMARK(BM_WalkNoDataAware)->Apply(Sizes);
BENCHMARK(BM_BilinearInterpolate)->Apply(Sizes);
