// TLineWriter: writes lines of numbers and text to an output stream with the
// stream's own formatting, each line ended by a newline and a flush.
//
// When the stream is in its default formatting state (TNumberFormat::
// IsDefaultState, checked once at construction) numbers are formatted with
// TNumberFormat into a fixed buffer that goes to the stream in large writes;
// otherwise every item goes through the stream's operators. Both give the
// same bytes. Output errors are left in the stream's state, as the stream's
// operators leave them.
//
// A writer made with a digit count writes real numbers (Real, Reals) with
// that many significant digits in general notation ("%.<N>g", TDigitsFormat)
// instead of the stream's precision; whole numbers, text and Georeference
// are as without it.
//
// Ownership: the stream stays the caller's and must outlive the writer. On
// the fast path text reaches the stream by whole lines (longer lines in
// pieces): text after the last EndLine is dropped with the writer. Nothing
// here throws except what the stream throws.
#ifndef QUILLMAP_TEXT_TLINEWRITER_H
#define QUILLMAP_TEXT_TLINEWRITER_H

#include <cstddef>
#include <ostream>

#include "text/TDigits.h"
#include "text/TDigitsFormat.h"
#include "text/TNumberFormat.h"

class TLineWriter {
public:
  // The digit count of a writer that keeps the stream's precision.
  static constexpr int kStreamDigits = TDigits::kOwnRule;

  // digits: a TDigits setting (kStreamDigits, or a count).
  explicit TLineWriter(std::ostream& stream, int digits = kStreamDigits);
  TLineWriter(const TLineWriter&) = delete;
  TLineWriter& operator=(const TLineWriter&) = delete;

  void Text(const char* text);
  void Char(char c) {
    if (!MbrBlnFast)
      return CharByStream(c);
    Reserve(1);
    MbrChrBuffer[MbrLngUsed++] = c;
  }
  void Whole(long value);
  void Real(double value) {
    if (!MbrBlnFast)
      return RealByStream(value);
    Reserve(TDigitsFormat::kMaxLength);
    MbrLngUsed =
        TDigitsFormat::Format(MbrChrBuffer + MbrLngUsed, value, MbrIntDigits) - MbrChrBuffer;
  }
  // Each value as Real writes it, followed by the separator (TRowText on
  // the fast path).
  void Reals(const double* values, long count, char separator);
  // A real number with the georeferencing precision (TNumberFormat::
  // GeoreferencePrecision), right-aligned in a field of at least `width`
  // characters; the width applies to this value only.
  void Georeference(double value, int width);
  // The line end (TRowText::kLineEnd), then the buffered text goes out and
  // the stream is flushed.
  void EndLine();

private:
  static constexpr std::ptrdiff_t kBufferSize = 1 << 15;

  void RealByStream(double value);
  void CharByStream(char c);
  // Makes room for `length` more characters, writing out what is buffered.
  void Reserve(std::ptrdiff_t length) {
    if (MbrLngUsed + length > kBufferSize)
      Drain();
  }
  void Drain();

  std::ostream& MbrRefStream;
  bool MbrBlnFast;
  // The digits of real numbers: the chosen count, or the stream's default
  // precision on the fast path (kStreamDigits stays kStreamDigits otherwise).
  int MbrIntDigits;
  std::ptrdiff_t MbrLngUsed;
  char MbrChrBuffer[kBufferSize];
};

#endif
