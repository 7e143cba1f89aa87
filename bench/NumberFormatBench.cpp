// Formatting real numbers, in ns per value, as the grid writers format a row
// (each value followed by a blank), side by side with std::to_chars and
// snprintf writing the same text: six significant digits (TNumberFormat,
// the stream's default "%g"), and every digit count N from 1 to 17
// (TDigitsFormat, "%.<N>g"). The values are those of a resampled elevation
// grid: elevations with two decimals and the means of two and of four of
// them, as bilinear interpolation at half the cell size produces them; and
// whole numbers, as grids of whole metres (5000 .. 25000) and of class codes
// (0 .. 255) hold them.
#include <charconv>
#include <cstdio>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "SideBySide.h"
#include "text/TDigitsFormat.h"
#include "text/TNumberFormat.h"

namespace {
const std::size_t kSampleSize = 1 << 20;

const std::vector<double>& GridValues() {
  static const std::vector<double> values = [] {
    std::mt19937_64 random(3);
    std::uniform_int_distribution<int> hundredths(50000, 250000);
    std::vector<double> v(kSampleSize);
    for (std::size_t i = 0; i < v.size(); ++i) {
      const double a = hundredths(random) / 100.0;
      const double b = hundredths(random) / 100.0;
      const double c = hundredths(random) / 100.0;
      const double d = hundredths(random) / 100.0;
      v[i] = i % 4 == 0 ? a : i % 4 == 3 ? (a + b + c + d) / 4 : (a + b) / 2;
    }
    return v;
  }();
  return values;
}

// Whole numbers from low to high, drawn evenly.
std::vector<double> WholeValues(int low, int high) {
  std::mt19937_64 random(5);
  std::uniform_int_distribution<int> whole(low, high);
  std::vector<double> v(kSampleSize);
  for (double& value : v)
    value = whole(random);
  return v;
}

// The whole-number data sets by index: whole metres, then class codes.
const std::vector<double>& WholeNumbers(int set) {
  static const std::vector<double> metres = WholeValues(5000, 25000);
  static const std::vector<double> codes = WholeValues(0, 255);
  return set == 0 ? metres : codes;
}

// Formats every value, each followed by a blank, with format(out, value).
template <class TFormat>
std::function<void()> EachValue(const std::vector<double>& values, std::vector<char>& text,
                                TFormat format) {
  return [&values, &text, format] {
    char* out = text.data();
    for (double v : values) {
      out = format(out, v);
      *out++ = ' ';
    }
    benchmark::DoNotOptimize(out);
  };
}

void FormatSideBySide(benchmark::State& state, const std::vector<double>& values, int digits,
                      const std::function<void()>& ours, std::vector<char>& text) {
  SideBySide(state, static_cast<double>(values.size()), ours,
             {{"to_chars", EachValue(values, text,
                                     [digits](char* out, double v) {
                                       return std::to_chars(out, out + TDigitsFormat::kMaxLength, v,
                                                            std::chars_format::general, digits)
                                           .ptr;
                                     })},
              {"snprintf", EachValue(values, text, [digits](char* out, double v) {
                 return out + std::snprintf(out, TDigitsFormat::kMaxLength, "%.*g", digits, v);
               })}});
}

void BM_FormatSixDigits(benchmark::State& state) {
  const std::vector<double>& values = GridValues();
  std::vector<char> text(values.size() * (TNumberFormat::kMaxLength + 1));
  const auto ours = [&] {
    benchmark::DoNotOptimize(TNumberFormat::FormatSeparated(text.data(), values.data(),
                                                            static_cast<long>(values.size()), ' '));
  };
  FormatSideBySide(state, values, TNumberFormat::kDefaultDigits, ours, text);
}

void FormatDigits(benchmark::State& state, const std::vector<double>& values, int digits) {
  std::vector<char> text(values.size() * (TDigitsFormat::kMaxLength + 1));
  const auto ours = [&] {
    benchmark::DoNotOptimize(TDigitsFormat::FormatSeparated(
        text.data(), values.data(), static_cast<long>(values.size()), ' ', digits));
  };
  FormatSideBySide(state, values, digits, ours, text);
}

// Argument: the digit count.
void BM_FormatDigits(benchmark::State& state) {
  FormatDigits(state, GridValues(), static_cast<int>(state.range(0)));
}

// Arguments: the digit count, the whole-number data set (0 whole metres,
// 1 class codes).
void BM_FormatWholeDigits(benchmark::State& state) {
  FormatDigits(state, WholeNumbers(static_cast<int>(state.range(1))),
               static_cast<int>(state.range(0)));
}
} // namespace

BENCHMARK(BM_FormatSixDigits)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatDigits)
    ->DenseRange(TDigitsFormat::kFewestDigits, TDigitsFormat::kMostDigits)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatWholeDigits)
    ->ArgsProduct({{1, 6, 9, 12, 15, 17}, {0, 1}})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
