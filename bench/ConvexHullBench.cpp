// The convex hull's cost in the number of points n and of corners h: points
// scattered in a square keep h small (about log n), points on a circle make
// every point a corner.
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "numeric/TPointTools.h"

namespace {
struct Points {
  std::vector<std::unique_ptr<TPoint>> owned;
  std::vector<TPoint*> raw;
  void Add(double x, double y) {
    owned.emplace_back(new TPoint(x, y));
    raw.push_back(owned.back().get());
  }
};

void Hull(benchmark::State& state, const Points& points) {
  std::size_t corners = 0;
  for (auto _ : state) {
    std::vector<TPoint*> hull = TPointTools::FindConvexHull(points.raw);
    corners = hull.size();
    for (TPoint* p : hull)
      delete p;
  }
  state.counters["corners"] = static_cast<double>(corners);
  state.SetComplexityN(state.range(0));
}

void BM_HullScattered(benchmark::State& state) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> ordinate(0.0, 1000.0);
  Points points;
  for (long i = 0; i < state.range(0); ++i)
    points.Add(ordinate(random), ordinate(random));
  Hull(state, points);
}

void BM_HullOnCircle(benchmark::State& state) {
  Points points;
  const long n = state.range(0);
  for (long i = 0; i < n; ++i) {
    const double angle = 6.283185307179586 * static_cast<double>(i) / static_cast<double>(n);
    points.Add(1000.0 * std::cos(angle), 1000.0 * std::sin(angle));
  }
  Hull(state, points);
}
} // namespace

BENCHMARK(BM_HullScattered)->RangeMultiplier(8)->Range(64, 262144)->Complexity(benchmark::oN);
BENCHMARK(BM_HullOnCircle)->RangeMultiplier(4)->Range(16, 1024)->Complexity(benchmark::oNSquared);
