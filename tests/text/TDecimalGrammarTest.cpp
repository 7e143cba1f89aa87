#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/DecimalTokens.h"
#include "support/SweepCount.h"
#include "text/TDecimalGrammar.h"

namespace {
using G = TDecimalGrammar;

// How far the real-number scan reaches in text, fed whole and fed in two
// pieces split at every position: the state carries the scan across.
std::size_t ScannedReal(const std::string& text, int& state) {
  state = G::kStart;
  const char* begin = text.data();
  const char* stop = G::ScanReal(begin, begin + text.size(), state);
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    int pieceState = G::kStart;
    const char* first = G::ScanReal(begin, begin + cut, pieceState);
    const char* second =
        first == begin + cut ? G::ScanReal(first, begin + text.size(), pieceState) : first;
    EXPECT_EQ(second, stop) << '"' << text << "\" cut at " << cut;
    EXPECT_EQ(pieceState, state) << '"' << text << "\" cut at " << cut;
  }
  return static_cast<std::size_t>(stop - begin);
}

TEST(TDecimalGrammar, RealScanTakesTheLongestPrefixAndSaysHowFarItGot) {
  const struct {
    const char* text;
    std::size_t scanned;
    int state;
    std::size_t length;
  } cases[] = {
      {"12.5e+3kg", 7, G::kExpDigits, 7},
      {"-.5 ", 3, G::kFrac, 3},
      {"5.", 2, G::kFrac, 2},
      {"1e", 2, G::kExp, 1},
      {"1E-x", 3, G::kExpSign, 1},
      {"+-1", 1, G::kSign, 0},
      {".", 1, G::kDot, 0},
      {"nan", 0, G::kStart, 0},
      {"0x1A", 1, G::kInt, 1},
      {"2e3.5", 3, G::kExpDigits, 3},
      {"", 0, G::kStart, 0},
  };
  for (const auto& c : cases) {
    int state = -1;
    EXPECT_EQ(ScannedReal(c.text, state), c.scanned) << '"' << c.text << '"';
    EXPECT_EQ(state, c.state) << '"' << c.text << '"';
    EXPECT_EQ(G::RealLength(c.text, c.text + std::strlen(c.text)), c.length) << '"' << c.text;
  }
}

TEST(TDecimalGrammar, WholeScanStopsAtThePoint) {
  const std::string text = "-10.5";
  int state = G::kStart;
  const char* stop = G::ScanWhole(text.data(), text.data() + text.size(), state);
  EXPECT_EQ(stop - text.data(), 3);
  long value = 0;
  EXPECT_TRUE(G::ToWhole(text.data(), stop, state, value));
  EXPECT_EQ(value, -10);
}

TEST(TDecimalGrammar, ConversionsSetTheTargetAsExtractionDoes) {
  const double kMax = std::numeric_limits<double>::max();
  const struct {
    const char* text;
    bool converts;
    double value;
  } cases[] = {
      {"+2.5", true, 2.5},   {"1e400", false, kMax},  {"-1e400", false, -kMax},
      {"1e-400", true, 0.0}, {"-1e-400", true, -0.0}, {"0.0001e400", false, kMax},
      {"1e", false, 0.0},    {"-", false, 0.0},
  };
  for (const auto& c : cases) {
    const char* end = c.text + std::strlen(c.text);
    int state = G::kStart;
    G::ScanReal(c.text, end, state);
    double value = 7.0;
    EXPECT_EQ(G::ToReal(c.text, end, state, value), c.converts) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
  }
  long whole = 7;
  const std::string huge = "99999999999999999999999";
  int state = G::kStart;
  G::ScanWhole(huge.data(), huge.data() + huge.size(), state);
  EXPECT_FALSE(G::ToWhole(huge.data(), huge.data() + huge.size(), state, whole));
  EXPECT_EQ(whole, std::numeric_limits<long>::max());
}

TEST(TDecimalGrammar, DelimitedRealNeedsWhiteSpaceInsideTheText) {
  const struct {
    const char* text;
    std::size_t length; // 0: not taken
    double value;
  } cases[] = {
      {"12.5 ", 4, 12.5},   {"-0.1\n", 4, -0.1}, {"1234567890.123456 ", 17, 1234567890.123456},
      {"1e3\t", 3, 1000.0}, {"12.5", 0, 0.0},    {"+1 ", 0, 0.0},
      {"inf ", 0, 0.0},     {"1.5x ", 0, 0.0},
  };
  for (const auto& c : cases) {
    double value = 0.0;
    const char* stop = G::ParseDelimitedReal(c.text, c.text + std::strlen(c.text), value);
    EXPECT_EQ(stop == nullptr ? 0u : static_cast<std::size_t>(stop - c.text), c.length) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(TDecimalGrammar, PowersOfTenAreExact) {
  double power = 1.0;
  for (int i = 0; i <= G::kLargestExactPower; ++i, power *= 10.0)
    EXPECT_EQ(G::kExactPowersOfTen[i], power) << i;
}
} // namespace

namespace {
// The oracle: strtod over the token alone (correctly rounded), and whether
// it takes the whole token and stays in range.
struct TStrtod {
  double Value;
  bool Whole;
  bool OutOfRange;
};

TStrtod Strtod(const std::string& token) {
  errno = 0;
  char* stop = nullptr;
  const double value = std::strtod(token.c_str(), &stop);
  return TStrtod{value, stop == token.c_str() + token.size(), errno == ERANGE};
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

const char kDelimiters[] = {' ', '\n', '\t', '\r'};

// Counts mismatches and reports the first few.
class TMismatches {
public:
  void Add(const std::string& token, const std::string& what) {
    if (++MbrLngCount <= 10)
      ADD_FAILURE() << '"' << token << "\": " << what;
  }
  long Count() const { return MbrLngCount; }

private:
  long MbrLngCount = 0;
};
} // namespace

// Over every kind of token: where the short form takes a token, it takes
// all of it and gives strtod's value; the short decimals of grids it always
// takes; what it leaves, it leaves untouched.
TEST(TDecimalGrammar, ShortDecimalsGiveTheCorrectlyRoundedValue) {
  const long count = SweepCount("QUILLMAP_PARSE_SWEEP", 1500000);
  std::mt19937_64 random(29);
  TMismatches mismatches;
  long taken = 0;
  for (long i = 0; i < count; ++i) {
    const bool plain = i % 2 == 0;
    const std::string token =
        plain ? GenerateToken(TTokenKind::ShortDecimal, random) : GenerateToken(i / 2, random);
    const std::string text = token + kDelimiters[i % 4] + "7";
    double value = -7.25;
    const char* stop = G::ParseShortDecimal(text.data(), text.data() + text.size(), value);
    const TStrtod oracle = Strtod(token);
    if (stop == nullptr) {
      if (plain && oracle.Whole)
        mismatches.Add(token, "a short decimal not taken");
      if (!SameBits(value, -7.25))
        mismatches.Add(token, "refused, yet the target changed");
      continue;
    }
    ++taken;
    if (stop != text.data() + token.size())
      mismatches.Add(token, "taken to another end");
    else if (!oracle.Whole || !SameBits(value, oracle.Value))
      mismatches.Add(token, "taken as " + std::to_string(value));
  }
  EXPECT_EQ(mismatches.Count(), 0);
  EXPECT_GT(taken, count / 2);
}

// The delimited form takes every number that ends at white space and stays
// in range, with strtod's value; it refuses the rest and leaves the target.
TEST(TDecimalGrammar, DelimitedRealsGiveTheCorrectlyRoundedValue) {
  const long count = SweepCount("QUILLMAP_PARSE_SWEEP", 1500000) / 4;
  std::mt19937_64 random(31);
  TMismatches mismatches;
  for (long i = 0; i < count; ++i) {
    const std::string token = GenerateToken(i, random);
    const std::string text = token + kDelimiters[i % 4];
    double value = -7.25;
    const char* stop = G::ParseDelimitedReal(text.data(), text.data() + text.size(), value);
    const TStrtod oracle = Strtod(token);
    // strtod also reads "nan", "inf" and hexadecimal, which are no numbers
    // here; a plus sign is left to the scan, which takes it as extraction
    // does.
    const bool decimal = token.find_first_of("nNiIxX+") == std::string::npos;
    const bool expected = decimal && oracle.Whole && !oracle.OutOfRange;
    if (stop == nullptr) {
      if (expected)
        mismatches.Add(token, "a number refused");
      if (!SameBits(value, -7.25))
        mismatches.Add(token, "refused, yet the target changed");
    } else if (stop != text.data() + token.size() || !oracle.Whole ||
               !SameBits(value, oracle.Value)) {
      mismatches.Add(token, "taken as " + std::to_string(value));
    }
  }
  EXPECT_EQ(mismatches.Count(), 0);
}

TEST(TDecimalGrammar, ShortDecimalRefusesWhatOneOperationCannotDecide) {
  const char* const refused[] = {
      "1234567890123456 ", // 16 digits
      "0.1234567890123456 ",
      "1e23 ",    // beyond the exact powers
      "1e-23 ",   // likewise
      "1.5e22 ",  // 10^21 after the fraction: taken, see below
      "1e00001 ", // five exponent digits
      "1e ",      // an exponent mark without digits
      "1e+ ",     // likewise
      "12.5",     // no white space after it
      "+1 ",      // a plus sign is the scan's
      "- ",       // a sign alone
      ". ",       // a point alone
      "1.5x ",    // trailing text
      "nan ",     // not a number
  };
  for (const char* text : refused) {
    double value = -7.25;
    const char* stop = G::ParseShortDecimal(text, text + std::strlen(text), value);
    const bool taken = std::strcmp(text, "1.5e22 ") == 0;
    EXPECT_EQ(stop != nullptr, taken) << '"' << text << '"';
    EXPECT_EQ(value, taken ? 1.5e22 : -7.25) << '"' << text << '"';
  }
}

namespace {
// A run of tokens of one layout: the token, then others with its signs,
// points and exponent marks in place and new digits, each followed by a
// delimiter: mostly white space, now and then a character that ends no
// number, and for the last sometimes nothing at all.
struct TRun {
  std::string Text;
  std::vector<std::size_t> Starts;
};

TRun SameLayoutRun(const std::string& token, std::mt19937_64& random) {
  static const char kSpaces[] = " \n\t\r\v\f";
  static const char kOthers[] = {'x', ',', '\0', '-', '.', '5'};
  TRun run;
  const int tokens = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < tokens; ++i) {
    run.Starts.push_back(run.Text.size());
    for (char c : token)
      run.Text.push_back(G::IsDigit(c) ? static_cast<char>('0' + random() % 10) : c);
    if (i + 1 < tokens || random() % 4 != 0)
      run.Text.push_back(random() % 8 != 0 ? kSpaces[random() % 6] : kOthers[random() % 6]);
  }
  return run;
}
} // namespace

// The parse that keeps the last layout takes what the loop takes, to the
// same end and the same bits, and leaves the rest to it: runs of one layout
// and changes of layout, every length around the bytes read at once, each
// run in a buffer of its own size, so that a read past its end shows under
// the address sanitizer.
TEST(TDecimalGrammar, ShapedParseAgreesWithTheLoopOnEveryLayout) {
  const long count = SweepCount("QUILLMAP_PARSE_SWEEP", 1500000) / 8;
  std::mt19937_64 random(43);
  TMismatches mismatches;
  G::TShortShape shape;
  long shaped = 0;
  for (long i = 0; i < count; ++i) {
    const bool anyLayout = i % 3 != 0;
    const TRun run = SameLayoutRun(anyLayout ? GenerateToken(TTokenKind::AnyLayout, random)
                                             : GenerateToken(i, random),
                                   random);
    const std::unique_ptr<char[]> buffer(new char[run.Text.size()]);
    std::memcpy(buffer.get(), run.Text.data(), run.Text.size());
    const char* const end = buffer.get() + run.Text.size();
    for (std::size_t start : run.Starts) {
      const char* p = buffer.get() + start;
      double byLoop = -7.25;
      double byShape = -7.25;
      const char* loop = G::ParseShortDecimal(p, end, byLoop);
      const char* fast = G::ParseShortDecimal(p, end, byShape, shape);
      shaped += fast != nullptr && end - p > G::kWordBytes;
      if (fast != loop || !SameBits(byShape, byLoop))
        mismatches.Add(
            std::string(p, static_cast<std::size_t>(std::min<std::ptrdiff_t>(end - p, 24))),
            "taken as " + std::to_string(byShape) + " instead of " + std::to_string(byLoop));
    }
  }
  EXPECT_EQ(mismatches.Count(), 0);
  EXPECT_GT(shaped, count / 2);
}
