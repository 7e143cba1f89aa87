#include "text/TDigitsFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "text/DigitPairs.h"

namespace {
// Products of a 53-bit significand and 5^k need 117 bits.
__extension__ typedef unsigned __int128 TWide;

const int kLargestScale = 27;
// 5^k for k = 0 .. 27, the largest below 2^63; 10^k is 5^k x 2^k.
constexpr std::uint64_t kPowersOfFive[kLargestScale + 1] = {1ULL,
                                                            5ULL,
                                                            25ULL,
                                                            125ULL,
                                                            625ULL,
                                                            3125ULL,
                                                            15625ULL,
                                                            78125ULL,
                                                            390625ULL,
                                                            1953125ULL,
                                                            9765625ULL,
                                                            48828125ULL,
                                                            244140625ULL,
                                                            1220703125ULL,
                                                            6103515625ULL,
                                                            30517578125ULL,
                                                            152587890625ULL,
                                                            762939453125ULL,
                                                            3814697265625ULL,
                                                            19073486328125ULL,
                                                            95367431640625ULL,
                                                            476837158203125ULL,
                                                            2384185791015625ULL,
                                                            11920928955078125ULL,
                                                            59604644775390625ULL,
                                                            298023223876953125ULL,
                                                            1490116119384765625ULL,
                                                            7450580596923828125ULL};

constexpr std::uint64_t kPowersOfTen[] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL,
                                          10000000000000000ULL,
                                          100000000000000000ULL};

// floor(n / 5^j) for every n below 2^53 is (n x Multiplier) >> Shift, with
// Shift = 53 + ceil(log2 5^j) and Multiplier = ceil(2^Shift / 5^j), below
// 2^55 (Granlund and Montgomery's division by an invariant integer).
struct TReciprocal {
  std::uint64_t Multiplier;
  int Shift;
};

struct TReciprocals {
  TReciprocal Of[kLargestScale + 1];
};

constexpr TReciprocals MakeReciprocals() {
  TReciprocals reciprocals{};
  for (int j = 0; j <= kLargestScale; ++j) {
    const std::uint64_t divisor = kPowersOfFive[j];
    int bits = 0;
    while ((std::uint64_t{1} << bits) < divisor)
      ++bits;
    const int shift = 53 + bits;
    const TWide multiplier = ((TWide{1} << shift) + divisor - 1) / divisor;
    reciprocals.Of[j] = TReciprocal{static_cast<std::uint64_t>(multiplier), shift};
  }
  return reciprocals;
}

constexpr TReciprocals kReciprocals = MakeReciprocals();

// 10^k for k in -27 .. 27, as 2^k times 5^k held in 63 bits, the highest
// set: 5^k x 2^b exactly for k >= 0, 2^b / 5^-k rounded up for k < 0. With
// it, the shift that takes the whole part of the value x 10^k out of the
// high word of the product with a significand held in the top 53 bits of a
// word: Shift minus the value's biased exponent. Index k + 27.
struct TScales {
  std::uint64_t Factor[2 * kLargestScale + 1];
  int Shift[2 * kLargestScale + 1];
  // How far above one half the product may lie and still be below it, in
  // units of the high word: 0 where the factor is exact, 3 where it is not.
  std::uint64_t Doubt[2 * kLargestScale + 1];
};

constexpr TScales MakeScales() {
  TScales scales{};
  for (int k = -kLargestScale; k <= kLargestScale; ++k) {
    int b = 0;
    TWide factor = 0;
    if (k >= 0) {
      while ((kPowersOfFive[k] << b) >> 62 == 0)
        ++b;
      factor = static_cast<TWide>(kPowersOfFive[k]) << b;
    } else {
      const std::uint64_t divisor = kPowersOfFive[-k];
      while ((TWide{1} << b) / divisor < (TWide{1} << 62))
        ++b;
      factor = ((TWide{1} << b) + divisor - 1) / divisor;
    }
    // The value is m x 2^(biased - 1075), m x 2^11 the significand word;
    // times 10^k it is the product x 2^(biased - 1075 + k - 11 - b).
    scales.Factor[k + kLargestScale] = static_cast<std::uint64_t>(factor);
    scales.Shift[k + kLargestScale] = b - k + 1075 + 11 - 64;
    scales.Doubt[k + kLargestScale] = k >= 0 ? 0 : 3;
  }
  return scales;
}

constexpr TScales kScales = MakeScales();

constexpr bool EveryFactorHas63Bits() {
  for (std::uint64_t factor : kScales.Factor)
    if (factor >> 62 != 1)
      return false;
  return true;
}
static_assert(EveryFactorHas63Bits(), "a factor of 63 bits keeps the high word below 2^63");

// The value x 10^k rounded to a whole number, ties to even as "%g" has
// them, for k in -27 .. 27; false where a rounded-up factor of k < 0 leaves
// the value too near one half to tell. A product in [2^125, 2^127) with a
// whole part in [1, 2^60) (k is chosen so that it lies there) puts the
// shift within 2 .. 62, so that adding half a unit to the high word cannot
// overflow; the rest is the rest of the high word and whether the low word
// is 0.
inline bool MultiplyRounded(std::uint64_t significand, int biased, int k, std::uint64_t& rounded) {
  const unsigned index = static_cast<unsigned>(k + kLargestScale);
  const std::uint64_t factor = kScales.Factor[index];
  const std::uint64_t high =
      static_cast<std::uint64_t>((static_cast<TWide>(significand) * factor) >> 64);
  // The low word of the same product.
  const std::uint64_t lowRest = significand * factor != 0;
  const unsigned shift = static_cast<unsigned>(kScales.Shift[index] - biased);
  const std::uint64_t unit = std::uint64_t{1} << shift;
  const std::uint64_t whole = high >> shift;
  // Twice the rest of the high word, below 2^63: above one unit, or on it
  // with a rest in the low word or an odd whole part, rounds up.
  const std::uint64_t twiceRest = 2 * (high & (unit - 1));
  rounded = whole + (twiceRest + (lowRest | (whole & 1)) > unit);
  // A factor rounded up lifts the product by less than 2^65 (its error
  // below 2^-62 times a product below 2^127): up to two units of the high
  // word past one half, never onto it.
  return twiceRest - unit >= 2 * kScales.Doubt[index];
}

// floor((biased - 1023) x log10(2)): the decimal exponent of the values of
// a biased binary exponent, or one less.
constexpr int DecimalExponent(int biased) {
  return ((biased - 1023) * 78913) >> 18;
}

// Whether x 2^a >= y 2^b, exactly: the side of the greater power of two
// shifted to the other's, where it fits.
constexpr bool AtLeast(TWide x, int a, TWide y, int b) {
  if (a < b) {
    const int shift = b - a;
    if (y == 0)
      return true;
    return shift < 128 && y <= (~TWide{0} >> shift) && x >= (y << shift);
  }
  const int shift = a - b;
  if (x == 0)
    return y == 0;
  return shift >= 128 || x > (~TWide{0} >> shift) || (x << shift) >= y;
}

// Whether the normal value m x 2^(biased - 1075) reaches (10^N - 1/2) x
// 10^p, from where it rounds to N digits of exponent p + N (the tie
// included, as 10^N is even), for p in -27 .. 27.
template <int N> constexpr bool ReachesNextDecade(std::uint64_t m, int biased, int p) {
  // Both sides times 2 x 2^-p x 5^-p.
  const TWide twiceBelow = 2 * TWide{kPowersOfTen[N]} - 1;
  if (p >= 0)
    return AtLeast(m, biased - 1074, twiceBelow * kPowersOfFive[p], p);
  return AtLeast(TWide{m} * kPowersOfFive[-p], biased - 1074 - p, twiceBelow, 0);
}

// The scales of N digits by biased binary exponent and the first kSplit
// bits of the significand (a part of a binade), for every binade from First
// on whose scale has a factor here: the factor, the shift for that exponent
// and the doubt as in TScales, and the decimal exponent. A part that lies
// wholly where its values round into the decade above the one that the
// binary exponent gives (DecimalExponent) has that decade's scale, where it
// has a factor here; the one part of a binade that the decade's edge cuts
// keeps the lower scale, and its values above the edge take the longer
// course. One load each, straight from the bits.
template <int N> struct TBinades {
  static constexpr int kSplit = 3;
  static constexpr int kParts = 1 << kSplit;
  static constexpr int First() {
    int biased = 1;
    while (N - 1 - DecimalExponent(biased) > kLargestScale)
      ++biased;
    return biased;
  }
  static constexpr int Count() {
    int biased = First();
    while (biased < 0x7ff && N - 1 - DecimalExponent(biased) >= -kLargestScale)
      ++biased;
    return biased - First();
  }
  // A byte for the shift (2 .. 63) keeps the tables smaller; the doubt
  // (0 or 3) stays a word, which the comparison takes from memory as it is,
  // and the decimal exponent an int, which leaves the register allocation
  // of the text as it was.
  std::uint64_t Factor[kParts * Count()];
  std::uint64_t Doubt[kParts * Count()];
  std::uint8_t Shift[kParts * Count()];
  int Exponent[kParts * Count()];
};

// Whether the least value of the part of the binade, and so every one,
// rounds into the decade above exponent, and that decade's scale has a
// factor here.
template <int N> constexpr bool PartReachesNextDecade(int biased, int part, int exponent) {
  const std::uint64_t least =
      (std::uint64_t{1} << 52) + (static_cast<std::uint64_t>(part) << (52 - TBinades<N>::kSplit));
  return N - 2 - exponent >= -kLargestScale &&
         ReachesNextDecade<N>(least, biased, exponent + 1 - N);
}

// The scale of part i of TBinades<N>: its index in TScales, its decimal
// exponent and its shift.
struct TPartScale {
  int Index;
  int Exponent;
  int Shift;
};

// The first binade is a parameter: taken once by the caller, as a
// compiler's budget of constant-evaluation steps is small.
template <int N> constexpr TPartScale PartScale(int first, int i) {
  const int biased = first + i / TBinades<N>::kParts;
  const int lower = DecimalExponent(biased);
  const int exponent = lower + PartReachesNextDecade<N>(biased, i % TBinades<N>::kParts, lower);
  const int index = N - 1 - exponent + kLargestScale;
  return TPartScale{index, exponent, kScales.Shift[index] - biased};
}

template <int N> constexpr bool ByteHoldsEveryShift() {
  constexpr int first = TBinades<N>::First();
  constexpr int parts = TBinades<N>::Count() * TBinades<N>::kParts;
  for (int i = 0; i < parts; ++i) {
    const TPartScale scale = PartScale<N>(first, i);
    if (scale.Shift < 2 || scale.Shift > 63)
      return false;
  }
  return true;
}

template <int N> constexpr TBinades<N> MakeBinades() {
  static_assert(ByteHoldsEveryShift<N>(), "every shift lies in 2 .. 63");
  TBinades<N> binades{};
  constexpr int first = TBinades<N>::First();
  constexpr int parts = TBinades<N>::Count() * TBinades<N>::kParts;
  for (int i = 0; i < parts; ++i) {
    const TPartScale scale = PartScale<N>(first, i);
    binades.Factor[i] = kScales.Factor[scale.Index];
    binades.Doubt[i] = kScales.Doubt[scale.Index];
    binades.Shift[i] = static_cast<std::uint8_t>(scale.Shift);
    binades.Exponent[i] = scale.Exponent;
  }
  return binades;
}

template <int N> constexpr TBinades<N> kBinades = MakeBinades<N>();

// The normal value of the given bits x 10^(N - 1 - its part's decimal
// exponent) rounded as MultiplyRounded does, from the high word alone, for
// the usual values: false also for a rest of exactly one half there, which
// only the low word settles.
template <int N>
inline bool MultiplyRoundedQuickly(std::uint64_t bits, unsigned part, std::uint64_t& rounded) {
  const TBinades<N>& binades = kBinades<N>;
  const std::uint64_t significand = bits << 11 | std::uint64_t{1} << 63;
  const std::uint64_t high =
      static_cast<std::uint64_t>((static_cast<TWide>(significand) * binades.Factor[part]) >> 64);
  const unsigned shift = static_cast<unsigned>(binades.Shift[part]);
  const std::uint64_t unit = std::uint64_t{1} << shift;
  // With half a unit added the whole part is the rounded one, and the rest
  // is how far the product lies past one half (at least half a unit where
  // it lies below): false where that is within the doubt, a tie included.
  // A shift of 63 (a whole part of 0 that rounds to 1 at one digit) leaves
  // the sum below 2^64.
  const std::uint64_t lifted = high + unit / 2;
  rounded = lifted >> shift;
  return (lifted & (unit - 1)) > binades.Doubt[part];
}

// The value x 10^-j rounded likewise, for j in 1 .. 27 where the value is
// m / (5^j x 2^dropped) with dropped in 1 .. 52 (a divisor below 2^53):
// the quotient by 5^j as a multiplication by its exact reciprocal, then a
// shift, the rest exact.
inline std::uint64_t DivideRounded(std::uint64_t m, int j, int dropped) {
  const TReciprocal& reciprocal = kReciprocals.Of[j];
  const std::uint64_t quotient = static_cast<std::uint64_t>(
      (static_cast<TWide>(m) * reciprocal.Multiplier) >> reciprocal.Shift);
  const std::uint64_t whole = quotient >> dropped;
  const std::uint64_t divisor = kPowersOfFive[j] << dropped;
  const std::uint64_t rest = m - whole * divisor;
  return whole + (2 * rest + (whole & 1) > divisor);
}

// The value x 10^k for k < 0 near one half, exactly; false where the
// numbers do not fit.
bool DivideExactly(std::uint64_t bits, int biased, int k, std::uint64_t& rounded) {
  const int dropped = -k - (biased - 1075);
  if (k >= 0 || k < -kLargestScale || static_cast<unsigned>(dropped - 1) >= 52)
    return false;
  rounded =
      DivideRounded((bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52, -k, dropped);
  return true;
}

// The normal value of the given bits x 10^k, rounded; false where the
// numbers do not fit the exact arithmetic here: scales beyond 10^27 either
// way, and quotients of wholes of 2^53 and more.
inline bool ScaleRounded(std::uint64_t bits, int biased, int k, std::uint64_t& rounded) {
  if (static_cast<unsigned>(k + kLargestScale) <= 2 * kLargestScale &&
      MultiplyRounded(bits << 11 | std::uint64_t{1} << 63, biased, k, rounded))
    return true;
  return DivideExactly(bits, biased, k, rounded);
}

// A value rounded to N significant digits: Digits x 10^(Exponent - N + 1),
// 10^(N-1) <= Digits < 10^N.
struct TRounded {
  std::uint64_t Digits;
  int Exponent;
};

// The finite, normal value of the given bits rounded to N digits; false
// where it is left to the general conversion.
template <int N> inline bool Round(std::uint64_t bits, TRounded& result) {
  const int biased = static_cast<int>(bits >> 52 & 0x7ff);
  int exponent = DecimalExponent(biased);
  std::uint64_t digits = 0;
  if (!ScaleRounded(bits, biased, N - 1 - exponent, digits))
    return false;
  // One digit too many: the exponent was one more. Exactly 10^N may be that
  // or a rounding up into the next decade; both mean 10^(N-1) one decade up.
  if (__builtin_expect(digits > kPowersOfTen[N], 0)) {
    ++exponent;
    if (!ScaleRounded(bits, biased, N - 1 - exponent, digits))
      return false;
  }
  if (__builtin_expect(digits == kPowersOfTen[N], 0)) {
    digits = kPowersOfTen[N - 1];
    ++exponent;
  }
  result = TRounded{digits, exponent};
  return true;
}

// The four digits of every value below 10^4 as text, the first in the low
// byte.
struct TFourDigits {
  std::uint32_t Of[10000];
};

constexpr TFourDigits MakeFourDigits() {
  TFourDigits table{};
  for (std::uint32_t i = 0; i < 10000; ++i)
    table.Of[i] = (0x30 + i / 1000) | (0x30 + i / 100 % 10) << 8 | (0x30 + i / 10 % 10) << 16 |
                  (0x30 + i % 10) << 24;
  return table;
}

constexpr TFourDigits kFourDigits = MakeFourDigits();

// How many of the four digits of every value below 10^4 reach the last one
// that is not 0 (0 for 0).
struct TFourDigitLengths {
  std::uint8_t Of[10000];
};

constexpr TFourDigitLengths MakeFourDigitLengths() {
  TFourDigitLengths table{};
  for (std::uint32_t i = 1; i < 10000; ++i) {
    std::uint8_t length = 4;
    for (std::uint32_t rest = i; rest % 10 == 0; rest /= 10)
      --length;
    table.Of[i] = length;
  }
  return table;
}

constexpr TFourDigitLengths kFourDigitLengths = MakeFourDigitLengths();

// A value below 10^8 as two values below 10^4, its first four digits and
// its last four.
struct TFourAndFour {
  std::uint64_t First;
  std::uint64_t Second;
};

inline TFourAndFour SplitEight(std::uint64_t value) {
  // value / 10^4, in whole words: exact below 2^32.
  const std::uint64_t first = value * 3518437209 >> 45;
  return TFourAndFour{first, value - first * 10000};
}

inline std::uint64_t EightDigits(TFourAndFour value) {
  return kFourDigits.Of[value.First] | std::uint64_t{kFourDigits.Of[value.Second]} << 32;
}

// The eight digits of a value below 10^8 as text, leading zeros included.
inline std::uint64_t EightDigits(std::uint64_t value) {
  return EightDigits(SplitEight(value));
}

// The digits of a rounded value as text, the first in the low byte of each
// word, '0' past the last digit: of up to sixteen the first eight in High
// and for more than eight the next eight in Low; of seventeen the first
// alone in Lead, then eight in High and eight in Low.
template <int N> struct TDigitText {
  // How many digits stand before High.
  static constexpr int kLead = N == 17;
  char Lead;
  std::uint64_t High;
  std::uint64_t Low;
  // How many digits reach the last one that is not 0.
  int Significant;
};

template <int N> inline TDigitText<N> DigitText(std::uint64_t digits) {
  const std::uint64_t kEightPlaces = 100000000;
  TDigitText<N> text{'0', kZeroDigits, kZeroDigits, 0};
  if constexpr (N <= 4) {
    text.High = kFourDigits.Of[digits * kPowersOfTen[4 - N]] | (kZeroDigits & 0xffffffff00000000);
  } else if constexpr (N <= 8) {
    text.High = EightDigits(digits * kPowersOfTen[8 - N]);
  } else if constexpr (N <= 16) {
    const std::uint64_t places = digits * kPowersOfTen[16 - N];
    const std::uint64_t upper = places / kEightPlaces;
    text.High = EightDigits(upper);
    // Values of a few decimals, a grid's usual ones, leave the last eight
    // places 0 at most digit counts.
    const std::uint64_t lower = places - upper * kEightPlaces;
    if (__builtin_expect(lower == 0, 1)) {
      text.Significant = LastNonZeroPlace(text.High) + 1;
      return text;
    }
    text.Low = EightDigits(lower);
  } else {
    // The lead digit and the four groups of four each straight from the
    // digits, not one after another.
    const std::uint64_t byFour = digits / kPowersOfTen[4];
    const std::uint64_t byEight = digits / kPowersOfTen[8];
    const std::uint64_t byTwelve = digits / kPowersOfTen[12];
    const std::uint64_t lead = digits / kPowersOfTen[16];
    const TFourAndFour high{byTwelve - lead * 10000, byEight - byTwelve * 10000};
    const TFourAndFour low{byFour - byEight * 10000, digits - byFour * 10000};
    text.Lead = static_cast<char>('0' + lead);
    text.High = EightDigits(high);
    text.Low = EightDigits(low);
    // The last digit that is not 0 after the lead, if any: among the last
    // four of Low or its first four, or likewise of High. It is found from
    // the values of four digits, at the same time as their text, and data
    // mixes the cases, so they are chosen, not branched to.
    const bool inLow = (low.First | low.Second) != 0;
    const TFourAndFour last = inLow ? low : high;
    const bool inSecond = last.Second != 0;
    text.Significant =
        1 + 8 * inLow + 4 * inSecond + kFourDigitLengths.Of[inSecond ? last.Second : last.First];
    return text;
  }
  if constexpr (N <= 8) {
    text.Significant = LastNonZeroPlace(text.High) + 1;
  } else {
    // The last digit that is not 0 (the first never is): in Low if it has
    // one, else in High.
    const bool inLow = text.Low != kZeroDigits;
    text.Significant = (inLow ? 9 : 1) + LastNonZeroPlace(inLow ? text.Low : text.High);
  }
  return text;
}

// The digits before Low at out.
template <int N> inline void StoreLeadAndHigh(char* out, const TDigitText<N>& text) {
  if constexpr (TDigitText<N>::kLead == 1)
    out[0] = text.Lead;
  StoreText(out + TDigitText<N>::kLead, text.High);
}

// The digits from the first on at out.
template <int N> inline void StoreAllDigits(char* out, const TDigitText<N>& text) {
  StoreLeadAndHigh(out, text);
  if constexpr (N > 8)
    StoreText(out + TDigitText<N>::kLead + 8, text.Low);
}

// The digits of Low, each one place further than it stands (after a point
// among the digits before).
template <int N> inline void StoreDigitsAfterPoint(char* out, const TDigitText<N>& text) {
  if constexpr (N > 8)
    StoreText(out + TDigitText<N>::kLead + 9, text.Low);
}

// The text of "%.<N>g" for a rounded value: fixed notation for exponents
// from -4 up to N - 1, exponential otherwise; trailing zeros of the fraction
// and a bare decimal point dropped. The digits go out in whole words, which
// may reach TDigitsFormat::kMaxLength characters past out.
template <int N> inline char* WriteGeneral(char* out, bool negative, TRounded rounded) {
  constexpr int kLead = TDigitText<N>::kLead;
  const TDigitText<N> text = DigitText<N>(rounded.Digits);
  *out = '-';
  out += negative;
  const int exponent = rounded.Exponent;
  const int significant = text.Significant;
  if (exponent >= 0 && exponent < N) {
    // The point and the fraction go out even where the digits end before
    // the point (and the returned end drops them): data mixes whole and
    // fractional values, a branch would guess wrong.
    const int whole = exponent + 1;
    StoreLeadAndHigh(out, text);
    if (N <= 8 || whole <= kLead + 8) {
      out[whole] = '.';
      // The fraction's first digits follow from High; a whole part that
      // takes all of High leaves none there (its shift of 64 taken as 0),
      // and the digits from Low overwrite what that stores.
      StoreText(out + whole + 1, text.High >> ((8 * (whole - kLead)) & 63));
      StoreDigitsAfterPoint(out, text);
    } else {
      // A whole part that reaches into Low: all of Low, then the point over
      // it and the fraction's digits from Low.
      StoreText(out + kLead + 8, text.Low);
      out[whole] = '.';
      StoreText(out + whole + 1, text.Low >> ((8 * (whole - kLead - 8)) & 63));
    }
    return out + std::max(whole, significant + (significant > whole));
  }
  if (exponent < 0 && exponent >= -4) {
    const std::uint64_t kPointAndZeros = 0x3030303030302E30; // "0.000000"
    StoreText(out, kPointAndZeros);
    StoreAllDigits(out + 1 - exponent, text);
    return out + 1 - exponent + significant;
  }
  if constexpr (kLead == 1) {
    out[0] = text.Lead;
    StoreText(out + 2, text.High);
  } else {
    out[0] = static_cast<char>(text.High);
    StoreText(out + 2, text.High >> 8);
  }
  out[1] = '.';
  StoreDigitsAfterPoint(out, text);
  // Without a fraction the point goes too.
  return WriteExponent(out + significant + (significant > 1), exponent);
}

// Zeros, subnormals, infinities, not-a-number and magnitudes beyond the
// exact scales.
char* FormatRare(char* out, double value, int digits) {
  if (value == 0.0) {
    *out = '-';
    out += std::signbit(value);
    *out = '0';
    return out + 1;
  }
  return std::to_chars(out, out + TDigitsFormat::kMaxLength, value, std::chars_format::general,
                       digits)
      .ptr;
}

// Values that the short path below leaves: roundings into the decade above
// their part's, rests near one half, zeros, subnormals,
// infinities, not-a-number and magnitudes beyond the exact scales.
template <int N> [[gnu::noinline]] char* FormatOther(char* out, std::uint64_t bits) {
  const unsigned biased = static_cast<unsigned>(bits >> 52 & 0x7ff);
  TRounded rounded{0, 0};
  // Normal numbers only: the biased exponent is neither 0 nor 0x7ff.
  if (biased - 1 < 0x7fe && Round<N>(bits, rounded))
    return WriteGeneral<N>(out, (bits >> 63) != 0, rounded);
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return FormatRare(out, value, N);
}

// The usual case, in line: a normal value whose decade its part of a binade
// tells and whose scale has a factor here.
template <int N> inline char* FormatValue(char* out, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  // Zeros, subnormals, infinities and not-a-number (biased exponent 0 or
  // 0x7ff) lie far beyond the binades.
  constexpr int kSplit = TBinades<N>::kSplit;
  const unsigned part = static_cast<unsigned>(bits >> (52 - kSplit) & ((0x800 << kSplit) - 1)) -
                        (TBinades<N>::First() << kSplit);
  std::uint64_t digits = 0;
  if (__builtin_expect(part < (TBinades<N>::Count() << kSplit) &&
                           MultiplyRoundedQuickly<N>(bits, part, digits) &&
                           digits < kPowersOfTen[N],
                       1))
    return WriteGeneral<N>(out, (bits >> 63) != 0, TRounded{digits, kBinades<N>.Exponent[part]});
  return FormatOther<N>(out, bits);
}

template <int N> char* FormatOne(char* out, double value) {
  return FormatValue<N>(out, value);
}

// One value as FormatValue writes it, then the separator.
template <int N> inline char* FormatThenSeparate(char* out, double value, char separator) {
  out = FormatValue<N>(out, value);
  *out = separator;
  return out + 1;
}

template <int N> char* FormatEach(char* out, const double* values, long count, char separator) {
  // Two values a turn: the loop's own steps are a fair share of a value's.
  // Seventeen digits, whose course is the longest, take eight: the
  // processor then overlaps more of the values' work.
  if constexpr (N == TDigitsFormat::kMostDigits) {
#pragma GCC unroll 8
    for (long i = 0; i < count; ++i)
      out = FormatThenSeparate<N>(out, values[i], separator);
  } else {
#pragma GCC unroll 2
    for (long i = 0; i < count; ++i)
      out = FormatThenSeparate<N>(out, values[i], separator);
  }
  return out;
}

using TFormatOne = char* (*)(char*, double);
using TFormatEach = char* (*)(char*, const double*, long, char);

// The formatters of every digit count, at index digits - 1.
template <std::size_t... I>
constexpr std::array<TFormatOne, sizeof...(I)> OneTable(std::index_sequence<I...>) {
  return {&FormatOne<static_cast<int>(I) + 1>...};
}
template <std::size_t... I>
constexpr std::array<TFormatEach, sizeof...(I)> EachTable(std::index_sequence<I...>) {
  return {&FormatEach<static_cast<int>(I) + 1>...};
}
using TDigitCounts = std::make_index_sequence<TDigitsFormat::kMostDigits>;
constexpr std::array<TFormatOne, TDigitsFormat::kMostDigits> kFormatOne = OneTable(TDigitCounts());
constexpr std::array<TFormatEach, TDigitsFormat::kMostDigits> kFormatEach =
    EachTable(TDigitCounts());
} // namespace

char* TDigitsFormat::Format(char* out, double value, int digits) {
  return kFormatOne[static_cast<std::size_t>(digits - 1)](out, value);
}

char* TDigitsFormat::FormatSeparated(char* out, const double* values, long count, char separator,
                                     int digits) {
  return kFormatEach[static_cast<std::size_t>(digits - 1)](out, values, count, separator);
}
