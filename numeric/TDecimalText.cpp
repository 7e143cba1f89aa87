#include "numeric/TDecimalText.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/TDecimalGrammar.h"

std::size_t TDecimalText::NumberLength(const char* text) {
  return TDecimalGrammar::RealLength(text, text + std::strlen(text));
}

double TDecimalText::ToDouble(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text)))
    ++text;
  const std::size_t length = NumberLength(text);
  if (length == 0)
    return 0.0;
  const char* first = text[0] == '+' ? text + 1 : text;
  double value = 0.0;
  const std::from_chars_result result = std::from_chars(first, text + length, value);
  if (result.ec == std::errc() && result.ptr == text + length)
    return value;
  // Out of range: let the C library round the same (validated, decimal-only)
  // text to an infinity, a subnormal or zero.
  const std::string number(text, length);
  return std::strtod(number.c_str(), nullptr);
}
