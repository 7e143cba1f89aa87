// TDigitsFormat: the text of "%.<N>g" for any N from 1 to 17, the digits a
// grid's values are written with when the caller chooses them. Six digits
// take TNumberFormat's own path, so they give exactly its text at its speed.
//
// Other digit counts are rounded exactly in integers: the value m x 2^q is
// scaled by 10^k (k = N - 1 - its decimal exponent) as m x 5^k shifted by
// q + k, or divided by 5^-k, with the discarded part kept, so that the
// correctly rounded digits, ties to even as "%g" has them, come from one
// multiplication or division and a comparison. Zeros, subnormals, scales
// beyond 5^27, infinities and not-a-number go to std::to_chars. Every double
// gets exactly the text of "%.<N>g"; 17 digits read back as the same double.
// Nothing here throws.
#ifndef QUILLMAP_TEXT_TDIGITSFORMAT_H
#define QUILLMAP_TEXT_TDIGITSFORMAT_H

#include "text/TNumberFormat.h"

class TDigitsFormat {
public:
  static constexpr int kFewestDigits = 1;
  static constexpr int kMostDigits = 17;
  // Room for the text of one number ("-1.2345678901234567e-308" at most)
  // and the fixed-length copies that write it; at least
  // TNumberFormat::kMaxLength.
  static constexpr int kMaxLength = 40;

  // "%.<digits>g" of the value at out (no terminator); returns the end.
  // digits must lie in kFewestDigits .. kMostDigits; out must have room for
  // kMaxLength characters, those past the returned end may be overwritten.
  static char* Format(char* out, double value, int digits);
  // Each of count values as Format writes it, followed by the separator; out
  // must have room for count x (kMaxLength + 1) characters.
  static char* FormatSeparated(char* out, const double* values, long count, char separator,
                               int digits);
};

#endif
