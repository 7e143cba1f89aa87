#include "text/TDigitsFormat.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "text/DigitPairs.h"

namespace {
// Products of a 53-bit mantissa and 5^k need 117 bits.
__extension__ typedef unsigned __int128 TWide;

const int kLargestScale = 27;
// 5^k for k = 0 .. 27, the largest below 2^63; 10^k is 5^k x 2^k.
const std::uint64_t kPowersOfFive[kLargestScale + 1] = {1ULL,
                                                        5ULL,
                                                        25ULL,
                                                        125ULL,
                                                        625ULL,
                                                        3125ULL,
                                                        15625ULL,
                                                        78125ULL,
                                                        390625ULL,
                                                        1953125ULL,
                                                        9765625ULL,
                                                        48828125ULL,
                                                        244140625ULL,
                                                        1220703125ULL,
                                                        6103515625ULL,
                                                        30517578125ULL,
                                                        152587890625ULL,
                                                        762939453125ULL,
                                                        3814697265625ULL,
                                                        19073486328125ULL,
                                                        95367431640625ULL,
                                                        476837158203125ULL,
                                                        2384185791015625ULL,
                                                        11920928955078125ULL,
                                                        59604644775390625ULL,
                                                        298023223876953125ULL,
                                                        1490116119384765625ULL,
                                                        7450580596923828125ULL};

std::uint64_t PowerOfTen(int k) {
  return kPowersOfFive[k] << k;
}

// Where the exact scaled value lies against its whole part: the part
// discarded is below one half, exactly one half, or above it.
enum TRest { kBelowHalf, kHalf, kAboveHalf };

// The whole part of m x 2^q x 10^k and the rest, exactly; false where the
// numbers do not fit (left to the general conversion).
inline bool ScaleExactly(std::uint64_t m, int q, int k, std::uint64_t& whole, TRest& rest) {
  if (k >= 0) {
    if (k > kLargestScale)
      return false;
    const TWide product = static_cast<TWide>(m) * kPowersOfFive[k];
    const int shift = q + k;
    if (shift >= 0) {
      whole = static_cast<std::uint64_t>(product << shift);
      rest = kBelowHalf;
      return true;
    }
    if (shift <= -128)
      return false;
    whole = static_cast<std::uint64_t>(product >> -shift);
    // The bits shifted out, moved to the top: the first of them is the half.
    const TWide discarded = product << (128 + shift);
    const TWide half = static_cast<TWide>(1) << 127;
    rest = discarded < half ? kBelowHalf : discarded == half ? kHalf : kAboveHalf;
    return true;
  }
  const int j = -k;
  if (j > kLargestScale)
    return false;
  // m x 2^q / (5^j x 2^j): the power of two goes to whichever side keeps it
  // whole.
  const int shift = q - j;
  TWide numerator = m;
  TWide denominator = kPowersOfFive[j];
  if (shift >= 0) {
    if (shift > 127 - 53)
      return false;
    numerator <<= shift;
  } else {
    if (-shift > 64)
      return false;
    denominator <<= -shift;
  }
  // The quotient is below 10^18; plain 64-bit division where both fit.
  if ((numerator >> 64) == 0 && (denominator >> 64) == 0) {
    const std::uint64_t n = static_cast<std::uint64_t>(numerator);
    const std::uint64_t d = static_cast<std::uint64_t>(denominator);
    whole = n / d;
    const std::uint64_t r = n % d;
    // Twice the rest against the divisor, without overflowing.
    rest = r < d - r ? kBelowHalf : r == d - r ? kHalf : kAboveHalf;
    return true;
  }
  whole = static_cast<std::uint64_t>(numerator / denominator);
  const TWide r = numerator % denominator;
  rest = r < denominator - r ? kBelowHalf : r == denominator - r ? kHalf : kAboveHalf;
  return true;
}

// The value rounded to `digits` significant digits: Digits x 10^(Exponent -
// digits + 1), 10^(digits-1) <= Digits < 10^digits.
struct TRounded {
  std::uint64_t Digits;
  int Exponent;
};

bool Round(double magnitude, int digits, TRounded& result) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  const std::uint64_t m = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
  const int q = biased - 1075;
  // floor((biased - 1023) x log10(2)): the decimal exponent or one less.
  int exponent = ((biased - 1023) * 78913) >> 18;
  std::uint64_t whole = 0;
  TRest rest = kBelowHalf;
  if (!ScaleExactly(m, q, digits - 1 - exponent, whole, rest))
    return false;
  const std::uint64_t top = PowerOfTen(digits);
  if (whole >= top) {
    ++exponent;
    if (!ScaleExactly(m, q, digits - 1 - exponent, whole, rest))
      return false;
  }
  whole += rest == kAboveHalf || (rest == kHalf && (whole & 1) != 0);
  if (whole == top) {
    whole = PowerOfTen(digits - 1);
    ++exponent;
  }
  result = TRounded{whole, exponent};
  return true;
}

// The eight digits of a value below 10^8 as text in a word, the first in
// its low byte: the two halves of four digits, then the four pairs, then the
// eight digits are split side by side in the lanes of one word (divisions by
// 100 and by 10 as multiplications and shifts that are exact in this range).
std::uint64_t EightDigits(std::uint64_t value) {
  const std::uint64_t high = value / 10000;
  std::uint64_t lanes = high | (value - high * 10000) << 32;
  const std::uint64_t hundreds = (lanes * 10486) >> 20 & 0x0000007F0000007F;
  lanes = hundreds | (lanes - hundreds * 100) << 16;
  const std::uint64_t tens = (lanes * 103) >> 10 & 0x000F000F000F000F;
  lanes = tens | (lanes - tens * 10) << 8;
  return lanes + 0x3030303030303030;
}

const std::uint64_t kZeros = 0x3030303030303030;

// The digits of a rounded value as text: all seventeen places of a value
// below 10^17, leading zeros included, then zeros; returns how many places,
// counted from the first, it takes to reach the last digit that is not 0.
int WriteSeventeenPlaces(char* text, std::uint64_t value) {
  const std::uint64_t kEightPlaces = 100000000;
  const std::uint64_t rest = value % (kEightPlaces * kEightPlaces);
  const std::uint64_t middle = EightDigits(rest / kEightPlaces);
  const std::uint64_t last = EightDigits(rest % kEightPlaces);
  text[0] = static_cast<char>('0' + value / (kEightPlaces * kEightPlaces));
  StoreText(text + 1, middle);
  StoreText(text + 9, last);
  StoreText(text + 17, kZeros);
  StoreText(text + 25, kZeros);
  const std::uint64_t lastNonZeros = last ^ kZeros;
  if (lastNonZeros != 0)
    return 9 + (63 - __builtin_clzll(lastNonZeros)) / 8 + 1;
  const std::uint64_t middleNonZeros = middle ^ kZeros;
  if (middleNonZeros != 0)
    return 1 + (63 - __builtin_clzll(middleNonZeros)) / 8 + 1;
  return 1;
}

// The text of "%g" for a rounded value: fixed notation for exponents from -4
// up to digits - 1, exponential otherwise; trailing zeros of the fraction and
// a bare decimal point dropped. The copies have fixed lengths, so that they
// compile to a few wide moves: TDigitsFormat::kMaxLength leaves room for
// them past the text.
char* WriteRounded(char* out, bool negative, TRounded rounded, int digits) {
  char places[40];
  const int significant = WriteSeventeenPlaces(places, rounded.Digits) - (17 - digits);
  const char* text = places + 17 - digits;
  *out = '-';
  out += negative;
  const int exponent = rounded.Exponent;
  if (exponent >= 0 && exponent < digits) {
    const int whole = exponent + 1;
    std::memcpy(out, text, 17);
    if (significant <= whole)
      return out + whole;
    out[whole] = '.';
    std::memcpy(out + whole + 1, text + whole, 16);
    return out + significant + 1;
  }
  if (exponent < 0 && exponent >= -4) {
    std::memcpy(out, "0.000", 5);
    const int leadingZeros = -exponent - 1;
    std::memcpy(out + 2 + leadingZeros, text, 17);
    return out + 2 + leadingZeros + significant;
  }
  out[0] = text[0];
  out[1] = '.';
  std::memcpy(out + 2, text + 1, 16);
  // Without a fraction the point goes too.
  return WriteExponent(out + (significant > 1 ? significant + 1 : 1), exponent);
}

char* FormatExactly(char* out, double value, int digits) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>(bits >> 52 & 0x7ff);
  TRounded rounded{0, 0};
  const bool negative = (bits >> 63) != 0;
  if (biased != 0 && biased != 0x7ff && Round(negative ? -value : value, digits, rounded))
    return WriteRounded(out, negative, rounded, digits);
  return std::to_chars(out, out + TDigitsFormat::kMaxLength, value, std::chars_format::general,
                       digits)
      .ptr;
}
} // namespace

char* TDigitsFormat::Format(char* out, double value, int digits) {
  if (digits == TNumberFormat::kDefaultDigits)
    return TNumberFormat::Format(out, value);
  return FormatExactly(out, value, digits);
}

char* TDigitsFormat::FormatSeparated(char* out, const double* values, long count, char separator,
                                     int digits) {
  if (digits == TNumberFormat::kDefaultDigits)
    return TNumberFormat::FormatSeparated(out, values, count, separator);
  for (long i = 0; i < count; ++i) {
    out = FormatExactly(out, values[i], digits);
    *out++ = separator;
  }
  return out;
}
