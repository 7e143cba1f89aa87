// The in-memory library on 2 workers against 1 on the 4000 x 4000 benchmark
// grid (BenchGrid.h, 30 m cells): reading the file by name, resampling to
// R = 15 (S/2) and R = 60 (2S), and writing the grid by name. Each iteration
// runs the operation on 1 worker and then on 2, timed by the wall clock, so
// that a shared machine slows both alike (the file written is removed,
// untimed, before each write); the benchmark's own time is the
// 2-worker one, and the counters give both times and 1-worker / 2-worker.
// The two results are compared before timing: the benchmark stops with an
// error unless they are identical (bits of every cell, bytes of the file).
//
// Run with --benchmark_repetitions=5 for medians. The grid file is
// $QUILLMAP_BENCH_GRID when set, else written to the temporary directory.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include <benchmark/benchmark.h>

#include "BenchGrid.h"
#include "grid/TMap.h"
#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"
#include "platform/TItemTeam.h"

namespace {
namespace fs = std::filesystem;

std::string TempPath(const std::string& name) {
  return (fs::temp_directory_path() / ("quillmap-cores-bench-" + name)).string();
}

const std::string& GridFile() {
  static const std::string path = [] {
    if (const char* given = std::getenv("QUILLMAP_BENCH_GRID"))
      return std::string(given);
    const std::string made = TempPath("source.asc");
    std::ofstream(made, std::ios::binary) << BenchGrid::FileText();
    return made;
  }();
  return path;
}

TMap* Source() {
  static const std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(GridFile()));
  return map.get();
}

double Seconds(unsigned workers, const std::function<void()>& run) {
  const TItemTeam::TFixedWorkers fixed(workers);
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool SameCells(TMap* a, TMap* b) {
  if (a->MbrLngXDim != b->MbrLngXDim || a->MbrLngYDim != b->MbrLngYDim)
    return false;
  for (long y = 0; y < a->MbrLngYDim; ++y)
    if (std::memcmp(a->MbrVecValues[y].data(), b->MbrVecValues[y].data(),
                    sizeof(double) * static_cast<std::size_t>(a->MbrLngXDim)) != 0)
      return false;
  return true;
}

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// Times run() on 1 and 2 workers in every iteration, each after an
// untimed prepare().
void OneAgainstTwo(
    benchmark::State& state, const std::function<void()>& run,
    const std::function<void()>& prepare = [] {}) {
  double one = 0.0;
  double two = 0.0;
  for (auto _ : state) {
    prepare();
    one += Seconds(1, run);
    prepare();
    const double seconds = Seconds(2, run);
    two += seconds;
    state.SetIterationTime(seconds);
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["one_worker_s"] = one / iterations;
  state.counters["two_workers_s"] = two / iterations;
  state.counters["one_over_two"] = one / two;
}

std::unique_ptr<TMap> Load() {
  return std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFile(GridFile()));
}

std::unique_ptr<TMap> Resample(double R) {
  return std::unique_ptr<TMap>(TMapTools::BilinearInterpolate(Source(), R));
}

// result(): the operation's map, made on 1 and on 2 workers and compared.
bool SameOnOneAndTwo(const std::function<std::unique_ptr<TMap>()>& result) {
  std::unique_ptr<TMap> one;
  std::unique_ptr<TMap> two;
  Seconds(1, [&] { one = result(); });
  Seconds(2, [&] { two = result(); });
  return SameCells(one.get(), two.get());
}

void BM_ReadByName(benchmark::State& state) {
  if (!SameOnOneAndTwo(Load))
    return state.SkipWithError("the maps read on 1 and 2 workers differ");
  OneAgainstTwo(state, [] { Load(); });
}

void BM_Resample(benchmark::State& state, double R) {
  Source();
  if (!SameOnOneAndTwo([R] { return Resample(R); }))
    return state.SkipWithError("the maps resampled on 1 and 2 workers differ");
  OneAgainstTwo(state, [R] { Resample(R); });
}

void BM_WriteByName(benchmark::State& state) {
  const std::string path = TempPath("written.asc");
  Seconds(1, [&] { TARCGISFileTools::WriteARCGISFile(Source(), path); });
  const std::string one = FileBytes(path);
  Seconds(2, [&] { TARCGISFileTools::WriteARCGISFile(Source(), path); });
  if (one != FileBytes(path))
    return state.SkipWithError("the files written on 1 and 2 workers differ");
  // A new file each time: truncating the last one would be timed too.
  OneAgainstTwo(
      state, [&] { TARCGISFileTools::WriteARCGISFile(Source(), path); }, [&] { fs::remove(path); });
  fs::remove(path);
}
} // namespace

BENCHMARK(BM_ReadByName)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Resample, half_cell_R15, 15.0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Resample, double_cell_R60, 60.0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteByName)->UseManualTime()->Unit(benchmark::kMillisecond);
