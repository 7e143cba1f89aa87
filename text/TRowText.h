// TRowText: the text of one row of a grid's body (and of a flat table):
// every value in general notation with the chosen digits ("%.<N>g", 6 for
// the writer's own rule), each followed by the separator, the last one
// included, and the line end after the row. The one place that says how a
// body row is written: the in-memory writer (through TLineWriter) and the
// file-to-file resampling's band text both write with it.
//
// Room: a caller writing count values provides Room(count) characters (the
// formatters write ahead of the text's end). Nothing here throws or
// allocates.
#ifndef QUILLMAP_TEXT_TROWTEXT_H
#define QUILLMAP_TEXT_TROWTEXT_H

#include <cstddef>

#include "text/TDigits.h"
#include "text/TDigitsFormat.h"

class TRowText {
public:
  // The room of one value and its separator.
  static constexpr std::size_t kValueRoom = TDigitsFormat::kMaxLength + 1;
  static constexpr char kLineEnd = '\n';

  TRowText(TDigits digits, char separator)
      : MbrIntDigits(digits.OnDefaultStream()), MbrChrSeparator(separator) {}

  // The room for count values and the line end.
  static std::size_t Room(long count) {
    return static_cast<std::size_t>(count > 0 ? count : 0) * kValueRoom + 1;
  }
  // The values, each followed by the separator; returns the end.
  char* Values(char* out, const double* values, long count) const {
    return TDigitsFormat::FormatSeparated(out, values, count, MbrChrSeparator, MbrIntDigits);
  }
  static char* EndLine(char* out) {
    *out = kLineEnd;
    return out + 1;
  }

private:
  int MbrIntDigits;
  char MbrChrSeparator;
};

#endif
