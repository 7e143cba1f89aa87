#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "text/TNumberFormat.h"

namespace {
std::string Formatted(double value, int digits = TNumberFormat::kDefaultDigits) {
  char text[TNumberFormat::kMaxLength];
  return std::string(text, TNumberFormat::Format(text, value, digits));
}

std::string Streamed(double value, int digits = 6) {
  std::ostringstream stream;
  stream.precision(digits);
  stream << value;
  return stream.str();
}

std::string Printed(double value) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%g", value);
  return std::string(text, static_cast<std::size_t>(length));
}

double FromBits(std::uint64_t bits) {
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}
} // namespace

TEST(TNumberFormatTest, WritesWhatADefaultStreamWrites) {
  const double limits[] = {0.0,
                           -0.0,
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::lowest(),
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(),
                           -std::numeric_limits<double>::denorm_min(),
                           4e-320,
                           0.0001,
                           0.00001,
                           1e-5,
                           123456.5,
                           1234565,
                           999999.5,
                           9999995,
                           0.1,
                           1.0 / 3.0,
                           25.0,
                           -9999,
                           4.5e6,
                           4100035,
                           1e15,
                           1e16,
                           1e21,
                           0.30000000000000004};
  for (double value : limits)
    EXPECT_EQ(Streamed(value), Formatted(value)) << Streamed(value, 17);

  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> decimal(-1e7, 1e7);
  std::uniform_int_distribution<int> digits(0, 7);
  for (int i = 0; i < 100000; ++i) {
    // Raw bit patterns cover every exponent; decimals rounded to a few digits
    // hit the ties of 6-digit rounding.
    const double raw = FromBits(random());
    const double scale = std::pow(10.0, digits(random));
    const double rounded = std::round(decimal(random) * scale) / scale;
    ASSERT_EQ(Streamed(raw), Formatted(raw)) << Streamed(raw, 17);
    ASSERT_EQ(Streamed(rounded), Formatted(rounded)) << Streamed(rounded, 17);
    ASSERT_EQ(Streamed(rounded, 12), Formatted(rounded, 12)) << Streamed(rounded, 17);
  }
}

// Six digits take their own rounding path; these are the values where it
// could go wrong: on and around every kind of rounding tie, at the decade
// edges where the exponent or the notation changes, and far out where the
// general conversion takes over.
TEST(TNumberFormatTest, SixDigitsMatchPrintfAtTiesAndEdges) {
  const double edges[] = {999999.5,    9999995,       99999.95,
                          0.0001,      0.00009999995, 0.000099999,
                          123456.5,    123457.5,      1234565,
                          1234575,     0.1234565,     2.5,
                          1e-17,       9.99999e-18,   1e27,
                          9.999995e27, 1e28,          1e-300,
                          5e-324,      1e300,         1.7976931348623157e308,
                          1e5,         1e6,           999999.4999999999};
  for (double value : edges) {
    for (double v : {value, -value, std::nextafter(value, 0.0), std::nextafter(value, 1e308)})
      ASSERT_EQ(Printed(v), Formatted(v)) << Streamed(v, 17);
  }

  std::mt19937_64 random(7);
  std::uniform_int_distribution<long> sixDigits(100000, 999999);
  std::uniform_int_distribution<long> hundredths(-200000, 200000);
  std::uniform_int_distribution<int> decade(-20, 30);
  for (int i = 0; i < 40000; ++i) {
    // A seventh digit of 5: a tie in decimal, near one in binary.
    const double tie = (sixDigits(random) * 10 + 5) * std::pow(10.0, decade(random));
    for (double v : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e308), -tie})
      ASSERT_EQ(Printed(v), Formatted(v)) << Streamed(v, 17);
    // Means of values with two decimals, as a resampled grid holds them.
    const double a = hundredths(random) / 100.0;
    const double b = hundredths(random) / 100.0;
    for (double v : {a, (a + b) / 2, (a + b) / 4, (a + 3 * b) / 4})
      ASSERT_EQ(Printed(v), Formatted(v)) << Streamed(v, 17);
  }
}

TEST(TNumberFormatTest, WritesWholeNumbersInDecimal) {
  for (long value :
       {0L, -1L, 42L, std::numeric_limits<long>::min(), std::numeric_limits<long>::max()}) {
    char text[TNumberFormat::kMaxLength];
    std::ostringstream stream;
    stream << value;
    EXPECT_EQ(stream.str(), std::string(text, TNumberFormat::Format(text, value)));
  }
}

TEST(TNumberFormatTest, GeoreferenceKeepsSixDigitsOnlyWhenTheyAreExact) {
  const struct {
    double value;
    std::streamsize precision;
  } cases[] = {
      {100.0, 6},
      {0.1, 6},
      {-9999.0, 6},
      {4.5e6, 6},
      {123456.0, 6},
      {4100035.0, 12},
      {0.30000000000000004, 12},
      {1.0 / 3.0, 12},
      {1234567.5, 12},
      {0.0, 6},
      {-0.0, 6},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.precision, TNumberFormat::GeoreferencePrecision(c.value, 6)) << c.value;
  // A stream already at 12 digits or more keeps its own precision.
  EXPECT_EQ(15, TNumberFormat::GeoreferencePrecision(1.0 / 3.0, 15));
  EXPECT_EQ(3, TNumberFormat::GeoreferencePrecision(0.5, 3));
  EXPECT_EQ(12, TNumberFormat::GeoreferencePrecision(0.1234, 3));
}

TEST(TNumberFormatTest, OnlyTheDefaultFormattingStateCountsAsDefault) {
  std::ostringstream fresh;
  EXPECT_TRUE(TNumberFormat::IsDefaultState(fresh));
  fresh << std::unitbuf;
  EXPECT_TRUE(TNumberFormat::IsDefaultState(fresh));

  std::ostringstream precise;
  precise.precision(7);
  std::ostringstream fixed;
  fixed << std::fixed;
  std::ostringstream wide;
  wide.width(3);
  std::ostringstream filled;
  filled.fill('0');
  std::ostringstream showing;
  showing << std::showpos;
  std::ostringstream imbued;
  imbued.imbue(std::locale(std::locale::classic(), new std::numpunct<char>()));
  for (std::ostringstream* stream : {&precise, &fixed, &wide, &filled, &showing, &imbued})
    EXPECT_FALSE(TNumberFormat::IsDefaultState(*stream));
}
