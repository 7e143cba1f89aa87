// Reading and writing a 2000 x 2000 grid through in-memory streams, in ns per
// cell value, next to the plain per-value stream operators for comparison.
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "grid/TAxis.h"
#include "grid/TMap.h"
#include "gridio/TARCGISFileTools.h"

namespace {
const long kSide = 2000;
const double kValues = static_cast<double>(kSide * kSide);

std::unique_ptr<TMap> MakeSampleMap() {
  auto map = std::make_unique<TMap>(25.0, kSide, kSide);
  std::mt19937 random(1);
  std::uniform_int_distribution<int> thousandths(-100000, 2000000);
  for (long y = 0; y < kSide; ++y)
    for (long x = 0; x < kSide; ++x)
      map->MbrVecValues[y][x] = (x + y) % 97 == 0 ? -9999.0 : thousandths(random) / 1000.0;
  TAxis xEdges(25.0);
  TAxis yEdges(25.0);
  for (long i = 0; i <= kSide; ++i) {
    xEdges.AddPoint(new TPoint(4100000.0 + 25.0 * i, 0.0));
    yEdges.AddPoint(new TPoint(0.0, 5250000.0 - 25.0 * i));
  }
  map->SetXAxisInterval(&xEdges);
  map->SetYAxisInterval(&yEdges);
  return map;
}

const std::string& SampleText() {
  static const std::string text = [] {
    std::ostringstream stream;
    TARCGISFileTools::WriteARCGISFile(MakeSampleMap().get(), stream);
    return stream.str();
  }();
  return text;
}

void ReportPerValue(benchmark::State& state) {
  state.counters["ns_per_value"] = benchmark::Counter(
      kValues, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(static_cast<long>(state.iterations() * kValues));
}

void BM_ReadGrid(benchmark::State& state) {
  const std::string& text = SampleText();
  for (auto _ : state) {
    std::istringstream stream(text);
    std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(stream));
    benchmark::DoNotOptimize(map->MbrVecValues.data());
  }
  ReportPerValue(state);
}

void BM_ReadValuesWithStreamOperator(benchmark::State& state) {
  const std::string& text = SampleText();
  const std::size_t body = text.find("\n", text.find("NODATA_value")) + 1;
  for (auto _ : state) {
    std::istringstream stream(text.substr(body));
    double value = 0.0;
    double sum = 0.0;
    for (long i = 0; i < kSide * kSide && stream >> value; ++i)
      sum += value;
    benchmark::DoNotOptimize(sum);
  }
  ReportPerValue(state);
}

void BM_WriteGrid(benchmark::State& state) {
  std::unique_ptr<TMap> map = MakeSampleMap();
  for (auto _ : state) {
    std::ostringstream stream;
    TARCGISFileTools::WriteARCGISFile(map.get(), stream);
    benchmark::DoNotOptimize(stream.tellp());
  }
  ReportPerValue(state);
}

void BM_WriteValuesWithStreamOperator(benchmark::State& state) {
  std::unique_ptr<TMap> map = MakeSampleMap();
  for (auto _ : state) {
    std::ostringstream stream;
    for (const auto& row : map->MbrVecValues) {
      for (double value : row)
        stream << value << ' ';
      stream << std::endl;
    }
    benchmark::DoNotOptimize(stream.tellp());
  }
  ReportPerValue(state);
}
} // namespace

BENCHMARK(BM_ReadGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadValuesWithStreamOperator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteValuesWithStreamOperator)->Unit(benchmark::kMillisecond);
