// DecimalTokens: generated number tokens of every kind a grid reader meets,
// for the differential tests of the number parsers: the short decimals that
// grids hold (with and without exponents, signs and leading zeros), long
// mantissas, decimal texts of the exact midpoints between neighbouring
// doubles and of their neighbours, values near the limits of the range
// (overflow, subnormals, underflow), and every malformed class the reader
// tells apart. Deterministic for a given generator state.
#ifndef QUILLMAP_TESTS_SUPPORT_DECIMALTOKENS_H
#define QUILLMAP_TESTS_SUPPORT_DECIMALTOKENS_H

#include <random>
#include <string>

enum class TTokenKind {
  ShortDecimal,  // [-] up to 15 digits [. digits], "1234.56"
  ShortExponent, // the same with an exponent of the exact powers: "1.5e-07"
  LongMantissa,  // 16 to 40 digits
  Midpoint,      // the exact midpoint of two doubles, or one digit off it
  NearLimits,    // around the largest and the smallest doubles, beyond them
  Subnormal,     // a subnormal double in 17 digits
  Malformed,     // letters, a bare exponent, a sign or a dot alone, trailing text
  AnyLayout,     // [sign] 1 to 19 digits, a point anywhere or none, now and then an exponent
  Count
};

std::string GenerateToken(TTokenKind kind, std::mt19937_64& random);

// Every kind in turn.
std::string GenerateToken(long index, std::mt19937_64& random);

#endif
