// TNumberFormat: the text of numbers as a stream in its default state writes
// them: real numbers in general notation ("%g") with 6 significant digits,
// whole numbers in decimal, formatted into a caller's buffer instead of
// through the stream.
//
// Real numbers are TDigitsFormat's text of six digits (or of the digits
// asked for), which is exactly the text of "%g".
//
// IsDefaultState tells whether a stream would write exactly that text, so
// that callers use the fast path only where it is byte-identical and the
// stream's own operators elsewhere. GeoreferencePrecision picks the digits of
// the coordinates and the cell size of a grid header. Nothing here throws.
#ifndef QUILLMAP_TEXT_TNUMBERFORMAT_H
#define QUILLMAP_TEXT_TNUMBERFORMAT_H

#include <ios>
#include <ostream>

class TNumberFormat {
public:
  // Room for the longest text of one number written by Format with at most
  // kGeoreferenceDigits significant digits ("-1.23456789012e-308").
  static constexpr int kMaxLength = 32;
  static constexpr int kDefaultDigits = 6;
  static constexpr int kGeoreferenceDigits = 12;

  // Precision 6, general notation, no flags beyond the defaults (skipws and
  // unitbuf change no text), no field width, blank fill, classic locale.
  static bool IsDefaultState(const std::ostream& stream);

  // "%.<digits>g" of the value at out (no terminator); returns the end.
  // digits must lie in 1 .. kGeoreferenceDigits. out must have room for
  // kMaxLength characters: those past the returned end may be overwritten.
  static char* Format(char* out, double value, int digits = kDefaultDigits);
  static char* Format(char* out, long value);
  // Each of count values as Format writes it with kDefaultDigits, followed
  // by the separator; out must have room for count x (kMaxLength + 1)
  // characters.
  static char* FormatSeparated(char* out, const double* values, long count, char separator);

  // The precision for a georeferencing value on a stream of the given
  // precision in general notation: that precision when its text reads back as
  // exactly the same double, otherwise kGeoreferenceDigits (never fewer than
  // the stream's own).
  static std::streamsize GeoreferencePrecision(double value, std::streamsize precision);
};

#endif
