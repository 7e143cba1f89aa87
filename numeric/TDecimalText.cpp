#include "numeric/TDecimalText.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string>

namespace {
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::size_t SkipDigits(const char* text, std::size_t i) {
  while (IsDigit(text[i]))
    ++i;
  return i;
}
} // namespace

std::size_t TDecimalText::NumberLength(const char* text) {
  std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  const std::size_t integerStart = i;
  i = SkipDigits(text, i);
  std::size_t digits = i - integerStart;
  if (text[i] == '.') {
    const std::size_t fractionStart = i + 1;
    const std::size_t fractionEnd = SkipDigits(text, fractionStart);
    digits += fractionEnd - fractionStart;
    if (digits > 0)
      i = fractionEnd;
  }
  if (digits == 0)
    return 0;
  if (text[i] == 'e' || text[i] == 'E') {
    std::size_t e = i + 1;
    if (text[e] == '+' || text[e] == '-')
      ++e;
    if (IsDigit(text[e]))
      i = SkipDigits(text, e);
  }
  return i;
}

double TDecimalText::ToDouble(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text)))
    ++text;
  const std::size_t length = NumberLength(text);
  if (length == 0)
    return 0.0;
  const char* first = text[0] == '+' ? text + 1 : text;
  double value = 0.0;
  const std::from_chars_result result = std::from_chars(first, text + length, value);
  if (result.ec == std::errc() && result.ptr == text + length)
    return value;
  // Out of range: let the C library round the same (validated, decimal-only)
  // text to an infinity, a subnormal or zero.
  const std::string number(text, length);
  return std::strtod(number.c_str(), nullptr);
}
