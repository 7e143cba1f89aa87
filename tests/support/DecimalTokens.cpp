#include "support/DecimalTokens.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {
std::string Digits(std::mt19937_64& random, int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text.push_back(static_cast<char>('0' + random() % 10));
  return text;
}

std::string Sign(std::mt19937_64& random) {
  return random() % 3 == 0 ? "-" : "";
}

// Digits with a point somewhere (or none), some of them leading zeros.
std::string Mantissa(std::mt19937_64& random, int count) {
  std::string digits = Digits(random, count);
  const int zeros = static_cast<int>(random() % 4) == 0 ? static_cast<int>(random() % 3) : 0;
  digits.insert(0, static_cast<std::size_t>(zeros), '0');
  const std::size_t point = random() % (digits.size() + 2);
  if (point <= digits.size())
    digits.insert(point, 1, '.');
  return digits;
}

std::string Exponent(std::mt19937_64& random, int magnitude) {
  const char* marks[] = {"e", "E"};
  const char* signs[] = {"", "+", "-"};
  const int value = static_cast<int>(random() % static_cast<unsigned>(magnitude + 1));
  const char* sign = signs[random() % 3];
  const int width = 1 + static_cast<int>(random() % 3);
  char text[32];
  std::snprintf(text, sizeof text, "%s%s%0*d", marks[random() % 2], sign, width, value);
  return text;
}

std::string Printed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// The exact decimal text of the midpoint between value and the next double
// up (a long double holds it exactly), or that text one unit off in its last
// digit.
std::string Midpoint(std::mt19937_64& random) {
  std::uint64_t bits = random() & 0x7fefffffffffffff;
  if (random() % 2 == 0) // magnitudes of grid values
    bits = (bits & 0x000fffffffffffff) | (static_cast<std::uint64_t>(1013 + random() % 40) << 52);
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  if (value == std::numeric_limits<double>::max())
    value = std::nextafter(value, 0.0);
  const long double middle =
      (static_cast<long double>(value) + std::nextafter(value, HUGE_VAL)) / 2;
  // Up to 309 whole digits, and 1075 after the point for the smallest.
  char text[1600];
  std::snprintf(text, sizeof text, "%.1100Lf", middle);
  std::string digits = text;
  digits.erase(digits.find_last_not_of('0') + 1);
  if (digits.back() == '.')
    digits.pop_back();
  const int nudge = static_cast<int>(random() % 3) - 1;
  char& last = digits.back();
  if (nudge != 0 && last != '.' && last + nudge >= '0' && last + nudge <= '9')
    last = static_cast<char>(last + nudge);
  return digits;
}

std::string NearLimits(std::mt19937_64& random) {
  static const char* const kTexts[] = {"1.7976931348623157e308",
                                       "1.7976931348623158e308",
                                       "1.7976931348623159e308",
                                       "1e308",
                                       "1e309",
                                       "9e999",
                                       "2.2250738585072014e-308",
                                       "2.2250738585072011e-308",
                                       "4.9406564584124654e-324",
                                       "2.4703282292062328e-324",
                                       "2.4703282292062327e-324",
                                       "1e-400",
                                       "0.000000000000000000000000000000000000000000001e-300",
                                       "1e22",
                                       "1e23",
                                       "123456789012345e22",
                                       "1e-22",
                                       "1e-23",
                                       "999999999999999e-22"};
  const std::string text = kTexts[random() % (sizeof kTexts / sizeof *kTexts)];
  return Sign(random) + text;
}

std::string Malformed(std::mt19937_64& random) {
  static const char* const kTexts[] = {
      "abc",  "x1",    "1.5x",  "12abc", "e5",  "E",   "1e",   "1e+",  "1E-",  "-",
      "+",    "+-1",   "--1",   ".",     "-.",  ".e5", "nan",  "inf",  "-inf", "0x1A",
      "1..2", "1e5.5", "1.2.3", "+5",    "+.5", "1,5", "\x01", "\xff", "5e",   "0e"};
  return kTexts[random() % (sizeof kTexts / sizeof *kTexts)];
}
// Every length of mantissa up to 19 digits, with the point before, between
// or after them, behind any sign: the layouts around a word of bytes.
std::string AnyLayout(std::mt19937_64& random) {
  static const char* const kSigns[] = {"", "", "-", "+"};
  const int count = 1 + static_cast<int>(random() % 19);
  std::string digits = Digits(random, count);
  const std::size_t point = random() % (digits.size() + 2);
  if (point <= digits.size())
    digits.insert(point, 1, '.');
  return kSigns[random() % 4] + digits + (random() % 8 == 0 ? Exponent(random, 30) : "");
}
} // namespace

std::string GenerateToken(TTokenKind kind, std::mt19937_64& random) {
  switch (kind) {
  case TTokenKind::ShortDecimal:
    return Sign(random) + Mantissa(random, 1 + static_cast<int>(random() % 13));
  case TTokenKind::ShortExponent:
    return Sign(random) + Mantissa(random, 1 + static_cast<int>(random() % 13)) +
           Exponent(random, 24);
  case TTokenKind::LongMantissa:
    return Sign(random) + Mantissa(random, 16 + static_cast<int>(random() % 25)) +
           (random() % 2 == 0 ? Exponent(random, 40) : "");
  case TTokenKind::Midpoint:
    return Sign(random) + Midpoint(random);
  case TTokenKind::NearLimits:
    return NearLimits(random);
  case TTokenKind::Subnormal: {
    double value = 0.0;
    const std::uint64_t bits = random() & 0x000fffffffffffff;
    std::memcpy(&value, &bits, sizeof value);
    return Sign(random) + Printed("%.17g", value);
  }
  case TTokenKind::Malformed:
    return Malformed(random);
  default:
    return AnyLayout(random);
  }
}

std::string GenerateToken(long index, std::mt19937_64& random) {
  const long kinds = static_cast<long>(TTokenKind::Count);
  return GenerateToken(static_cast<TTokenKind>(index % kinds), random);
}
