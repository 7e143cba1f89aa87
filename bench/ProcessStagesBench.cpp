// Where the time of one quillmap run goes, stage by stage, on a 4000 x 4000
// grid of 30 m cells with values of two decimals (the grid of
// bench/compare.sh, BenchGrid.h), next to the floor of each stage:
//   - reading the grid file, against std::from_chars over its values alone,
//     in ns per source cell;
//   - resampling to 15 m and to 60 m, in ns per destination cell;
//   - writing the result file, against formatting its values alone (the
//     six-digit formatter, and std::to_chars), in ns per destination cell.
// Files go to the system's temporary directory.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchGrid.h"
#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"
#include "text/TNumberFormat.h"

namespace {
using BenchGrid::kCell;
using BenchGrid::kSide;

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

const std::string& SourceText() {
  static const std::string text = BenchGrid::FileText();
  return text;
}

const std::string& SourceFile() {
  static const std::string path = [] {
    const std::string p = TempPath("quillmap_stages_source.asc");
    std::ofstream(p, std::ios::binary) << SourceText();
    return p;
  }();
  return path;
}

TMap* Source() {
  static const std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(SourceFile()));
  return map.get();
}

TMap* Resampled(double newCell) {
  static std::unique_ptr<TMap> fine;
  static std::unique_ptr<TMap> coarse;
  std::unique_ptr<TMap>& map = newCell < kCell ? fine : coarse;
  if (!map)
    map.reset(TMapTools::BilinearInterpolate(Source(), newCell));
  return map.get();
}

void PerCell(benchmark::State& state, double cells) {
  state.counters["cells"] = cells;
  state.counters["ns_per_cell"] = benchmark::Counter(
      cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

double DestinationCells(TMap* map) {
  return static_cast<double>(map->MbrLngXDim) * static_cast<double>(map->MbrLngYDim);
}

void BM_ParseFloorFromChars(benchmark::State& state) {
  const std::string& text = SourceText();
  const char* body = text.data() + text.find('\n', text.find("NODATA_value")) + 1;
  const char* end = text.data() + text.size();
  for (auto _ : state) {
    double sum = 0.0;
    for (const char* p = body; p < end;) {
      while (p < end && (*p == ' ' || *p == '\n'))
        ++p;
      if (p == end)
        break;
      double value = 0.0;
      p = std::from_chars(p, end, value).ptr;
      sum += value;
    }
    benchmark::DoNotOptimize(sum);
  }
  PerCell(state, static_cast<double>(kSide * kSide));
}

void BM_ReadFile(benchmark::State& state) {
  const std::string& path = SourceFile();
  for (auto _ : state) {
    std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(path));
    benchmark::DoNotOptimize(map.get());
  }
  PerCell(state, static_cast<double>(kSide * kSide));
}

// Argument: the new cell size in metres.
void BM_Resample(benchmark::State& state) {
  const double newCell = static_cast<double>(state.range(0));
  TMap* source = Source();
  double cells = 0.0;
  for (auto _ : state) {
    std::unique_ptr<TMap> map(TMapTools::BilinearInterpolate(source, newCell));
    cells = DestinationCells(map.get());
  }
  PerCell(state, cells);
}

template <class TFormat> void FormatValues(benchmark::State& state, TFormat format) {
  TMap* map = Resampled(static_cast<double>(state.range(0)));
  std::vector<char> text(1 << 20);
  for (auto _ : state) {
    std::size_t written = 0;
    for (const std::vector<double>& row : map->MbrVecValues) {
      char* out = text.data();
      for (double v : row) {
        out = format(out, v);
        *out++ = ' ';
      }
      written += static_cast<std::size_t>(out - text.data());
    }
    benchmark::DoNotOptimize(written);
  }
  PerCell(state, DestinationCells(map));
}

void BM_FormatFloorSixDigits(benchmark::State& state) {
  FormatValues(state, [](char* out, double v) { return TNumberFormat::Format(out, v); });
}

void BM_FormatFloorToChars(benchmark::State& state) {
  FormatValues(state, [](char* out, double v) {
    return std::to_chars(out, out + TNumberFormat::kMaxLength, v, std::chars_format::general, 6)
        .ptr;
  });
}

void BM_WriteFile(benchmark::State& state) {
  TMap* map = Resampled(static_cast<double>(state.range(0)));
  const std::string path = TempPath("quillmap_stages_result.asc");
  for (auto _ : state)
    TARCGISFileTools::WriteARCGISFile(map, path);
  std::remove(path.c_str());
  PerCell(state, DestinationCells(map));
}

void NewCells(benchmark::internal::Benchmark* bench) {
  bench->Arg(15)->Arg(60)->Iterations(3)->Unit(benchmark::kMillisecond);
}
} // namespace

BENCHMARK(BM_ParseFloorFromChars)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFile)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resample)->Apply(NewCells);
BENCHMARK(BM_FormatFloorSixDigits)->Apply(NewCells);
BENCHMARK(BM_FormatFloorToChars)->Apply(NewCells);
BENCHMARK(BM_WriteFile)->Apply(NewCells);
