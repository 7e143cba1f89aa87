#include "support/ParameterName.h"

#include <cctype>
#include <cstdio>

std::string ParameterName(const std::string& text) {
  if (text.empty())
    return "Empty";
  std::string name;
  for (const char c : text) {
    const unsigned char code = static_cast<unsigned char>(c);
    if (std::isalnum(code))
      name += c;
    else if (c == '-')
      name += "Minus";
    else if (c == '+')
      name += "Plus";
    else if (c == '.')
      name += "Dot";
    else if (c == ' ')
      name += "Space";
    else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "X%02x", code);
      name += escaped;
    }
  }
  return name;
}
