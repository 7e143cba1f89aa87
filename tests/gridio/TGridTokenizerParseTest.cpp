// TGridTokenizer's real numbers against formatted extraction (`is >>
// double`), the behaviour it keeps: for every kind of token (short decimals
// and the rest, limits, malformed classes), in every context (white space,
// a line end, the end of the input, another token after it), through
// stream buffers that hand the text out in windows of every size, the value
// to the bit, the failure and end states after each of two reads, and what
// is left in the stream afterwards. QUILLMAP_PARSE_SWEEP=<count> sets the
// number of tokens (default 300000).
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TGridTokenizer.h"
#include "support/ChunkedStreamBuf.h"
#include "support/DecimalTokens.h"
#include "support/SweepCount.h"

namespace {
// Two reads and what they leave.
struct TOutcome {
  double Values[2];
  bool Failed[2];
  bool AtEnd[2];
  std::string Rest;

  bool operator==(const TOutcome& other) const {
    return std::memcmp(Values, other.Values, sizeof Values) == 0 && Failed[0] == other.Failed[0] &&
           Failed[1] == other.Failed[1] && AtEnd[0] == other.AtEnd[0] &&
           AtEnd[1] == other.AtEnd[1] && Rest == other.Rest;
  }
};

std::string Describe(const TOutcome& outcome) {
  std::ostringstream text;
  text.precision(17);
  for (int i = 0; i < 2; ++i)
    text << outcome.Values[i] << (outcome.Failed[i] ? " failed" : "")
         << (outcome.AtEnd[i] ? " at end" : "") << "; ";
  text << "rest \"" << outcome.Rest << '"';
  return text.str();
}

std::string Rest(std::istream& stream) {
  stream.clear();
  return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

TOutcome ByExtraction(const std::string& text) {
  std::istringstream stream(text);
  TOutcome outcome{{3.5, 3.5}, {}, {}, {}};
  for (int i = 0; i < 2; ++i) {
    stream >> outcome.Values[i];
    outcome.Failed[i] = stream.fail();
    outcome.AtEnd[i] = stream.eof();
  }
  outcome.Rest = Rest(stream);
  return outcome;
}

// A buffer over the text. chunk: as ChunkedStreamBuf takes it; -1 for the
// whole text in one window.
std::unique_ptr<std::streambuf> Windows(const std::string& text, int chunk) {
  if (chunk < 0)
    return std::make_unique<std::stringbuf>(text);
  return std::make_unique<ChunkedStreamBuf>(text, static_cast<std::size_t>(chunk));
}

TOutcome ByTokenizer(const std::string& text, int chunk) {
  const std::unique_ptr<std::streambuf> buffer = Windows(text, chunk);
  std::istream stream(buffer.get());
  TOutcome outcome{{3.5, 3.5}, {}, {}, {}};
  {
    TGridTokenizer in(stream);
    for (int i = 0; i < 2; ++i) {
      in.ReadDouble(outcome.Values[i]);
      outcome.Failed[i] = in.Failed();
      outcome.AtEnd[i] = in.AtEnd();
    }
  }
  outcome.Rest = Rest(stream);
  return outcome;
}

// The token in a context: followed by a blank and another number, by a line
// end, by nothing, or after white space and before a carriage return.
std::string InContext(const std::string& token, long index) {
  switch (index % 4) {
  case 0:
    return token + " 7 ";
  case 1:
    return token + "\n";
  case 2:
    return token;
  default:
    return " \t" + token + "\r\n8";
  }
}
} // namespace

TEST(TGridTokenizerParseTest, RealsReadAsFormattedExtractionReadsThem) {
  const long count = SweepCount("QUILLMAP_PARSE_SWEEP", 300000);
  const int kChunks[] = {-1, 0, 1, 3, 5, 8, 16, 64};
  std::mt19937_64 random(37);
  long mismatches = 0;
  for (long i = 0; i < count; ++i) {
    const std::string text = InContext(GenerateToken(i, random), i / 7);
    const int chunk = kChunks[(i / 3) % 8];
    const TOutcome expected = ByExtraction(text);
    const TOutcome actual = ByTokenizer(text, chunk);
    if (!(actual == expected) && ++mismatches <= 10)
      ADD_FAILURE() << '"' << text << "\" in windows of " << chunk << ": " << Describe(actual)
                    << " instead of " << Describe(expected);
  }
  EXPECT_EQ(mismatches, 0);
}

// Rows of short decimals, the body's usual case, among other layouts, read on
// across windows: every value, and the end state after the last.
TEST(TGridTokenizerParseTest, RowsOfShortDecimalsReadOnAcrossWindows) {
  std::mt19937_64 random(41);
  std::string text;
  const TTokenKind kinds[] = {TTokenKind::ShortExponent, TTokenKind::AnyLayout,
                              TTokenKind::ShortDecimal, TTokenKind::ShortDecimal,
                              TTokenKind::ShortDecimal};
  for (int i = 0; i < 20000; ++i)
    text += GenerateToken(kinds[i % 5], random) + (i % 9 == 8 ? " \n" : " ");
  for (int chunk : {-1, 1, 7, 4096}) {
    std::istringstream reference(text);
    const std::unique_ptr<std::streambuf> buffer = Windows(text, chunk);
    std::istream stream(buffer.get());
    TGridTokenizer in(stream);
    for (int i = 0; i <= 20000; ++i) {
      double expected = 3.5;
      double actual = 3.5;
      reference >> expected;
      in.ReadDouble(actual);
      ASSERT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0) << i << ", windows of " << chunk;
      ASSERT_EQ(in.Failed(), reference.fail()) << i << ", windows of " << chunk;
      ASSERT_EQ(in.AtEnd(), reference.eof()) << i << ", windows of " << chunk;
    }
  }
}

// Runs of short decimals read at once, of any length, between single reads,
// over tokens of every kind and windows of every size: the values and
// states of formatted extraction, and what is left in the stream.
TEST(TGridTokenizerParseTest, RunsReadAsSingleReadsDo) {
  const int kChunks[] = {-1, 1, 5, 8, 64};
  const char* const kSpaces[] = {" ", "\n", " \n", "\t", "\r\n"};
  std::mt19937_64 random(47);
  for (int trial = 0; trial < 2000; ++trial) {
    std::string text;
    for (int i = static_cast<int>(random() % 40); i >= 0; --i)
      text += (random() % 8 == 0 ? GenerateToken(static_cast<long>(random() % 64), random)
                                 : GenerateToken(TTokenKind::ShortDecimal, random)) +
              kSpaces[random() % 5];
    const int chunk = kChunks[trial % 5];
    std::istringstream reference(text);
    const std::unique_ptr<std::streambuf> buffer = Windows(text, chunk);
    std::istream stream(buffer.get());
    {
      TGridTokenizer in(stream);
      double values[8];
      while (!in.Failed()) {
        const std::size_t read = in.ReadShortDecimals(values, random() % 9);
        for (std::size_t i = 0; i < read; ++i) {
          double expected = 3.5;
          reference >> expected;
          ASSERT_FALSE(reference.fail()) << '"' << text << "\" in windows of " << chunk;
          ASSERT_EQ(std::memcmp(&expected, &values[i], sizeof expected), 0) << '"' << text << '"';
        }
        double expected = 3.5;
        double actual = 3.5;
        reference >> expected;
        in.ReadDouble(actual);
        ASSERT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0) << '"' << text << '"';
        ASSERT_EQ(in.Failed(), reference.fail()) << '"' << text << '"';
        ASSERT_EQ(in.AtEnd(), reference.eof()) << '"' << text << '"';
      }
    }
    EXPECT_EQ(Rest(stream), Rest(reference)) << '"' << text << "\" in windows of " << chunk;
  }
}

// Runs of reads (ReadShortDecimals, or its paced form, each run followed by
// one ReadDouble) are the reads one at a time: over short decimals among long mantissas and
// midpoints, between every white space and up to a malformed token at the
// end, through windows of every size, runs of every length give the same
// values to the bit, the same states after each single read, and leave the
// same text in the stream.
TEST(TGridTokenizerParseTest, RunsOfReadsAreTheReadsOneAtATime) {
  std::mt19937_64 random(43);
  const char* const kSpaces[] = {" ", "\n", " \t", "\r\n", "  "};
  const TTokenKind kKinds[] = {TTokenKind::ShortDecimal, TTokenKind::ShortExponent,
                               TTokenKind::ShortDecimal, TTokenKind::LongMantissa,
                               TTokenKind::ShortDecimal, TTokenKind::Midpoint};
  std::string text;
  for (long i = 0; i < 6000; ++i)
    text += GenerateToken(kKinds[i % 6], random) + kSpaces[i % 5];
  text += "12.5 x";
  for (int chunk : {-1, 1, 5, 64, 4096})
    for (std::size_t runLength : {1, 3, 256})
      for (bool paced : {false, true}) {
        const std::unique_ptr<std::streambuf> oneBuffer = Windows(text, chunk);
        const std::unique_ptr<std::streambuf> runBuffer = Windows(text, chunk);
        std::istream oneStream(oneBuffer.get());
        std::istream runStream(runBuffer.get());
        const std::string where = "windows of " + std::to_string(chunk) + ", runs of " +
                                  std::to_string(runLength) + (paced ? ", paced" : "");
        {
          TGridTokenizer one(oneStream);
          TGridTokenizer runs(runStream);
          std::vector<double> run(runLength);
          long index = 0;
          while (!runs.Failed()) {
            const std::size_t read = paced ? runs.ReadShortDecimalsPaced(run.data(), runLength)
                                           : runs.ReadShortDecimals(run.data(), runLength);
            for (std::size_t k = 0; k <= read; ++k, ++index) {
              double expected = 3.5;
              one.ReadDouble(expected);
              double actual = 3.5;
              if (k < read)
                actual = run[k];
              else
                runs.ReadDouble(actual);
              ASSERT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0)
                  << index << ", " << where;
            }
            ASSERT_EQ(runs.Failed(), one.Failed()) << index << ", " << where;
            ASSERT_EQ(runs.AtEnd(), one.AtEnd()) << index << ", " << where;
          }
          ASSERT_GT(index, 6000) << where;
        }
        EXPECT_EQ(Rest(runStream), Rest(oneStream)) << where;
      }
}
