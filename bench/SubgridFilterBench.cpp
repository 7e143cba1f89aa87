// Throughput of the value filters, counts and sub-grid copies on large maps.
#include <map>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "maptools/TMapTools.h"

namespace {
// A square map of n x n cells of size 1 with edges built as the grid reader
// builds them, holding a few repeating values.
std::unique_ptr<TMap> SquareMap(long n) {
  const double west = 0.0;
  const double south = 0.0;
  auto map = std::make_unique<TMap>(1.0, n, n);
  TAxis xEdges(1.0);
  TAxis yEdges(1.0);
  double x = west;
  for (long i = 0; i <= n; ++i, x += 1.0)
    xEdges.AddPoint(new TPoint(x, south));
  double y = south;
  for (long i = 0; i < n; ++i)
    y += 1.0;
  for (long i = 0; i <= n; ++i, y -= 1.0)
    yEdges.AddPoint(new TPoint(west, y));
  map->SetXAxisInterval(&xEdges);
  map->SetYAxisInterval(&yEdges);
  for (long r = 0; r < n; ++r)
    for (long c = 0; c < n; ++c)
      map->MbrVecValues[r][c] = static_cast<double>((r * 7 + c * 3) % 11) - 0.5;
  return map;
}

template <typename Operation> void Cells(benchmark::State& state, Operation operation) {
  auto map = SquareMap(state.range(0));
  for (auto _ : state)
    operation(map.get());
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
  state.SetComplexityN(state.range(0) * state.range(0));
}

void BM_Threshold(benchmark::State& state) {
  Cells(state, [](TMap* m) { delete TMapTools::Threshold(m, 3.0); });
}
void BM_ReplaceValue(benchmark::State& state) {
  std::map<double, double> table;
  for (int v = 0; v < 11; v += 2)
    table[v - 0.5] = v;
  Cells(state, [&](TMap* m) { delete TMapTools::ReplaceValue(m, table, -1.0); });
}
void BM_RoundContents(benchmark::State& state) {
  Cells(state, [](TMap* m) { delete TMapTools::RoundContents(m); });
}
void BM_CountValuesTable(benchmark::State& state) {
  Cells(state, [](TMap* m) { benchmark::DoNotOptimize(TMapTools::CountValues(m)); });
}
void BM_CountValuesOne(benchmark::State& state) {
  Cells(state, [](TMap* m) { benchmark::DoNotOptimize(TMapTools::CountValues(m, 2.5)); });
}
void BM_FindPatchExtent(benchmark::State& state) {
  Cells(state, [](TMap* m) {
    long n = 0, s = 0, w = 0, e = 0;
    TMapTools::FindPatchExtent(m, 2.5, n, s, w, e);
    benchmark::DoNotOptimize(n + s + w + e);
  });
}

// An insert of n x n cells of size 0.5 into the middle of an n x n map of
// cell size 1.
void BM_InsertFine(benchmark::State& state) {
  const long n = state.range(0);
  auto destination = SquareMap(n);
  auto half = std::make_unique<TMap>(0.5, n, n);
  TAxis xEdges(0.5), yEdges(0.5);
  double x = n / 4.0, y = n / 4.0;
  for (long i = 0; i < n; ++i)
    y += 0.5;
  for (long i = 0; i <= n; ++i, x += 0.5, y -= 0.5) {
    xEdges.AddPoint(new TPoint(x, 0));
    yEdges.AddPoint(new TPoint(0, y));
  }
  half->SetXAxisInterval(&xEdges);
  half->SetYAxisInterval(&yEdges);
  for (auto _ : state)
    TMapTools::Insert(destination.get(), half.get());
  state.SetItemsProcessed(state.iterations() * n * n);
  state.SetComplexityN(n * n);
}

void BM_Extract(benchmark::State& state) {
  const long n = state.range(0);
  auto map = SquareMap(n);
  TPoint a(n / 4.0, n / 4.0), b(3.0 * n / 4.0, 3.0 * n / 4.0);
  for (auto _ : state)
    delete TMapTools::Extract(map.get(), &a, &b);
  state.SetItemsProcessed(state.iterations() * n * n / 4);
  state.SetComplexityN(n * n);
}
} // namespace

BENCHMARK(BM_Threshold)->RangeMultiplier(4)->Range(64, 1024)->Complexity(benchmark::oN);
BENCHMARK(BM_ReplaceValue)->RangeMultiplier(4)->Range(64, 1024)->Complexity(benchmark::oN);
BENCHMARK(BM_RoundContents)->RangeMultiplier(4)->Range(64, 1024)->Complexity(benchmark::oN);
BENCHMARK(BM_CountValuesTable)->RangeMultiplier(4)->Range(64, 1024)->Complexity(benchmark::oN);
BENCHMARK(BM_CountValuesOne)->RangeMultiplier(4)->Range(64, 1024)->Complexity(benchmark::oN);
BENCHMARK(BM_FindPatchExtent)->RangeMultiplier(4)->Range(64, 1024)->Complexity(benchmark::oN);
BENCHMARK(BM_InsertFine)->RangeMultiplier(4)->Range(64, 1024)->Complexity(benchmark::oN);
BENCHMARK(BM_Extract)->RangeMultiplier(4)->Range(64, 1024)->Complexity(benchmark::oN);
