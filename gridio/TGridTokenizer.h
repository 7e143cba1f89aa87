// TGridTokenizer: reads the tokens of a text grid (words, whole numbers, real
// numbers) from an input stream with the results of formatted extraction
// (`is >> std::string`, `is >> long`, `is >> double`), without its per-value
// cost: characters are scanned in place in the stream buffer's get area, one
// bounded window at a time, and numbers are scanned and converted by
// TDecimalGrammar; this class keeps only the stream window.
//
// Semantics kept from formatted extraction: leading white space (blank, tab,
// line feed, vertical tab, form feed, carriage return) is skipped; a number is
// the longest prefix that extraction would accept ("10.5" read as a whole
// number gives 10 and leaves ".5"; "nan", "inf" and hexadecimal are not
// numbers); a text that is not a number sets the target to 0, an overflow to
// the largest value of the sign, an underflow gives zero of the sign; every
// failure is sticky: once a read has failed, later reads fail and keep their
// target. Reaching the end of the input sets the end state, and a read that
// starts at the end fails.
//
// The stream keeps its position just after the last character consumed, and
// its state receives the end and failure bits when the tokenizer is
// destroyed. A stream whose formatting state is not the default one (locale,
// skipws, basefield, width) is read with the stream's own operators instead.
//
// Ownership: the stream stays the caller's and must outlive the tokenizer.
// Nothing here throws except what the stream buffer throws.
#ifndef QUILLMAP_GRIDIO_TGRIDTOKENIZER_H
#define QUILLMAP_GRIDIO_TGRIDTOKENIZER_H

#include <istream>
#include <string>

#include "text/TDecimalGrammar.h"

class TGridTokenizer {
public:
  explicit TGridTokenizer(std::istream& stream);
  ~TGridTokenizer();
  TGridTokenizer(const TGridTokenizer&) = delete;
  TGridTokenizer& operator=(const TGridTokenizer&) = delete;

  // A word longer than `longest` characters is not read to its end: the read
  // stops after longest + 1 of them and fails, so that an endless input (a
  // device without white space) cannot hold the reader.
  void ReadWord(std::string& word, std::size_t longest = std::string::npos);
  void ReadLong(long& value);
  // In line for the body's usual value, a short decimal followed by white
  // space inside the window (a window exists only on the default-state
  // path and before the end); anything else is scanned.
  void ReadDouble(double& value) {
    if (!MbrBlnFailed) {
      const char* p = MbrPtrCursor;
      while (p < MbrPtrEnd && TDecimalGrammar::IsSpace(*p))
        ++p;
      MbrPtrCursor = p;
      if (const char* stop = TDecimalGrammar::ParseShortDecimal(p, MbrPtrEnd, value, MbrShape)) {
        MbrPtrCursor = stop;
        return;
      }
    }
    ReadDoubleByScan(value);
  }

  // ReadDouble for as long as it reads short decimals in line, at most
  // `count` of them, into values; returns how many it read. The value that
  // stops it is left to ReadDouble.
  std::size_t ReadShortDecimals(double* values, std::size_t count);
  // ReadShortDecimals paced for a text of other values: after a call that
  // reads none, the next kPausedCalls calls read none without trying (their
  // values are left to ReadDouble), so that a body of long mantissas pays
  // for one attempt in that many values, not for one a value.
  static constexpr int kPausedCalls = 64;
  std::size_t ReadShortDecimalsPaced(double* values, std::size_t count);

  // The first character of the next token, white space skipped, as an int
  // (std::char_traits<char>::to_int_type), or eof() when the input ends or a
  // read has failed; the token itself stays to be read. Reaching the end sets
  // the end and failure states, as a read would.
  int PeekTokenStart();

  // Some read has failed (or the stream was not readable to begin with).
  bool Failed() const { return MbrBlnFailed; }
  // The end of the input was reached while reading.
  bool AtEnd() const { return MbrBlnAtEnd; }
  // Hands the consumed characters back to the stream buffer, whose position
  // is then just after the last character used (as at destruction).
  void Commit();

private:
  enum class TTokenKind { Word = 0, Long = 1, Double = 2 };

  // Skips white space; false (and the failure state) when the input ends or
  // an earlier read failed.
  bool BeginToken();
  // Scans the token of the given kind into [MbrPtrTokenBegin, MbrPtrTokenEnd),
  // which points into the window or into MbrStrScratch when the token spans
  // windows; returns how far a number got (a TDecimalGrammar state).
  // Gathering stops at the first window that takes the token beyond
  // `longest` characters.
  int ScanToken(TTokenKind kind, std::size_t longest = std::string::npos);
  // Moves the window on; false at the end of the input.
  bool NextWindow();
  template <class TValue> void ReadNative(TValue& value);
  void ReadDoubleByScan(double& value);

  std::istream& MbrRefStream;
  std::streambuf* MbrPtrBuffer;
  bool MbrBlnNative;
  bool MbrBlnFailed;
  bool MbrBlnAtEnd;
  // The window: characters [MbrPtrCursor, MbrPtrEnd) are not consumed yet;
  // MbrPtrWindow is where the window began in the get area. When the buffer
  // has no get area the window is MbrChrSingle, taken with sgetc.
  const char* MbrPtrWindow;
  const char* MbrPtrCursor;
  const char* MbrPtrEnd;
  bool MbrBlnSingle;
  char MbrChrSingle;
  const char* MbrPtrTokenBegin;
  const char* MbrPtrTokenEnd;
  std::string MbrStrScratch;
  // The layout of the last short decimal read in line.
  TDecimalGrammar::TShortShape MbrShape;
  int MbrIntPausedCalls = 0;
};

#endif
