// SideBySide: times a piece of this library and what a user would pick
// instead (the standard library's conversions) on the same input, in the
// same iterations, one after the other, by the process's CPU time, so that a
// shared machine slows all of them alike. Reports ns per value of each and
// each other one's time over ours; the benchmark's own time is ours.
// Register with ->UseManualTime().
#ifndef QUILLMAP_BENCH_SIDEBYSIDE_H
#define QUILLMAP_BENCH_SIDEBYSIDE_H

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

struct TContender {
  std::string Name;
  std::function<void()> Run;
};

inline double CpuSeconds(const std::function<void()>& run) {
  const std::clock_t start = std::clock();
  run();
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// `values`: how many values one run of each contender handles.
inline void SideBySide(benchmark::State& state, double values, const std::function<void()>& ours,
                       const std::vector<TContender>& others) {
  double ourSeconds = 0.0;
  std::vector<double> otherSeconds(others.size(), 0.0);
  for (auto _ : state) {
    const double seconds = CpuSeconds(ours);
    state.SetIterationTime(seconds);
    ourSeconds += seconds;
    for (std::size_t i = 0; i < others.size(); ++i)
      otherSeconds[i] += CpuSeconds(others[i].Run);
  }
  const double nsPerValue = 1e9 / (values * static_cast<double>(state.iterations()));
  state.counters["ns_per_value"] = ourSeconds * nsPerValue;
  for (std::size_t i = 0; i < others.size(); ++i) {
    state.counters[others[i].Name + "_ns"] = otherSeconds[i] * nsPerValue;
    state.counters[others[i].Name + "_over_ours"] = otherSeconds[i] / ourSeconds;
  }
}

#endif
