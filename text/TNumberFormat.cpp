#include "text/TNumberFormat.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <locale>

#include "text/TDigitsFormat.h"

bool TNumberFormat::IsDefaultState(const std::ostream& stream) {
  const std::ios_base::fmtflags kNoText = std::ios_base::skipws | std::ios_base::unitbuf;
  return (stream.flags() & ~kNoText) == std::ios_base::dec &&
         stream.precision() == kDefaultDigits && stream.width() == 0 && stream.fill() == ' ' &&
         stream.getloc() == std::locale::classic();
}

char* TNumberFormat::Format(char* out, double value, int digits) {
  return TDigitsFormat::Format(out, value, digits);
}

char* TNumberFormat::FormatSeparated(char* out, const double* values, long count, char separator) {
  return TDigitsFormat::FormatSeparated(out, values, count, separator, kDefaultDigits);
}

char* TNumberFormat::Format(char* out, long value) {
  return std::to_chars(out, out + kMaxLength, value).ptr;
}

std::streamsize TNumberFormat::GeoreferencePrecision(double value, std::streamsize precision) {
  if (precision >= kGeoreferenceDigits)
    return precision;
  // "%.0g" writes one significant digit.
  const int digits = precision < 1 ? 1 : static_cast<int>(precision);
  char text[kMaxLength];
  const char* end = Format(text, value, digits);
  double back = 0.0;
  const std::from_chars_result r = std::from_chars(text, end, back);
  const bool exact =
      r.ec == std::errc() && r.ptr == end && std::memcmp(&back, &value, sizeof value) == 0;
  return exact ? precision : kGeoreferenceDigits;
}
