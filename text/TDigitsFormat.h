// TDigitsFormat: the text of "%.<N>g" for any N from 1 to 17, the one
// formatter of real numbers: six digits are the stream's default text
// (TNumberFormat), other counts the digits a grid's values are written with
// when the caller chooses them.
//
// Each digit count has its own path, so that all of them run alike, with
// one branch-free course for the usual values. The value m x 2^q is rounded
// to N digits exactly in integers: multiplied by 10^k (k = N - 1 - its
// decimal exponent) as 5^k held in 63 bits, looked up by its binary
// exponent and the first three bits of its significand (which tell the
// decimal exponent but just past a power of ten), the whole part taken
// from the high word of the product with half a unit added; a rest of one
// half there goes on to the low word, ties to even as "%g" has them. 5^k is
// exact up to k = 27; the rounded-up reciprocals of 5^-k down to k = -27
// are exact enough for every rest but one within a hair above one half,
// which is divided out exactly instead.
// The digits become text four at a time from a table, in words of eight;
// where the text ends comes from the digits' last word, or for 17 digits
// from a table of lengths by four digits. Zeros come out at once;
// subnormals, scales beyond 10^27 either way, infinities and not-a-number
// go to std::to_chars. Every double gets exactly the text of "%.<N>g"; 17
// digits read back as the same double. Nothing here throws.
#ifndef QUILLMAP_TEXT_TDIGITSFORMAT_H
#define QUILLMAP_TEXT_TDIGITSFORMAT_H

class TDigitsFormat {
public:
  static constexpr int kFewestDigits = 1;
  static constexpr int kMostDigits = 17;
  // Room for the text of one number ("-1.2345678901234567e-308" at most)
  // and the whole words that write it. With at most 12 digits the words
  // stay within 32 characters.
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
