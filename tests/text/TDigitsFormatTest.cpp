// TDigitsFormat against printf's "%.<N>g" for every N: limits, ties, near
// ties, decimal-looking values, every kind of value the rounding treats
// apart, the edges of the decades, whole numbers and random bit patterns; 17 digits read back
// exactly; the text stays within the room the callers give. QUILLMAP_DIGITS_SWEEP=<count> sets the
// count of each kind of generated value per N (the default, 20000, takes about a second; hundreds
// of millions make a sweep on demand).
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/SweepCount.h"
#include "text/TDigitsFormat.h"
#include "text/TNumberFormat.h"

namespace {
std::string Formatted(double value, int digits) {
  char text[TDigitsFormat::kMaxLength];
  return std::string(text, TDigitsFormat::Format(text, value, digits));
}

std::string Printed(double value, int digits) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%.*g", digits, value);
  return std::string(text, static_cast<std::size_t>(length));
}

double FromBits(std::uint64_t bits) {
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

long Count() {
  return SweepCount("QUILLMAP_DIGITS_SWEEP", 20000);
}

// The kinds of values that the rounding treats apart, for a digit count.
enum TKind {
  kAnyBits,
  kGridMagnitude, // 2^-40 .. 2^40
  kTieOfTheNextDigit,
  kMeanOfDecimals,
  kDecadeEdge,
  kWholeTie, // a tie of a whole number, divided out exactly
  kSubnormal,
  kBeyond2To53,
  kKindCount
};

double Neighbour(double value, std::mt19937_64& random) {
  switch (random() % 4) {
  case 0:
    return std::nextafter(value, 0.0);
  case 1:
    return std::nextafter(value, HUGE_VAL);
  default:
    return value;
  }
}

double Generate(int kind, int digits, std::mt19937_64& random) {
  const double sign = random() % 2 == 0 ? 1.0 : -1.0;
  // A whole number of `digits` digits.
  const auto leading = [&] {
    const std::uint64_t low = static_cast<std::uint64_t>(std::pow(10.0, digits - 1));
    return static_cast<double>(low + random() % (9 * low));
  };
  switch (kind) {
  case kAnyBits:
    return FromBits(random());
  case kGridMagnitude:
    return sign * std::ldexp(static_cast<double>(random() >> 11),
                             -53 + static_cast<int>(random() % 81) - 40);
  case kTieOfTheNextDigit: {
    const double tie = (leading() * 10 + 5) * std::pow(10.0, static_cast<int>(random() % 56) - 40);
    return sign * Neighbour(tie, random);
  }
  case kMeanOfDecimals: {
    const double scale = std::pow(10.0, static_cast<int>(random() % 3) + 2);
    const double a = static_cast<double>(random() % 20000000) / scale;
    const double b = static_cast<double>(random() % 20000000) / scale;
    return sign * (random() % 2 == 0 ? (a + b) / 2 : (a + 3 * b) / 4);
  }
  case kDecadeEdge:
    return sign * Neighbour(std::pow(10.0, static_cast<int>(random() % 76) - 30), random);
  case kWholeTie: {
    // (10 x leading + 5) x 10^j: exact, and a tie of the digit after the
    // leading ones, while it stays below 2^53.
    const double tie = (leading() * 10 + 5) * std::pow(10.0, static_cast<int>(random() % 6));
    return sign * (tie < 9007199254740992.0 ? tie : leading() * 2 + 1);
  }
  case kSubnormal:
    return sign * FromBits(random() & ((std::uint64_t{1} << 52) - 1));
  default:
    return sign * std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 60));
  }
}

// Counts mismatches and reports the first few.
class TChecker {
public:
  void Check(double value, int digits) {
    const std::string expected = Printed(value, digits);
    const std::string actual = Formatted(value, digits);
    if (expected == actual)
      return;
    if (++MbrLngFailures <= 10)
      ADD_FAILURE() << "%." << digits << "g of " << Printed(value, 17) << ": " << actual
                    << " instead of " << expected;
  }
  long Failures() const { return MbrLngFailures; }

private:
  long MbrLngFailures = 0;
};

// check(checker, digits, random) for every digit count, with one stream of
// random numbers seeded with `seed` throughout; the mismatches.
using TRandom = std::mt19937_64;
template <class TCheck> long MismatchesAtEveryDigitCount(unsigned seed, TCheck check) {
  TRandom random(seed);
  TChecker checker;
  for (int digits = TDigitsFormat::kFewestDigits; digits <= TDigitsFormat::kMostDigits; ++digits)
    check(checker, digits, random);
  return checker.Failures();
}
} // namespace

TEST(TDigitsFormatTest, LimitsTiesAndEdgesMatchPrintf) {
  const double values[] = {0.0,
                           -0.0,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::lowest(),
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(),
                           1790122.5,
                           0.5,
                           1.5,
                           2.5,
                           0.125,
                           0.0001,
                           0.00001,
                           123456789012345678.0,
                           9007199254740993.0,
                           9.5,
                           99.5,
                           999999.5,
                           9999999999999999.0,
                           99999999999999999.0,
                           0.1,
                           1.0 / 3.0,
                           2.0 / 3.0,
                           1e22,
                           1e23,
                           5e-324,
                           1e100,
                           1.5e-100,
                           -3.4028234663852886e+38,
                           -1.70141e+38,
                           4.18e6,
                           -2668.04,
                           1e16,
                           1e17,
                           1e-11,
                           1e-12,
                           123.456};
  const long mismatches =
      MismatchesAtEveryDigitCount(0, [&](TChecker& checker, int digits, TRandom&) {
        for (double value : values) {
          checker.Check(value, digits);
          checker.Check(-value, digits);
        }
        // Exact ties at the digit being rounded: k + 0.5 scaled by powers of two.
        for (long k = 0; k < 2000; ++k)
          for (int shift = -8; shift <= 8; shift += 4)
            checker.Check(std::ldexp(static_cast<double>(k) + 0.5, shift), digits);
      });
  EXPECT_EQ(mismatches, 0);
}

TEST(TDigitsFormatTest, DecimalLookingValuesAndNeighboursMatchPrintf) {
  const long mismatches =
      MismatchesAtEveryDigitCount(7, [&](TChecker& checker, int digits, TRandom& random) {
        for (int k = 0; k < 4000; ++k) {
          // Decimal texts of up to 18 digits and their neighbouring doubles,
          // where a correctly rounded scale decides ties and near ties.
          const double whole = static_cast<double>(random() % 1000000000000000000ULL);
          const double value = whole / std::pow(10.0, static_cast<double>(random() % 30)) *
                               std::pow(10.0, static_cast<double>(random() % 12));
          checker.Check(value, digits);
          checker.Check(std::nextafter(value, 0.0), digits);
          checker.Check(std::nextafter(value, HUGE_VAL), digits);
        }
      });
  EXPECT_EQ(mismatches, 0);
}

TEST(TDigitsFormatTest, EveryKindOfValueMatchesPrintf) {
  const long count = Count();
  const long mismatches =
      MismatchesAtEveryDigitCount(17, [&](TChecker& checker, int digits, TRandom& random) {
        for (int kind = 0; kind < kKindCount; ++kind)
          for (long k = 0; k < count; ++k)
            checker.Check(Generate(kind, digits, random), digits);
      });
  EXPECT_EQ(mismatches, 0);
}

TEST(TDigitsFormatTest, RandomBitPatternsMatchPrintf) {
  const long count = Count();
  const long mismatches =
      MismatchesAtEveryDigitCount(11, [&](TChecker& checker, int digits, TRandom& random) {
        for (long k = 0; k < count; ++k) {
          checker.Check(FromBits(random()), digits);
          // Magnitudes that grids hold: 1e-12 .. 1e12.
          checker.Check(std::ldexp(static_cast<double>(random() >> 11),
                                   -53 + static_cast<int>(random() % 80) - 40),
                        digits);
        }
      });
  EXPECT_EQ(mismatches, 0);
}

// Every binary exponent, with the least and the greatest significand and
// random ones between: the edges of each digit count's scales, and each
// scale's shift.
TEST(TDigitsFormatTest, EveryBinaryExponentMatchesPrintf) {
  const std::uint64_t kSignificand = (std::uint64_t{1} << 52) - 1;
  const long mismatches =
      MismatchesAtEveryDigitCount(29, [&](TChecker& checker, int digits, TRandom& random) {
        for (std::uint64_t biased = 0; biased < 0x7ff; ++biased) {
          const std::uint64_t significands[] = {0, kSignificand, random() & kSignificand,
                                                random() & kSignificand};
          for (std::uint64_t significand : significands) {
            const std::uint64_t bits = biased << 52 | significand;
            checker.Check(FromBits(bits), digits);
            checker.Check(FromBits(bits | std::uint64_t{1} << 63), digits);
          }
        }
      });
  EXPECT_EQ(mismatches, 0);
}

// Values with a short decimal expansion (n x 10^p / 2^s, exact): the text
// ends at every place of every digit count, before and after the point and
// in exponential notation.
TEST(TDigitsFormatTest, ShortExpansionsMatchPrintf) {
  const long count = Count();
  const long mismatches =
      MismatchesAtEveryDigitCount(31, [&](TChecker& checker, int digits, TRandom& random) {
        for (long k = 0; k < count; ++k) {
          const double whole = static_cast<double>(1 + random() % (std::uint64_t{1} << 24)) *
                               std::pow(10.0, static_cast<int>(random() % 10));
          const double value = std::ldexp(whole, -static_cast<int>(random() % 40));
          // Only exact products: below 2^53.
          if (whole < 9007199254740992.0) {
            checker.Check(value, digits);
            checker.Check(-value, digits);
          }
        }
      });
  EXPECT_EQ(mismatches, 0);
}

// The values around each power of ten from 10^-30 to 10^46, a few steps
// either way: the power itself, where each digit count's rounding reaches
// it ((10^M - 1/2) x 10^(p - M), read as text), the powers of two around it
// and the eighths of the binade that holds it.
std::vector<double> DecadeEdges() {
  std::vector<double> centres;
  for (int p = -30; p <= 46; ++p) {
    const double power = std::strtod(("1e" + std::to_string(p)).c_str(), nullptr);
    centres.push_back(power);
    for (int m = TDigitsFormat::kFewestDigits; m <= TDigitsFormat::kMostDigits; ++m)
      centres.push_back(
          std::strtod((std::string(m, '9') + "5e" + std::to_string(p - m - 1)).c_str(), nullptr));
    int exponent = 0;
    std::frexp(power, &exponent);
    for (int eighth = 0; eighth <= 8; ++eighth)
      centres.push_back(std::ldexp(1.0 + eighth / 8.0, exponent - 1));
    centres.push_back(std::ldexp(1.0, exponent - 2));
  }
  std::vector<double> values;
  for (double centre : centres) {
    double below = centre;
    double above = centre;
    values.push_back(centre);
    for (int step = 0; step < 4; ++step) {
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, HUGE_VAL);
      values.push_back(below);
      values.push_back(above);
    }
  }
  return values;
}

// Whole numbers, as grids of whole metres or of class codes hold them: all
// up to 20000, and a few hundred on either side of each power of ten.
std::vector<double> WholeNumbers() {
  std::vector<double> values;
  for (int k = 0; k <= 20000; ++k)
    values.push_back(k);
  for (int p = 5; p <= 22; ++p)
    for (int k = -300; k <= 300; ++k)
      values.push_back(std::pow(10.0, p) + k);
  return values;
}

TEST(TDigitsFormatTest, DecadeEdgesAndWholeNumbersMatchPrintf) {
  const std::vector<double> edges = DecadeEdges();
  const std::vector<double> wholes = WholeNumbers();
  const long mismatches =
      MismatchesAtEveryDigitCount(0, [&](TChecker& checker, int digits, TRandom&) {
        for (double value : edges) {
          checker.Check(value, digits);
          checker.Check(-value, digits);
        }
        for (double value : wholes)
          checker.Check(value, digits);
      });
  EXPECT_EQ(mismatches, 0);
}

TEST(TDigitsFormatTest, SeventeenDigitsReadBackExactly) {
  std::mt19937_64 random(13);
  long mismatches = 0;
  for (long k = 0; k < 200000; ++k) {
    const double value = FromBits(random());
    if (std::isnan(value))
      continue;
    char text[TDigitsFormat::kMaxLength];
    const char* end = TDigitsFormat::Format(text, value, 17);
    double back = 0.0;
    std::from_chars(text, end, back);
    mismatches += std::memcmp(&back, &value, sizeof value) != 0;
  }
  EXPECT_EQ(mismatches, 0);
}

// The text may take whole words past its end, never past the room the
// callers give: kMaxLength, and TNumberFormat's 32 characters for up to
// its 12 digits.
TEST(TDigitsFormatTest, WritesStayWithinTheRoom) {
  std::mt19937_64 random(19);
  for (int digits = TDigitsFormat::kFewestDigits; digits <= TDigitsFormat::kMostDigits; ++digits) {
    const int room = digits <= TNumberFormat::kGeoreferenceDigits ? TNumberFormat::kMaxLength
                                                                  : TDigitsFormat::kMaxLength;
    for (int kind = 0; kind < kKindCount; ++kind)
      for (int k = 0; k < 2000; ++k) {
        char text[64];
        std::memset(text, '#', sizeof text);
        TDigitsFormat::Format(text, Generate(kind, digits, random), digits);
        ASSERT_EQ(std::string(text + room, sizeof text - room),
                  std::string(sizeof text - room, '#'))
            << digits << " digits, kind " << kind;
      }
  }
}

TEST(TDigitsFormatTest, SeparatedTextIsEachValueThenTheSeparator) {
  std::mt19937_64 random(23);
  std::vector<double> values;
  for (int k = 0; k < 400; ++k)
    values.push_back(Generate(k % kKindCount, 1 + k % 17, random));
  std::vector<char> text(values.size() * (TDigitsFormat::kMaxLength + 1));
  for (int digits = TDigitsFormat::kFewestDigits; digits <= TDigitsFormat::kMostDigits; ++digits) {
    std::string expected;
    for (double value : values)
      expected += Formatted(value, digits) + ',';
    const char* end = TDigitsFormat::FormatSeparated(text.data(), values.data(),
                                                     static_cast<long>(values.size()), ',', digits);
    EXPECT_EQ(std::string(static_cast<const char*>(text.data()), end), expected)
        << digits << " digits";
  }
}

// Every count up to two turns of the widest loop and a few past, so that
// each leftover of a turn is written: the text of the first count values,
// and nothing written past the room the caller gives.
TEST(TDigitsFormatTest, SeparatedTextOfEveryShortCount) {
  std::mt19937_64 random(29);
  std::vector<double> values;
  for (int k = 0; k < 20; ++k)
    values.push_back(Generate(k % kKindCount, 17, random));
  for (int digits = TDigitsFormat::kFewestDigits; digits <= TDigitsFormat::kMostDigits; ++digits) {
    std::string expected;
    for (std::size_t count = 0; count <= values.size(); ++count) {
      const std::size_t room = count * (TDigitsFormat::kMaxLength + 1);
      std::vector<char> text(room + TDigitsFormat::kMaxLength, '#');
      const char* end = TDigitsFormat::FormatSeparated(text.data(), values.data(),
                                                       static_cast<long>(count), ' ', digits);
      EXPECT_EQ(std::string(static_cast<const char*>(text.data()), end), expected)
          << digits << " digits, " << count << " values";
      EXPECT_EQ(std::string(text.begin() + static_cast<long>(room), text.end()),
                std::string(TDigitsFormat::kMaxLength, '#'))
          << digits << " digits, " << count << " values";
      if (count < values.size())
        expected += Formatted(values[count], digits) + ' ';
    }
  }
}

TEST(TDigitsFormatTest, SeparatedValuesEachFollowedByTheSeparator) {
  const double values[] = {1790122.5, -0.1, 3.0};
  char text[3 * (TDigitsFormat::kMaxLength + 1)];
  const char* end = TDigitsFormat::FormatSeparated(text, values, 3, ' ', 9);
  EXPECT_EQ(std::string(static_cast<const char*>(text), end), "1790122.5 -0.1 3 ");
  end = TDigitsFormat::FormatSeparated(text, values, 3, ',', 6);
  EXPECT_EQ(std::string(static_cast<const char*>(text), end), "1.79012e+06,-0.1,3,");
}
