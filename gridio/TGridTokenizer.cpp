#include "gridio/TGridTokenizer.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <limits>
#include <locale>
#include <ostream>
#include <system_error>

namespace {
// Reaches the get area of any stream buffer: the window is scanned in place
// and handed back with gbump, so the stream stays positioned exactly after
// the last character used.
struct TGetAreaAccess : std::streambuf {
  static char* Next(std::streambuf* buffer) { return (buffer->*&TGetAreaAccess::gptr)(); }
  static char* End(std::streambuf* buffer) { return (buffer->*&TGetAreaAccess::egptr)(); }
  static void Advance(std::streambuf* buffer, int count) {
    (buffer->*&TGetAreaAccess::gbump)(count);
  }
};

// Progress through a number, in the order in which extraction accepts its
// parts: [sign] digits [. digits] [(e|E) [sign] digits].
enum TScanState : int { kStart, kSign, kInt, kDot, kFrac, kExp, kExpSign, kExpDigits };

// White space of the classic locale.
inline bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool IsDigit(char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}

const char* ScanWord(const char* p, const char* end) {
  while (p < end && !IsSpace(*p))
    ++p;
  return p;
}

const char* ScanLong(const char* p, const char* end, int& state) {
  for (; p < end; ++p) {
    const char c = *p;
    if (IsDigit(c))
      state = kInt;
    else if (state == kStart && (c == '+' || c == '-'))
      state = kSign;
    else
      break;
  }
  return p;
}

// An exponent mark is taken only after a mantissa digit, a point only before
// the exponent, a sign only first or right after the exponent mark.
const char* ScanDouble(const char* p, const char* end, int& state) {
  for (; p < end; ++p) {
    const char c = *p;
    switch (state) {
    case kStart:
      if (c == '+' || c == '-') {
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
      else if (c == 'e' || c == 'E')
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
      if (c != 'e' && c != 'E')
        return p;
      state = kExp;
      break;
    case kExp:
      if (c == '+' || c == '-')
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

// Whether a number that std::from_chars found out of range lies above the
// range of double (rather than below it): the decimal exponent of its first
// significant digit is not negative.
bool IsAboveRange(const char* p, const char* end) {
  const long long kCap = 1000000000LL;
  if (p < end && (*p == '+' || *p == '-'))
    ++p;
  while (p < end && *p == '0')
    ++p;
  long long integerDigits = 0;
  for (; p < end && IsDigit(*p); ++p)
    integerDigits += integerDigits < kCap;
  long long leadingFractionZeros = 0;
  if (p < end && *p == '.') {
    for (++p; p < end && *p == '0'; ++p)
      leadingFractionZeros += leadingFractionZeros < kCap;
    while (p < end && IsDigit(*p))
      ++p;
  }
  long long exponent = 0;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-'))
      ++p;
    for (; p < end && IsDigit(*p); ++p)
      if (exponent < kCap)
        exponent = exponent * 10 + (*p - '0');
    if (negative)
      exponent = -exponent;
  }
  const long long magnitude =
      integerDigits > 0 ? integerDigits - 1 + exponent : exponent - leadingFractionZeros - 1;
  return magnitude >= 0;
}

const double kExactPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// A plain decimal, [-] digits [. digits] with at most 15 digits, followed by
// white space inside the window: the value of the digits is an integer below
// 2^53 and the scale an exact power of ten, so one correctly rounded division
// gives the correctly rounded value, as any exact conversion does. Returns
// the end of the number, or nullptr when the text is not of that form.
const char* ParseShortDecimal(const char* p, const char* end, double& value) {
  const int kMaxDigits = 15;
  const bool negative = *p == '-';
  if (negative)
    ++p;
  std::uint64_t digitsValue = 0;
  int digits = 0;
  int fractionDigits = 0;
  for (; p < end && IsDigit(*p) && digits <= kMaxDigits; ++p, ++digits)
    digitsValue = digitsValue * 10 + static_cast<std::uint64_t>(*p - '0');
  if (p < end && *p == '.')
    for (++p; p < end && IsDigit(*p) && digits <= kMaxDigits; ++p, ++digits, ++fractionDigits)
      digitsValue = digitsValue * 10 + static_cast<std::uint64_t>(*p - '0');
  if (digits == 0 || digits > kMaxDigits || p >= end || !IsSpace(*p))
    return nullptr;
  const double magnitude = static_cast<double>(digitsValue) / kExactPowersOfTen[fractionDigits];
  value = negative ? -magnitude : magnitude;
  return p;
}

// std::from_chars takes no plus sign.
const char* SkipPlus(const char* p) {
  return *p == '+' ? p + 1 : p;
}

// The conversions return false where extraction fails, after setting the
// target as extraction does.
bool ConvertLong(const char* begin, const char* end, int state, long& value) {
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

bool ConvertDouble(const char* begin, const char* end, int state, double& value) {
  const bool complete = state == kInt || state == kFrac || state == kExpDigits;
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

bool IsDefaultInputState(const std::istream& stream) {
  const std::ios_base::fmtflags kRelevant = std::ios_base::skipws | std::ios_base::basefield;
  return (stream.flags() & kRelevant) == (std::ios_base::skipws | std::ios_base::dec) &&
         stream.width() == 0 && stream.getloc() == std::locale::classic();
}
} // namespace

TGridTokenizer::TGridTokenizer(std::istream& stream)
    : MbrRefStream(stream), MbrPtrBuffer(stream.rdbuf()), MbrBlnNative(IsDefaultInputState(stream)),
      MbrBlnFailed(stream.fail() || MbrPtrBuffer == nullptr), MbrBlnAtEnd(stream.eof()),
      MbrPtrWindow(nullptr), MbrPtrCursor(nullptr), MbrPtrEnd(nullptr), MbrBlnSingle(false),
      MbrChrSingle(0), MbrPtrTokenBegin(nullptr), MbrPtrTokenEnd(nullptr) {
  if (MbrBlnNative && stream.good() && stream.tie() != nullptr)
    stream.tie()->flush();
}

TGridTokenizer::~TGridTokenizer() {
  if (!MbrBlnNative)
    return;
  Commit();
  std::ios_base::iostate bits = std::ios_base::goodbit;
  if (MbrBlnFailed)
    bits |= std::ios_base::failbit;
  if (MbrBlnAtEnd)
    bits |= std::ios_base::eofbit;
  // A stream set to throw on these bits is left to the caller's checks: a
  // destructor must not throw.
  if ((bits & MbrRefStream.exceptions()) == 0)
    MbrRefStream.setstate(bits);
}

void TGridTokenizer::Commit() {
  if (MbrBlnSingle) {
    if (MbrPtrCursor != MbrPtrWindow)
      MbrPtrBuffer->sbumpc();
  } else {
    for (std::ptrdiff_t left = MbrPtrCursor - MbrPtrWindow; left > 0;) {
      const int step = left > INT_MAX ? INT_MAX : static_cast<int>(left);
      TGetAreaAccess::Advance(MbrPtrBuffer, step);
      left -= step;
    }
  }
  MbrPtrWindow = MbrPtrCursor;
}

bool TGridTokenizer::NextWindow() {
  Commit();
  const int next = MbrPtrBuffer->sgetc();
  if (next == std::char_traits<char>::eof()) {
    MbrBlnAtEnd = true;
    MbrBlnSingle = false;
    MbrPtrWindow = MbrPtrCursor = MbrPtrEnd = nullptr;
    return false;
  }
  const char* begin = TGetAreaAccess::Next(MbrPtrBuffer);
  const char* end = TGetAreaAccess::End(MbrPtrBuffer);
  MbrBlnSingle = begin == nullptr || begin >= end;
  if (MbrBlnSingle) {
    MbrChrSingle = std::char_traits<char>::to_char_type(next);
    begin = &MbrChrSingle;
    end = begin + 1;
  }
  MbrPtrWindow = MbrPtrCursor = begin;
  MbrPtrEnd = end;
  return true;
}

bool TGridTokenizer::BeginToken() {
  if (MbrBlnFailed || MbrBlnAtEnd) {
    MbrBlnFailed = true;
    return false;
  }
  for (;;) {
    while (MbrPtrCursor < MbrPtrEnd && IsSpace(*MbrPtrCursor))
      ++MbrPtrCursor;
    if (MbrPtrCursor < MbrPtrEnd)
      return true;
    if (!NextWindow()) {
      MbrBlnFailed = true;
      return false;
    }
  }
}

namespace {
const char* Scan(int kind, const char* p, const char* end, int& state) {
  if (kind == 0)
    return ScanWord(p, end);
  return kind == 1 ? ScanLong(p, end, state) : ScanDouble(p, end, state);
}
} // namespace

int TGridTokenizer::ScanToken(TTokenKind kind, std::size_t longest) {
  const int scanner = static_cast<int>(kind);
  int state = kStart;
  const char* begin = MbrPtrCursor;
  const char* stop = Scan(scanner, begin, MbrPtrEnd, state);
  MbrPtrCursor = stop;
  if (stop < MbrPtrEnd) {
    MbrPtrTokenBegin = begin;
    MbrPtrTokenEnd = stop;
    return state;
  }
  // The token reaches the end of the window: gather it in the scratch text.
  MbrStrScratch.assign(begin, stop);
  while (MbrStrScratch.size() <= longest && NextWindow()) {
    stop = Scan(scanner, MbrPtrCursor, MbrPtrEnd, state);
    MbrStrScratch.append(MbrPtrCursor, stop);
    MbrPtrCursor = stop;
    if (stop < MbrPtrEnd)
      break;
  }
  MbrPtrTokenBegin = MbrStrScratch.data();
  MbrPtrTokenEnd = MbrPtrTokenBegin + MbrStrScratch.size();
  return state;
}

template <class TValue> void TGridTokenizer::ReadNative(TValue& value) {
  MbrRefStream >> value;
  MbrBlnFailed = MbrRefStream.fail();
  MbrBlnAtEnd = MbrRefStream.eof();
}

void TGridTokenizer::ReadWord(std::string& word, std::size_t longest) {
  const bool bounded = longest != std::string::npos;
  if (!MbrBlnNative) {
    if (bounded)
      MbrRefStream.width(static_cast<std::streamsize>(longest + 1));
    ReadNative(word);
    if (bounded && word.size() > longest) {
      MbrRefStream.setstate(std::ios_base::failbit);
      MbrBlnFailed = true;
    }
    return;
  }
  if (!BeginToken())
    return;
  ScanToken(TTokenKind::Word, longest);
  const std::size_t length = static_cast<std::size_t>(MbrPtrTokenEnd - MbrPtrTokenBegin);
  if (bounded && length > longest) {
    word.assign(MbrPtrTokenBegin, longest + 1);
    MbrBlnFailed = true;
    return;
  }
  word.assign(MbrPtrTokenBegin, MbrPtrTokenEnd);
}

void TGridTokenizer::ReadLong(long& value) {
  if (!MbrBlnNative)
    return ReadNative(value);
  if (!BeginToken())
    return;
  const int state = ScanToken(TTokenKind::Long);
  if (!ConvertLong(MbrPtrTokenBegin, MbrPtrTokenEnd, state, value))
    MbrBlnFailed = true;
}

void TGridTokenizer::ReadDouble(double& value) {
  if (!MbrBlnNative)
    return ReadNative(value);
  if (!BeginToken())
    return;
  // The usual cases first: a short plain decimal, then a number that
  // std::from_chars reads up to white space inside the window (its grammar
  // then accepts exactly what extraction accepts, once "inf", "nan" and a
  // plus sign are kept out by the first character).
  const char* first = *MbrPtrCursor == '-' ? MbrPtrCursor + 1 : MbrPtrCursor;
  if (first < MbrPtrEnd && (IsDigit(*first) || *first == '.')) {
    double result = 0.0;
    if (const char* stop = ParseShortDecimal(MbrPtrCursor, MbrPtrEnd, result)) {
      MbrPtrCursor = stop;
      value = result;
      return;
    }
    const std::from_chars_result r = std::from_chars(MbrPtrCursor, MbrPtrEnd, result);
    if (r.ec == std::errc() && r.ptr < MbrPtrEnd && IsSpace(*r.ptr)) {
      MbrPtrCursor = r.ptr;
      value = result;
      return;
    }
  }
  const int state = ScanToken(TTokenKind::Double);
  if (!ConvertDouble(MbrPtrTokenBegin, MbrPtrTokenEnd, state, value))
    MbrBlnFailed = true;
}

int TGridTokenizer::PeekTokenStart() {
  using Traits = std::char_traits<char>;
  if (!MbrBlnNative) {
    if (!MbrBlnFailed)
      MbrRefStream >> std::ws;
    MbrBlnAtEnd = MbrRefStream.eof();
    MbrBlnFailed = MbrBlnFailed || MbrBlnAtEnd;
    return MbrBlnFailed ? Traits::eof() : MbrRefStream.peek();
  }
  if (!BeginToken())
    return Traits::eof();
  return Traits::to_int_type(*MbrPtrCursor);
}
