#include "numeric/TVectorTools.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "numeric/TDecimalText.h"
#include "text/TDecimalGrammar.h"

namespace {
const char* const kVectorLengthsDiffer =
    "Length of vectors does not match in TVectorTools::VectorProduct";
const char* const kStepTooSmall =
    "Step is too small to advance the series in TVectorTools::VectorSeries";

// atoi on decimal text, saturating at the ends of the int range instead of
// overflowing.
int DecimalToInt(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text)))
    ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+')
    ++text;
  const long long limit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  for (; TDecimalGrammar::IsDigit(*text); ++text)
    magnitude = std::min(magnitude * 10 + (*text - '0'), limit);
  const long long value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
} // namespace

double TVectorTools::SumVector(std::vector<double> values) {
  double sum = 0.0;
  for (double value : values)
    sum += value;
  return sum;
}

double TVectorTools::VectorMean(std::vector<double> values) {
  const double count = static_cast<double>(values.size());
  return SumVector(std::move(values)) / count;
}

double TVectorTools::VectorWeightedMean(std::vector<double> values, std::vector<double> weights) {
  if (values.size() != weights.size())
    throw "Length of value and weight vectors do not match in TVectorTools::WeightedMean";
  double sum = 0.0;
  for (std::size_t i = 0; i < values.size(); ++i)
    sum += values[i] * weights[i];
  return sum / static_cast<double>(values.size());
}

std::vector<double> TVectorTools::VectorProduct(std::vector<double> a, std::vector<double> b) {
  if (a.size() != b.size())
    throw kVectorLengthsDiffer;
  for (std::size_t i = 0; i < a.size(); ++i)
    a[i] *= b[i];
  return a;
}

bool TVectorTools::HasValue(std::vector<double> values, double value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

bool TVectorTools::HasValue(std::vector<int> values, int value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

std::vector<int> TVectorTools::StringToInt(std::vector<std::string> texts) {
  std::vector<int> numbers;
  numbers.reserve(texts.size());
  for (const std::string& text : texts)
    numbers.push_back(DecimalToInt(text.c_str()));
  return numbers;
}

std::vector<double> TVectorTools::StringToDouble(std::vector<std::string> texts) {
  std::vector<double> numbers;
  numbers.reserve(texts.size());
  for (const std::string& text : texts)
    numbers.push_back(TDecimalText::ToDouble(text.c_str()));
  return numbers;
}

std::vector<double> TVectorTools::IntToDouble(std::vector<int> values) {
  return std::vector<double>(values.begin(), values.end());
}

std::vector<double> TVectorTools::VectorSeries(double start, double end, double step) {
  std::vector<double> series;
  if (!(start <= end))
    return series;
  if (!(step > 0.0))
    throw "Step must be greater than 0.0 in TVectorTools::VectorSeries";
  // Rounding is monotonic: when the step cannot move end, no term below end
  // can pass it either, so the series would stall somewhere on the way. Fail
  // now rather than after filling the memory (this covers an infinite end).
  if (end + step == end)
    throw kStepTooSmall;
  for (double term = start; term <= end;) {
    series.push_back(term);
    const double next = term + step;
    if (next == term)
      throw kStepTooSmall;
    term = next;
  }
  return series;
}

double TVectorTools::Gradient(std::vector<double> x, std::vector<double> y) {
  if (x.size() != y.size())
    throw kVectorLengthsDiffer;
  return Gradient(x.data(), y.data(), y.size());
}

double TVectorTools::Gradient(const double* x, const double* y, std::size_t count) {
  double sx = 0.0;
  double sy = 0.0;
  double sxx = 0.0;
  double sxy = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    sx += x[i];
    sy += y[i];
    sxx += x[i] * x[i];
    sxy += x[i] * y[i];
  }
  const double n = static_cast<double>(count);
  return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}
