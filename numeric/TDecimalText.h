// TDecimalText: the text-to-number conversion of the command line and of the
// string lists, in plain decimal notation only.
//
// ToDouble skips leading white space, converts the longest prefix of the form
// [sign] digits [. digits] [(e|E) [sign] digits] (at least one digit in the
// mantissa, before or after the point) and ignores the rest. Text with no
// such prefix gives 0.0. The words inf and nan give 0.0 and a hexadecimal
// text gives the value of its leading 0: only decimal counts. A magnitude
// beyond the range of double gives an infinity of the right sign, one below
// the smallest subnormal gives zero. Never throws, never reads past the
// terminating null.
#ifndef QUILLMAP_NUMERIC_TDECIMALTEXT_H
#define QUILLMAP_NUMERIC_TDECIMALTEXT_H

#include <cstddef>

class TDecimalText {
public:
  static double ToDouble(const char* text);
  // Length of the plain decimal number at the start of text (no white space
  // skipped), 0 when there is none.
  static std::size_t NumberLength(const char* text);
};

#endif
