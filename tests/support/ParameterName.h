// ParameterName: a readable test name made from any text (a parameter's
// input, say): letters and digits kept, '-' spelled "Minus", '+' "Plus",
// '.' "Dot", ' ' "Space" and any other character as "Xhh" with its code in
// hexadecimal; the empty text is "Empty". The name depends on the text
// alone, so it stays the same from build to build (the test framework
// refuses two equal names in one table).
#ifndef QUILLMAP_TESTS_SUPPORT_PARAMETERNAME_H
#define QUILLMAP_TESTS_SUPPORT_PARAMETERNAME_H

#include <string>

std::string ParameterName(const std::string& text);

#endif
