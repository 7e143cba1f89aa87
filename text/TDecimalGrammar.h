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
#include <cstring>

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
    if (!IsSpace(*p)) {
      if ((*p | 0x20) != 'e')
        return nullptr;
      p = ShortExponent(p + 1, end, scale);
      if (p == nullptr || p >= end || !IsSpace(*p) || scale < -kLargestExactPower ||
          scale > kLargestExactPower)
        return nullptr;
      if (scale > 0) {
        const double magnitude = Whole(digits) * kExactPowersOfTen[scale];
        value = negative ? -magnitude : magnitude;
        return p;
      }
    }
    value = Quotient(digits, -scale, negative);
    return p;
  }

  // The layout of a short decimal of at most kWordBytes - 1 characters after
  // its sign, with its delimiter, in the kWordBytes bytes read at once after
  // the sign: which bytes are its point and its delimiter (and their
  // characters), and how its digits make the mantissa. A grid's values
  // mostly share one layout, so a token is checked against the last one
  // whole and converted without a loop. Until learned, the shape fits
  // nothing.
  static constexpr int kWordBytes = 8;
  struct TShortShape {
    // The bytes up to the delimiter, and among them the bits of NonDigits
    // that the point and the delimiter set.
    std::uint64_t Window = 0;
    std::uint64_t Marks = 1;
    // The point's and the delimiter's bytes, and their characters.
    std::uint64_t MarkMask = 0;
    std::uint64_t MarkBytes = 0;
    // The bytes before the point (all of them without a point).
    std::uint64_t BeforePoint = ~std::uint64_t(0);
    // Characters of the token, its sign included.
    int Length = 0;
    bool Negative = false;
    // The shift that moves the digits to the top of the word, zeros before
    // them, and the digits after the point.
    int Shift = 0;
    int Scale = 0;

    // Whether the word after the token's sign, with its NonDigits, has this
    // layout.
    bool Fits(std::uint64_t word, std::uint64_t nonDigits, bool negative) const {
      return (nonDigits & Window) == Marks && (word & MarkMask) == MarkBytes &&
             negative == Negative;
    }
    // Takes the layout of the word when it holds a short decimal and its
    // delimiter; false (the shape unchanged) otherwise.
    bool Learn(std::uint64_t word, std::uint64_t nonDigits, bool negative);
    // The mantissa of a word that fits, from its DigitValues.
    std::uint64_t Mantissa(std::uint64_t values) const {
      const std::uint64_t digits = (values & BeforePoint) | ((values >> 8) & ~BeforePoint);
      return EightDigits(digits << Shift);
    }
  };

  // ParseShortDecimal, for a token that has the shape of the one before or
  // of at most kWordBytes - 1 characters after its sign, without a loop
  // over its characters; the shape learns the layout of such a token.
  static const char* ParseShortDecimal(const char* p, const char* end, double& value,
                                       TShortShape& shape) {
    if (end - p <= kWordBytes)
      return ParseShortDecimal(p, end, value);
    const bool negative = *p == '-';
    const std::uint64_t word = LoadWord(p + negative);
    const std::uint64_t values = DigitValues(word);
    const std::uint64_t nonDigits = NonDigits(values);
    if (!shape.Fits(word, nonDigits, negative) &&
        !(HasControlOrBlank(word) && shape.Learn(word, nonDigits, negative)))
      return ParseShortDecimal(p, end, value);
    value = Quotient(shape.Mantissa(values), shape.Scale, negative);
    return p + shape.Length;
  }

private:
  static constexpr std::uint64_t kEachByte = 0x0101010101010101;
  static constexpr std::uint64_t kHighBits = 0x8080808080808080;

  // The kWordBytes characters at p, the first in the lowest byte.
  static std::uint64_t LoadWord(const char* p) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
  }
  // The word with every digit made its value, 0 to 9, and every other byte
  // something else.
  static std::uint64_t DigitValues(std::uint64_t word) {
    return word ^ (kEachByte * '0');
  }
  // The high bit of every byte of DigitValues that is not a digit's value.
  // Each byte is compared alone: no carry crosses into the next one.
  static std::uint64_t NonDigits(std::uint64_t values) {
    return (((values & ~kHighBits) + kEachByte * (0x80 - 10)) | values) & kHighBits;
  }
  // Whether a byte of the word is at most a blank, as white space is: a
  // word without one cannot hold a token and its delimiter.
  static bool HasControlOrBlank(std::uint64_t word) {
    return ((word - kEachByte * (' ' + 1)) & ~word & kHighBits) != 0;
  }
  // The number of eight digit values, the first in the lowest byte: pairs,
  // then fours, then all eight.
  static std::uint64_t EightDigits(std::uint64_t digits) {
    digits = digits * 10 + (digits >> 8);
    const std::uint64_t kPairs = 0x000000FF000000FF;
    return ((digits & kPairs) * (100 + (1000000ULL << 32)) +
            ((digits >> 16) & kPairs) * (1 + (10000ULL << 32))) >>
           32;
  }

  // A mantissa below 2^53 as a double, exactly (converted as signed, which
  // takes one instruction).
  static double Whole(std::uint64_t digits) {
    return static_cast<double>(static_cast<std::int64_t>(digits));
  }
  // The value of a mantissa below 2^53 with `fraction` digits after the
  // point, at most kLargestExactPower: one correctly rounded division.
  static double Quotient(std::uint64_t digits, int fraction, bool negative) {
    const double magnitude = Whole(digits) / kExactPowersOfTen[fraction];
    return negative ? -magnitude : magnitude;
  }

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
