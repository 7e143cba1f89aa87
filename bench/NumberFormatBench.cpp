// Six-significant-digit formatting: the time per value of TNumberFormat next
// to std::to_chars and snprintf("%g"), on values like those of a resampled
// elevation grid; and a long check of its text against snprintf("%g"). The
// same for TDigitsFormat at N digits (the argument) next to std::to_chars.
//
// The check runs QUILLMAP_FORMAT_SWEEP values (default 4 million; give
// hundreds of millions for a full sweep) and stops with an error at the first
// value whose text differs:
//   QUILLMAP_FORMAT_SWEEP=400000000 NumberFormatBench --benchmark_filter=Sweep
// (BM_DigitsSweepAgainstPrintf/N checks N digits against "%.<N>g" likewise.)
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "text/TDigitsFormat.h"
#include "text/TNumberFormat.h"

namespace {
const std::size_t kSampleSize = 1 << 20;

// Elevations with two decimals and the means of two and of four of them, as
// bilinear interpolation at half the cell size produces them.
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

template <class TFormat> void FormatAll(benchmark::State& state, TFormat format) {
  const std::vector<double>& values = GridValues();
  std::vector<char> text(values.size() * TDigitsFormat::kMaxLength);
  for (auto _ : state) {
    char* out = text.data();
    for (double v : values)
      out = format(out, v);
    benchmark::DoNotOptimize(out);
  }
  state.counters["ns_per_value"] = benchmark::Counter(
      static_cast<double>(values.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_FormatSixDigits(benchmark::State& state) {
  FormatAll(state, [](char* out, double v) { return TNumberFormat::Format(out, v); });
}

void BM_ToCharsSixDigits(benchmark::State& state) {
  FormatAll(state, [](char* out, double v) {
    return std::to_chars(out, out + TNumberFormat::kMaxLength, v, std::chars_format::general, 6)
        .ptr;
  });
}

void BM_SnprintfSixDigits(benchmark::State& state) {
  FormatAll(state, [](char* out, double v) {
    return out + std::snprintf(out, TNumberFormat::kMaxLength, "%g", v);
  });
}

void BM_FormatDigits(benchmark::State& state) {
  const int digits = static_cast<int>(state.range(0));
  FormatAll(state, [digits](char* out, double v) { return TDigitsFormat::Format(out, v, digits); });
}

void BM_ToCharsDigits(benchmark::State& state) {
  const int digits = static_cast<int>(state.range(0));
  FormatAll(state, [digits](char* out, double v) {
    return std::to_chars(out, out + TNumberFormat::kMaxLength, v, std::chars_format::general,
                         digits)
        .ptr;
  });
}

// The values of the sweep, by kind: any bit pattern; decimal ties of the
// seventh digit at every decade and their two neighbours; means of decimals
// with two to four places; decade edges.
double SweepValue(std::mt19937_64& random, std::uint64_t i) {
  std::uniform_int_distribution<long> sixDigits(100000, 999999);
  std::uniform_int_distribution<int> decade(-22, 30);
  std::uniform_int_distribution<long> decimals(-9999999, 9999999);
  std::uniform_int_distribution<int> places(2, 4);
  switch (i % 4) {
  case 0: {
    const std::uint64_t bits = random();
    double v = 0.0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  case 1: {
    const double tie = (sixDigits(random) * 10 + 5) * std::pow(10.0, decade(random));
    const int side = static_cast<int>(random() % 3);
    return side == 0 ? tie : std::nextafter(tie, side == 1 ? 0.0 : HUGE_VAL);
  }
  case 2: {
    const double scale = std::pow(10.0, places(random));
    return (decimals(random) / scale + decimals(random) / scale) / 2;
  }
  default: {
    const double edge = std::pow(10.0, decade(random));
    const int side = static_cast<int>(random() % 3);
    return side == 0 ? edge : std::nextafter(edge, side == 1 ? 0.0 : HUGE_VAL);
  }
  }
}

// Checks QUILLMAP_FORMAT_SWEEP values of the generator against
// snprintf("%.<digits>g"), stopping with an error at the first difference.
template <class TValue, class TFormat>
void SweepAgainstPrintf(benchmark::State& state, int digits, std::uint64_t seed, TValue value,
                        TFormat format) {
  const char* requested = std::getenv("QUILLMAP_FORMAT_SWEEP");
  const std::uint64_t count = requested ? std::strtoull(requested, nullptr, 10) : 4000000;
  for (auto _ : state) {
    std::mt19937_64 random(seed);
    for (std::uint64_t i = 0; i < count; ++i) {
      const double v = value(random, i);
      char expected[64];
      char text[TDigitsFormat::kMaxLength];
      const int length = std::snprintf(expected, sizeof expected, "%.*g", digits, v);
      const char* end = format(text, v);
      if (end - text != length || std::memcmp(text, expected, length) != 0) {
        char detail[128];
        std::snprintf(detail, sizeof detail, "%.17g written as %.*s instead of %s", v,
                      static_cast<int>(end - text), text, expected);
        state.SkipWithError(detail);
        return;
      }
    }
  }
  state.counters["values_checked"] = static_cast<double>(count);
}

void BM_SweepAgainstPrintf(benchmark::State& state) {
  SweepAgainstPrintf(state, TNumberFormat::kDefaultDigits, 20261208, SweepValue,
                     [](char* out, double v) { return TNumberFormat::Format(out, v); });
}

// The sweep's values, and every fifth one a tie of the (N + 1)-th digit or
// one of its two neighbours.
double DigitsSweepValue(std::mt19937_64& random, std::uint64_t i, int digits) {
  if (i % 5 != 4 || digits > 14)
    return SweepValue(random, i);
  const double low = std::pow(10.0, digits - 1);
  std::uniform_int_distribution<long> leading(static_cast<long>(low),
                                              static_cast<long>(low * 10) - 1);
  std::uniform_int_distribution<int> decade(-20, 20);
  const double tie =
      (static_cast<double>(leading(random)) * 10 + 5) * std::pow(10.0, decade(random));
  const int side = static_cast<int>(random() % 3);
  return side == 0 ? tie : std::nextafter(tie, side == 1 ? 0.0 : HUGE_VAL);
}

void BM_DigitsSweepAgainstPrintf(benchmark::State& state) {
  const int digits = static_cast<int>(state.range(0));
  SweepAgainstPrintf(
      state, digits, 20261209 + digits,
      [digits](std::mt19937_64& random, std::uint64_t i) {
        return DigitsSweepValue(random, i, digits);
      },
      [digits](char* out, double v) { return TDigitsFormat::Format(out, v, digits); });
}
} // namespace

BENCHMARK(BM_FormatSixDigits);
BENCHMARK(BM_ToCharsSixDigits);
BENCHMARK(BM_SnprintfSixDigits);
BENCHMARK(BM_SweepAgainstPrintf)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_FormatDigits)->Arg(6)->Arg(9)->Arg(12)->Arg(17);
BENCHMARK(BM_ToCharsDigits)->Arg(6)->Arg(9)->Arg(12)->Arg(17);
BENCHMARK(BM_DigitsSweepAgainstPrintf)->DenseRange(1, 17)->Iterations(1)->Unit(benchmark::kSecond);
