#include "gridio/TGridTokenizer.h"

#include <climits>
#include <locale>
#include <ostream>

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

using Grammar = TDecimalGrammar;

const char* ScanWord(const char* p, const char* end) {
  while (p < end && !Grammar::IsSpace(*p))
    ++p;
  return p;
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
    while (MbrPtrCursor < MbrPtrEnd && Grammar::IsSpace(*MbrPtrCursor))
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
  return kind == 1 ? Grammar::ScanWhole(p, end, state) : Grammar::ScanReal(p, end, state);
}
} // namespace

int TGridTokenizer::ScanToken(TTokenKind kind, std::size_t longest) {
  const int scanner = static_cast<int>(kind);
  int state = Grammar::kStart;
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
  if (!Grammar::ToWhole(MbrPtrTokenBegin, MbrPtrTokenEnd, state, value))
    MbrBlnFailed = true;
}

void TGridTokenizer::ReadDoubleByScan(double& value) {
  if (!MbrBlnNative)
    return ReadNative(value);
  // ReadDouble has tried the short form where the token starts in the
  // window; where white space ran to its end, the next window is tried here.
  const bool shortTried = !MbrBlnFailed && MbrPtrCursor < MbrPtrEnd;
  if (!BeginToken())
    return;
  // A number that ends inside the window.
  const char* stop =
      shortTried ? nullptr : Grammar::ParseShortDecimal(MbrPtrCursor, MbrPtrEnd, value);
  if (stop == nullptr)
    stop = Grammar::ParseDelimitedReal(MbrPtrCursor, MbrPtrEnd, value);
  if (stop != nullptr) {
    MbrPtrCursor = stop;
    return;
  }
  const int state = ScanToken(TTokenKind::Double);
  if (!Grammar::ToReal(MbrPtrTokenBegin, MbrPtrTokenEnd, state, value))
    MbrBlnFailed = true;
}

// The cursor stays in a register here, not in the tokenizer, from value to
// value. A short decimal ends at white space, which is stepped over at once:
// mostly the next token starts right after it, and where it does not (more
// white space), the attempt fails and the white space is skipped.
std::size_t TGridTokenizer::ReadShortDecimals(double* values, std::size_t count) {
  if (MbrBlnFailed)
    return 0;
  const char* const end = MbrPtrEnd;
  const char* cursor = MbrPtrCursor;
  const char* p = cursor;
  std::size_t read = 0;
  for (; read < count; ++read) {
    cursor = Grammar::ParseShortDecimal(p, end, values[read], MbrShape);
    if (cursor == nullptr) {
      while (p < end && Grammar::IsSpace(*p))
        ++p;
      cursor = Grammar::ParseShortDecimal(p, end, values[read], MbrShape);
      if (cursor == nullptr) {
        cursor = p;
        break;
      }
    }
    p = cursor + 1;
  }
  MbrPtrCursor = cursor;
  return read;
}

std::size_t TGridTokenizer::ReadShortDecimalsPaced(double* values, std::size_t count) {
  if (MbrIntPausedCalls > 0) {
    --MbrIntPausedCalls;
    return 0;
  }
  const std::size_t read = ReadShortDecimals(values, count);
  if (read == 0)
    MbrIntPausedCalls = kPausedCalls;
  return read;
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
