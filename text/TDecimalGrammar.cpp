#include "text/TDecimalGrammar.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

namespace {
using G = TDecimalGrammar;

bool IsSign(char c) {
  return c == '+' || c == '-';
}

bool IsExponentMark(char c) {
  return c == 'e' || c == 'E';
}

// Whether a number that std::from_chars found out of range lies above the
// range of double (rather than below it): the decimal exponent of its first
// significant digit is not negative.
bool IsAboveRange(const char* p, const char* end) {
  const long long kCap = 1000000000LL;
  if (p < end && IsSign(*p))
    ++p;
  while (p < end && *p == '0')
    ++p;
  long long integerDigits = 0;
  for (; p < end && G::IsDigit(*p); ++p)
    integerDigits += integerDigits < kCap;
  long long leadingFractionZeros = 0;
  if (p < end && *p == '.') {
    for (++p; p < end && *p == '0'; ++p)
      leadingFractionZeros += leadingFractionZeros < kCap;
    while (p < end && G::IsDigit(*p))
      ++p;
  }
  long long exponent = 0;
  if (p < end && IsExponentMark(*p)) {
    ++p;
    const bool negative = p < end && *p == '-';
    if (p < end && IsSign(*p))
      ++p;
    for (; p < end && G::IsDigit(*p); ++p)
      if (exponent < kCap)
        exponent = exponent * 10 + (*p - '0');
    if (negative)
      exponent = -exponent;
  }
  const long long magnitude =
      integerDigits > 0 ? integerDigits - 1 + exponent : exponent - leadingFractionZeros - 1;
  return magnitude >= 0;
}

// std::from_chars takes no plus sign.
const char* SkipPlus(const char* p) {
  return *p == '+' ? p + 1 : p;
}
} // namespace

const char* TDecimalGrammar::ScanWhole(const char* p, const char* end, int& state) {
  for (; p < end; ++p) {
    const char c = *p;
    if (IsDigit(c))
      state = kInt;
    else if (state == kStart && IsSign(c))
      state = kSign;
    else
      break;
  }
  return p;
}

// An exponent mark is taken only after a mantissa digit, a point only before
// the exponent, a sign only first or right after the exponent mark.
const char* TDecimalGrammar::ScanReal(const char* p, const char* end, int& state) {
  for (; p < end; ++p) {
    const char c = *p;
    switch (state) {
    case kStart:
      if (IsSign(c)) {
        state = kSign;
        break;
      }
      [[fallthrough]];
    case kSign:
      if (IsDigit(c))
        state = kInt;
      else if (c == '.')
        state = kDot;
      else
        return p;
      break;
    case kInt:
      if (IsDigit(c))
        break;
      if (c == '.')
        state = kFrac;
      else if (IsExponentMark(c))
        state = kExp;
      else
        return p;
      break;
    case kDot:
      if (!IsDigit(c))
        return p;
      state = kFrac;
      break;
    case kFrac:
      if (IsDigit(c))
        break;
      if (!IsExponentMark(c))
        return p;
      state = kExp;
      break;
    case kExp:
      if (IsSign(c))
        state = kExpSign;
      else if (IsDigit(c))
        state = kExpDigits;
      else
        return p;
      break;
    default:
      if (!IsDigit(c))
        return p;
      state = kExpDigits;
      break;
    }
  }
  return p;
}

std::size_t TDecimalGrammar::RealLength(const char* p, const char* end) {
  int state = kStart;
  const char* stop = ScanReal(p, end, state);
  // An exponent mark, and its sign, without digits belong to no number.
  if (state == kExp)
    stop -= 1;
  else if (state == kExpSign)
    stop -= 2;
  else if (!IsCompleteReal(state))
    return 0;
  return static_cast<std::size_t>(stop - p);
}

bool TDecimalGrammar::ToWhole(const char* begin, const char* end, int state, long& value) {
  if (state != kInt) {
    value = 0;
    return false;
  }
  long result = 0;
  const std::from_chars_result r = std::from_chars(SkipPlus(begin), end, result);
  if (r.ec == std::errc::result_out_of_range) {
    value = *begin == '-' ? std::numeric_limits<long>::min() : std::numeric_limits<long>::max();
    return false;
  }
  value = result;
  return true;
}

bool TDecimalGrammar::ToReal(const char* begin, const char* end, int state, double& value) {
  const bool complete = IsCompleteReal(state);
  double result = 0.0;
  const std::from_chars_result r =
      complete ? std::from_chars(SkipPlus(begin), end, result) : std::from_chars_result{};
  if (!complete || (r.ec == std::errc() && r.ptr != end) || r.ec == std::errc::invalid_argument) {
    value = 0.0;
    return false;
  }
  const bool negative = *begin == '-';
  if (r.ec == std::errc::result_out_of_range) {
    if (IsAboveRange(begin, end)) {
      value = negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
      return false;
    }
    value = negative ? -0.0 : 0.0;
    return true;
  }
  value = result;
  return true;
}

// std::from_chars's grammar accepts exactly what extraction accepts once
// "inf", "nan" and a plus sign are kept out by the first character.
const char* TDecimalGrammar::ParseDelimitedReal(const char* p, const char* end, double& value) {
  const char* first = p < end && *p == '-' ? p + 1 : p;
  if (first >= end || !(IsDigit(*first) || *first == '.'))
    return nullptr;
  double result = 0.0;
  const std::from_chars_result r = std::from_chars(p, end, result);
  if (r.ec != std::errc() || r.ptr >= end || !IsSpace(*r.ptr))
    return nullptr;
  value = result;
  return r.ptr;
}

// The first byte that is not a digit is the point or the delimiter; after a
// point, the next one is the delimiter.
bool TDecimalGrammar::TShortShape::Learn(std::uint64_t word, std::uint64_t nonDigits,
                                         bool negative) {
  if (nonDigits == 0)
    return false;
  const std::uint64_t kByte = 0xFF;
  const int first = __builtin_ctzll(nonDigits) / 8;
  const bool point = ((word >> (8 * first)) & kByte) == '.';
  const std::uint64_t rest = nonDigits & (nonDigits - 1);
  if (point && rest == 0)
    return false;
  const int stop = point ? __builtin_ctzll(rest) / 8 : first;
  const int digits = stop - point;
  if (digits == 0 || !IsSpace(static_cast<char>((word >> (8 * stop)) & kByte)))
    return false;
  Window = stop + 1 == kWordBytes ? ~std::uint64_t(0) : (std::uint64_t(1) << (8 * stop + 8)) - 1;
  Marks = nonDigits & Window;
  MarkMask = (point ? kByte << (8 * first) : 0) | kByte << (8 * stop);
  MarkBytes = word & MarkMask;
  BeforePoint = point ? (std::uint64_t(1) << (8 * first)) - 1 : ~std::uint64_t(0);
  Length = stop + negative;
  Negative = negative;
  Shift = 8 * (kWordBytes - digits);
  Scale = point ? stop - 1 - first : 0;
  return true;
}
