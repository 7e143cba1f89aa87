// Per-cell trends over a series of ten 1000 x 1000 maps with a window of 4:
// six result maps of a million cells each. The "per_cell" counter is the time
// per result cell.
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "maptools/TMapTools.h"

namespace {
const long kSide = 1000;
const int kMaps = 10;
const int kWindow = 4;

std::unique_ptr<TMap> SeriesMap(std::mt19937& random) {
  TAxis xs(1.0);
  TAxis ys(1.0);
  double x = 0.5;
  double y = kSide - 0.5;
  for (long i = 0; i < kSide; ++i, x += 1.0, y -= 1.0) {
    xs.AddPoint(new TPoint(x, 0.0));
    ys.AddPoint(new TPoint(0.0, y));
  }
  auto map = std::make_unique<TMap>(&xs, &ys);
  // Mostly data, with some zeros to fill from neighbours and some no-data.
  std::uniform_int_distribution<int> kind(0, 19);
  std::uniform_real_distribution<double> value(1.0, 100.0);
  for (auto& row : map->MbrVecValues)
    for (double& cell : row) {
      const int k = kind(random);
      cell = k == 0 ? 0.0 : k == 1 ? -9999.0 : value(random);
    }
  return map;
}

void ValueGradients(benchmark::State& state) {
  std::mt19937 random(3);
  std::vector<std::unique_ptr<TMap>> owned;
  std::vector<TMap*> maps;
  for (int m = 0; m < kMaps; ++m) {
    owned.push_back(SeriesMap(random));
    maps.push_back(owned.back().get());
  }
  const double cells = static_cast<double>(kMaps - kWindow) * kSide * kSide;
  for (auto _ : state) {
    std::vector<TMap*> gradients = TMapTools::ValueGradients(maps, kWindow);
    benchmark::DoNotOptimize(gradients.data());
    for (TMap* map : gradients)
      delete map;
  }
  state.counters["per_cell"] = benchmark::Counter(
      cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ValueGradients)->Unit(benchmark::kMillisecond);
} // namespace
