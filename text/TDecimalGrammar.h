// TDecimalGrammar: the grammar of decimal numbers in text, shared by the grid
// reader's tokenizer and the command line's conversions: which characters
// are digits and white space, how far a whole or real number reaches, and
// how its text converts as formatted stream extraction converts it.
//
// A real number is [sign] digits [. digits] [(e|E) [sign] digits] with at
// least one mantissa digit, before or after the point; a whole number is
// [sign] digits. "nan", "inf" and hexadecimal are not numbers. The scanners
// take the longest prefix that extraction would take and report, as a state,
// how far into the grammar it got, so that a number cut by the end of a
// buffer can be scanned on from where it stopped. Text is read only inside
// [p, end). Nothing here throws or allocates.
#ifndef QUILLMAP_TEXT_TDECIMALGRAMMAR_H
#define QUILLMAP_TEXT_TDECIMALGRAMMAR_H

#include <cstddef>
#include <cstdint>

class TDecimalGrammar {
public:
  // Progress through a number, in the order in which its parts come.
  enum TState : int { kStart, kSign, kInt, kDot, kFrac, kExp, kExpSign, kExpDigits };

  // 10^0 .. 10^22, every one exactly representable as a double.
  static constexpr int kLargestExactPower = 22;
  static constexpr double kExactPowersOfTen[kLargestExactPower + 1] = {
      1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

  static bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
  // White space of the classic locale: blank, tab, line feed, vertical tab,
  // form feed, carriage return.
  static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

  // Scan on from `state` (kStart for a new number) and return where the
  // number stops; `state` tells how far it got.
  static const char* ScanWhole(const char* p, const char* end, int& state);
  static const char* ScanReal(const char* p, const char* end, int& state);
  // Whether a scan that ended in `state` holds a complete real number.
  static bool IsCompleteReal(int state) {
    return state == kInt || state == kFrac || state == kExpDigits;
  }
  // Length of the complete real number at the start of [p, end), 0 when
  // there is none: an exponent mark or sign without digits is left out.
  static std::size_t RealLength(const char* p, const char* end);

  // The conversions of a scanned token [begin, end) as extraction converts
  // it: false where extraction fails, after setting the target as it does
  // (0 for a text that is not a number, the largest value of the sign on
  // overflow; an underflow gives zero of the sign and succeeds).
  static bool ToWhole(const char* begin, const char* end, int state, long& value);
  static bool ToReal(const char* begin, const char* end, int state, double& value);

  // The common case of a grid body, read without scanning the token first:
  // a real number, [-] digits or [-] point first, that ends at white space
  // inside [p, end). Try ParseShortDecimal first; this takes any number of
  // that form (exponents, long mantissas). Converts it, correctly rounded,
  // and returns its end; nullptr (value untouched) when the text is not of
  // that form or out of range.
  static const char* ParseDelimitedReal(const char* p, const char* end, double& value);

  // The short decimals that grids hold, in line where every value counts:
  // [-] digits [. digits] [(e|E) [sign] digits], with at least one and at
  // most kShortDigits mantissa digits and at most kShortExponentDigits
  // exponent digits, followed by white space inside [p, end). The mantissa
  // makes a whole number below 2^53; where the exponent, less the fraction's
  // digits, lies within the exact powers of ten, one correctly rounded
  // multiplication or division gives the correctly rounded value, as any
  // exact conversion does. Returns the end, or nullptr (value untouched)
  // when the text is not of that form.
  static constexpr int kShortDigits = 15;
  static constexpr int kShortExponentDigits = 4;
  static const char* ParseShortDecimal(const char* p, const char* end, double& value) {
    if (p >= end)
      return nullptr;
    const bool negative = *p == '-';
    p += negative;
    const char* const first = p;
    std::uint64_t digits = 0;
    // Longer runs wrap around harmlessly: they are refused below.
    for (; p < end && IsDigit(*p); ++p)
      digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    std::ptrdiff_t count = p - first;
    int scale = 0;
    if (p < end && *p == '.') {
      const char* const point = ++p;
      for (; p < end && IsDigit(*p); ++p)
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
      count += p - point;
      scale = static_cast<int>(point - p);
    }
    if (count == 0 || count > kShortDigits || p >= end)
      return nullptr;
    const double whole = static_cast<double>(digits);
    if (!IsSpace(*p)) {
      if ((*p | 0x20) != 'e')
        return nullptr;
      p = ShortExponent(p + 1, end, scale);
      if (p == nullptr || p >= end || !IsSpace(*p) || scale < -kLargestExactPower ||
          scale > kLargestExactPower)
        return nullptr;
      if (scale > 0) {
        value = negative ? -(whole * kExactPowersOfTen[scale]) : whole * kExactPowersOfTen[scale];
        return p;
      }
    }
    const double magnitude = whole / kExactPowersOfTen[-scale];
    value = negative ? -magnitude : magnitude;
    return p;
  }

private:
  // The digits of an exponent after its mark, added to scale; the end, or
  // nullptr without digits or with more than kShortExponentDigits.
  static const char* ShortExponent(const char* p, const char* end, int& scale) {
    const bool negative = p < end && *p == '-';
    p += p < end && (*p == '-' || *p == '+');
    const char* const first = p;
    int exponent = 0;
    for (; p < end && IsDigit(*p) && p - first < kShortExponentDigits + 1; ++p)
      exponent = exponent * 10 + (*p - '0');
    if (p == first || p - first > kShortExponentDigits)
      return nullptr;
    scale += negative ? -exponent : exponent;
    return p;
  }
};

#endif
