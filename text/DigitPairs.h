// DigitPairs: the pieces that digits are handled with eight characters at a
// time: a word of eight characters (the first in its low byte, whatever the
// machine's byte order), where the last digit that is not 0 lies in it, the
// two-character texts of 00 to 99, and the exponent part of general
// notation. Internal to text/.
#ifndef QUILLMAP_TEXT_DIGITPAIRS_H
#define QUILLMAP_TEXT_DIGITPAIRS_H

#include <cstdint>
#include <cstring>

inline const char kDigitPairs[] = "00010203040506070809"
                                  "10111213141516171819"
                                  "20212223242526272829"
                                  "30313233343536373839"
                                  "40414243444546474849"
                                  "50515253545556575859"
                                  "60616263646566676869"
                                  "70717273747576777879"
                                  "80818283848586878889"
                                  "90919293949596979899";

// Eight '0' characters in a word.
constexpr std::uint64_t kZeroDigits = 0x3030303030303030;

// Stores eight characters held in a word. One wide store: the digits never
// pass through memory on their way out.
inline void StoreText(char* out, std::uint64_t text) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  text = __builtin_bswap64(text);
#endif
  std::memcpy(out, &text, sizeof text);
}

// Where the last character that is not '0' lies in a word of digits (0 for
// the first); the word must hold one.
inline int LastNonZeroPlace(std::uint64_t text) {
  return (63 ^ __builtin_clzll(text ^ kZeroDigits)) >> 3;
}

// "e+dd" or "e-dd", three digits from 100 on, as "%g" writes a decimal
// exponent of magnitude below 1000; returns the end.
inline char* WriteExponent(char* out, int exponent) {
  out[0] = 'e';
  out[1] = exponent < 0 ? '-' : '+';
  int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude >= 100) {
    out[2] = static_cast<char>('0' + magnitude / 100);
    magnitude %= 100;
    ++out;
  }
  std::memcpy(out + 2, kDigitPairs + 2 * magnitude, 2);
  return out + 4;
}

#endif
