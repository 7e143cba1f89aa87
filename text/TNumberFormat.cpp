#include "text/TNumberFormat.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <locale>

#include "text/DigitPairs.h"
#include "text/TDecimalGrammar.h"

namespace {
const double* const kExactPowersOfTen = TDecimalGrammar::kExactPowersOfTen;
const int kLargestExactPower = TDecimalGrammar::kLargestExactPower;

// Six significant digits of a value and its decimal exponent: the value
// rounded to six digits is Digits x 10^(Exponent - 5).
struct TSixDigits {
  std::uint32_t Digits;
  int Exponent;
};

// magnitude x 10^scale with one correctly rounded operation; scale lies
// within -kLargestExactPower .. kLargestExactPower.
double Scaled(double magnitude, int scale) {
  return scale >= 0 ? magnitude * kExactPowersOfTen[scale] : magnitude / kExactPowersOfTen[-scale];
}

// The rounding error of product = a x b: a x b is exactly product + the
// result (Dekker's product with Veltkamp's split; exact when nothing
// overflows or underflows and no multiply-add is fused).
double ProductError(double a, double b, double product) {
  const double kSplitter = 134217729.0; // 2^27 + 1
  const double aSplit = kSplitter * a;
  const double aHigh = aSplit - (aSplit - a);
  const double aLow = a - aHigh;
  const double bSplit = kSplitter * b;
  const double bHigh = bSplit - (bSplit - b);
  const double bLow = b - bHigh;
  return ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
}

// Rounds a normal, nonzero magnitude to six significant digits, to nearest
// as "%g" does, or returns false where the general conversion must decide:
// exact ties (which go to even there), ties of a scale that divides, and
// magnitudes beyond the exact powers of ten.
//
// The magnitude is scaled into [1e5, 1e6) by an exact power of ten with one
// rounding. Rounding is monotonic and keeps each midpoint whole + 1/2 (a
// double here) in place, so the scaled value lies on the same side of it as
// the exact one, or on it; only then is the exact error of a multiplying
// scale needed.
bool RoundToSixDigits(double magnitude, int binaryExponent, TSixDigits& result) {
  // floor(binaryExponent x log10(2)); the decimal exponent is this or one more.
  int exponent = (binaryExponent * 78913) >> 18;
  if (exponent < 5 - kLargestExactPower || exponent > 4 + kLargestExactPower)
    return false;
  int scale = 5 - exponent;
  double scaled = Scaled(magnitude, scale);
  if (scaled >= 1e6) {
    ++exponent;
    --scale;
    scaled = Scaled(magnitude, scale);
  }
  const std::uint32_t whole = static_cast<std::uint32_t>(scaled);
  double offset = (scaled - whole) - 0.5;
  // Off the midpoint the offset is at least a unit in the last place, more
  // than the error; adding it always spares a branch that data mispredicts.
  if (scale >= 0)
    offset += ProductError(magnitude, kExactPowersOfTen[scale], scaled);
  if (offset == 0.0)
    return false;
  std::uint32_t digits = whole + (offset > 0.0 ? 1 : 0);
  if (digits == 1000000) {
    digits = 100000;
    ++exponent;
  }
  // A value a hair below a power of ten may scale just below 1e5 and round
  // up to it; anything else below means the decade was missed.
  if (digits < 100000 || digits > 999999)
    return false;
  result = TSixDigits{digits, exponent};
  return true;
}

// Two digit characters, the first in the low byte.
std::uint64_t DigitPair(std::uint32_t value) {
  const char* pair = kDigitPairs + 2 * value;
  return static_cast<std::uint64_t>(static_cast<unsigned char>(pair[0])) |
         static_cast<std::uint64_t>(static_cast<unsigned char>(pair[1])) << 8;
}

// The text of "%g" for a rounded value: fixed notation for exponents -4 to
// 5, exponential notation otherwise (the exponent lies within -17 .. 28
// here, two digits); trailing zeros of the fraction and a
// bare decimal point dropped. Writes at most 24 characters at out.
char* WriteSixDigits(char* out, bool negative, TSixDigits six) {
  const std::uint64_t kZeros = 0x3030303030303030;
  const std::uint64_t text = DigitPair(six.Digits / 10000) |
                             DigitPair(six.Digits / 100 % 100) << 16 |
                             DigitPair(six.Digits % 100) << 32 | (kZeros << 48);
  // The last digit that is not 0 (the first never is).
  const std::uint64_t nonZeros = (text ^ kZeros) & 0xffffffffffff;
  const int significant = (63 - __builtin_clzll(nonZeros)) / 8 + 1;

  *out = '-';
  out += negative;
  const int exponent = six.Exponent;
  if (exponent >= 0 && exponent < 6) {
    const int whole = exponent + 1;
    StoreText(out, text);
    if (significant <= whole)
      return out + whole;
    out[whole] = '.';
    StoreText(out + whole + 1, text >> (8 * whole));
    return out + significant + 1;
  }
  if (exponent < 0 && exponent >= -4) {
    std::memcpy(out, "0.000", 5);
    const int leadingZeros = -exponent - 1;
    StoreText(out + 2 + leadingZeros, text);
    return out + 2 + leadingZeros + significant;
  }
  out[0] = static_cast<char>(text & 0xff);
  int length = 1;
  if (significant > 1) {
    out[1] = '.';
    StoreText(out + 2, text >> 8);
    length = significant + 1;
  }
  return WriteExponent(out + length, exponent);
}

// The six-digit text of a finite, normal, nonzero value, or nullptr when it
// is left to the general conversion.
char* FormatSixDigits(char* out, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const int biasedExponent = static_cast<int>(bits >> 52 & 0x7ff);
  if (biasedExponent == 0 || biasedExponent == 0x7ff)
    return nullptr;
  const bool negative = (bits >> 63) != 0;
  TSixDigits six{0, 0};
  if (!RoundToSixDigits(negative ? -value : value, biasedExponent - 1023, six))
    return nullptr;
  return WriteSixDigits(out, negative, six);
}
} // namespace

bool TNumberFormat::IsDefaultState(const std::ostream& stream) {
  const std::ios_base::fmtflags kNoText = std::ios_base::skipws | std::ios_base::unitbuf;
  return (stream.flags() & ~kNoText) == std::ios_base::dec &&
         stream.precision() == kDefaultDigits && stream.width() == 0 && stream.fill() == ' ' &&
         stream.getloc() == std::locale::classic();
}

char* TNumberFormat::Format(char* out, double value, int digits) {
  if (digits == kDefaultDigits)
    if (char* end = FormatSixDigits(out, value))
      return end;
  return FormatGeneral(out, value, digits);
}

char* TNumberFormat::FormatSeparated(char* out, const double* values, long count, char separator) {
  for (long i = 0; i < count; ++i) {
    char* end = FormatSixDigits(out, values[i]);
    out = end ? end : FormatGeneral(out, values[i], kDefaultDigits);
    *out++ = separator;
  }
  return out;
}

char* TNumberFormat::FormatGeneral(char* out, double value, int digits) {
  return std::to_chars(out, out + kMaxLength, value, std::chars_format::general, digits).ptr;
}

char* TNumberFormat::Format(char* out, long value) {
  return std::to_chars(out, out + kMaxLength, value).ptr;
}

std::streamsize TNumberFormat::GeoreferencePrecision(double value, std::streamsize precision) {
  if (precision >= kGeoreferenceDigits)
    return precision;
  // "%.0g" writes one significant digit.
  const int digits = precision < 1 ? 1 : static_cast<int>(precision);
  char text[kMaxLength];
  const char* end = Format(text, value, digits);
  double back = 0.0;
  const std::from_chars_result r = std::from_chars(text, end, back);
  const bool exact =
      r.ec == std::errc() && r.ptr == end && std::memcmp(&back, &value, sizeof value) == 0;
  return exact ? precision : kGeoreferenceDigits;
}
