// Parsing real numbers, in ns per value, through the grid reader's tokenizer
// (TGridTokenizer::ReadDouble over a stream buffer that hands out windows of
// 256 KiB, as both the in-memory reader and the bounded path's two passes
// read; the InRuns cases through ReadShortDecimals a row at a time, as the
// piece loader reads), side by side with std::from_chars and strtod over
// the same text:
//   - GridValues: the first 1000 rows of the benchmark grid (BenchGrid.h),
//     values like "1234.56";
//   - Mix: short decimals, whole numbers, six-digit general notation,
//     seventeen-digit values, mantissas of 20 and more digits, exponents near
//     the limits and leading zeros.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <random>
#include <streambuf>
#include <string>

#include <benchmark/benchmark.h>

#include "BenchGrid.h"
#include "SideBySide.h"
#include "gridio/TGridTokenizer.h"

namespace {
// A text handed out in windows, as a file's stream buffer does.
class TTextWindows : public std::streambuf {
public:
  explicit TTextWindows(const std::string& text) : MbrRefText(text), MbrLngNext(0) {}

protected:
  int_type underflow() override {
    const std::size_t kWindow = 1 << 18;
    if (MbrLngNext >= MbrRefText.size())
      return traits_type::eof();
    char* begin = const_cast<char*>(MbrRefText.data()) + MbrLngNext;
    MbrLngNext = std::min(MbrRefText.size(), MbrLngNext + kWindow);
    setg(begin, begin, const_cast<char*>(MbrRefText.data()) + MbrLngNext);
    return traits_type::to_int_type(*begin);
  }

private:
  const std::string& MbrRefText;
  std::size_t MbrLngNext;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\n';
}

double SumByTokenizer(const std::string& text) {
  TTextWindows windows(text);
  std::istream stream(&windows);
  TGridTokenizer in(stream);
  double sum = 0.0;
  for (;;) {
    double value = 0.0;
    in.ReadDouble(value);
    if (in.Failed())
      break;
    sum += value;
  }
  return sum;
}

// The same as the piece loader reads, in rows of the benchmark grid's
// width: a run of short decimals from the start of each row, and the rest
// of a row that the run leaves unfinished value by value.
double SumByRuns(const std::string& text) {
  TTextWindows windows(text);
  std::istream stream(&windows);
  TGridTokenizer in(stream);
  static double row[BenchGrid::kSide];
  double sum = 0.0;
  for (std::size_t column = 0;; column = column == BenchGrid::kSide ? 0 : column) {
    const std::size_t read = column == 0 ? in.ReadShortDecimals(row, BenchGrid::kSide) : 0;
    for (std::size_t i = 0; i < read; ++i)
      sum += row[i];
    column += read;
    if (read > 0)
      continue;
    double value = 0.0;
    in.ReadDouble(value);
    if (in.Failed())
      break;
    sum += value;
    ++column;
  }
  return sum;
}

double SumByFromChars(const std::string& text) {
  const char* p = text.data();
  const char* end = p + text.size();
  double sum = 0.0;
  for (;;) {
    while (p < end && IsBlank(*p))
      ++p;
    double value = 0.0;
    const std::from_chars_result r = std::from_chars(p, end, value);
    if (r.ptr == p)
      break;
    sum += value;
    p = r.ptr;
  }
  return sum;
}

double SumByStrtod(const std::string& text) {
  const char* p = text.c_str();
  double sum = 0.0;
  for (;;) {
    char* stop = nullptr;
    const double value = std::strtod(p, &stop);
    if (stop == p)
      break;
    sum += value;
    p = stop;
  }
  return sum;
}

long CountTokens(const std::string& text) {
  long count = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    count += !IsBlank(text[i]) && (i + 1 == text.size() || IsBlank(text[i + 1]));
  return count;
}

void ParseSideBySide(benchmark::State& state, const std::string& text,
                     double (*ours)(const std::string&)) {
  const double values = static_cast<double>(CountTokens(text));
  SideBySide(state, values, [&] { benchmark::DoNotOptimize(ours(text)); },
             {{"from_chars", [&] { benchmark::DoNotOptimize(SumByFromChars(text)); }},
              {"strtod", [&] { benchmark::DoNotOptimize(SumByStrtod(text)); }}});
}

std::string MixText() {
  std::mt19937_64 random(18);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::string text;
  char token[80];
  for (int i = 0; i < 1000000; ++i) {
    const double sign = random() % 4 == 0 ? -1.0 : 1.0;
    int length = 0;
    switch (i % 8) {
    case 0:
      length = std::snprintf(token, sizeof token, "%.*f", static_cast<int>(random() % 5),
                             sign * unit(random) * 1e5);
      break;
    case 1:
      length = std::snprintf(token, sizeof token, "%.2f", 100.0 + unit(random) * 2900.0);
      break;
    case 2:
      length =
          std::snprintf(token, sizeof token, "%ld", static_cast<long>(random() % 199999) - 99999);
      break;
    case 3:
      length =
          std::snprintf(token, sizeof token, "%g", sign * std::pow(10.0, unit(random) * 16 - 8));
      break;
    case 4:
      length =
          std::snprintf(token, sizeof token, "%.17g", sign * std::pow(10.0, unit(random) * 10 - 5));
      break;
    case 5: {
      const int digits = 20 + static_cast<int>(random() % 6);
      const int point = static_cast<int>(random() % digits);
      for (int d = 0; d < digits; ++d) {
        if (d == point)
          token[length++] = '.';
        token[length++] = static_cast<char>('0' + random() % 10);
      }
      break;
    }
    case 6:
      length = std::snprintf(token, sizeof token, "%.6e",
                             sign * std::pow(10.0, unit(random) * 600 - 300));
      break;
    default:
      length = std::snprintf(token, sizeof token, "000%.3f", unit(random) * 1000);
      break;
    }
    text.append(token, static_cast<std::size_t>(length)).push_back(i % 10 == 9 ? '\n' : ' ');
  }
  return text;
}

const std::string& GridValuesText() {
  static const std::string text = BenchGrid::BodyText(0, 1000);
  return text;
}

const std::string& MixedText() {
  static const std::string text = MixText();
  return text;
}

void BM_ParseGridValues(benchmark::State& state) {
  ParseSideBySide(state, GridValuesText(), SumByTokenizer);
}

void BM_ParseGridValuesInRuns(benchmark::State& state) {
  ParseSideBySide(state, GridValuesText(), SumByRuns);
}

void BM_ParseMix(benchmark::State& state) {
  ParseSideBySide(state, MixedText(), SumByTokenizer);
}

void BM_ParseMixInRuns(benchmark::State& state) {
  ParseSideBySide(state, MixedText(), SumByRuns);
}
} // namespace

BENCHMARK(BM_ParseGridValues)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseGridValuesInRuns)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseMix)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseMixInRuns)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
