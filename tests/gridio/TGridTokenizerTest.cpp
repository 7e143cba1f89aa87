// TGridTokenizer against formatted extraction, one read at a time: every
// sequence of three reads (word, whole number, real number, peek) over
// inputs that end, fail and overflow in every way, through a string stream
// and through buffers that hand out one to three characters or have no get
// area at all, must give the same values, the same failure and end states
// after each read, and leave the stream in the same state at the same place.
#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TGridTokenizer.h"
#include "support/ChunkedStreamBuf.h"

namespace {
const char* const kInputs[] = {"",
                               "   ",
                               "ncols 10.5 x",
                               "  -12\t+7\n1e5 ",
                               "1e 2",
                               "1e+ 3",
                               "0x10 nan inf",
                               "- + . -. 1. .5",
                               "12abc def",
                               "99999999999999999999 -99999999999999999999 ",
                               "1e400 -1e400 1e-400 ",
                               "4e-320 2.5e-3",
                               "1\r\n2\r\n",
                               "\v\f7",
                               "word",
                               "-9999 NODATA_value -9999",
                               "007 0.000 -0 "};

// One read, and the target's value after it as text.
enum class TRead { Word, Long, Double, Peek };
const TRead kReads[] = {TRead::Word, TRead::Long, TRead::Double, TRead::Peek};
const char* const kReadNames[] = {"word", "long", "double", "peek"};

struct Step {
  std::string Value;
  bool Failed;
  bool AtEnd;
  bool operator==(const Step& other) const {
    return Value == other.Value && Failed == other.Failed && AtEnd == other.AtEnd;
  }
};

std::string Text(double value) {
  std::ostringstream text;
  text.precision(17);
  text << value;
  return text.str();
}

// Each target starts at a value no read gives, so that a read that must
// keep its target shows it.
struct Targets {
  std::string Word = "kept";
  long Long = 4242;
  double Double = 42.5;
};

// Formatted extraction, as the contract states it.
Step Reference(std::istream& in, TRead read, Targets& t) {
  std::string value;
  switch (read) {
  case TRead::Word:
    in >> t.Word;
    value = t.Word;
    break;
  case TRead::Long:
    in >> t.Long;
    value = std::to_string(t.Long);
    break;
  case TRead::Double:
    in >> t.Double;
    value = Text(t.Double);
    break;
  case TRead::Peek: {
    if (!in.fail())
      in >> std::ws;
    const bool failed = in.fail() || in.eof();
    value = std::to_string(failed ? std::char_traits<char>::eof() : in.peek());
    if (in.eof())
      in.setstate(std::ios_base::failbit);
    break;
  }
  }
  return {value, in.fail(), in.eof()};
}

Step Tokenize(TGridTokenizer& in, TRead read, Targets& t) {
  std::string value;
  switch (read) {
  case TRead::Word:
    in.ReadWord(t.Word);
    value = t.Word;
    break;
  case TRead::Long:
    in.ReadLong(t.Long);
    value = std::to_string(t.Long);
    break;
  case TRead::Double:
    in.ReadDouble(t.Double);
    value = Text(t.Double);
    break;
  case TRead::Peek:
    value = std::to_string(in.PeekTokenStart());
    break;
  }
  return {value, in.Failed(), in.AtEnd()};
}

std::string Rest(std::istream& in) {
  in.clear();
  std::ostringstream rest;
  rest << in.rdbuf();
  return rest.str();
}

struct Outcome {
  std::vector<Step> Steps;
  std::ios_base::iostate State;
  std::string Rest;
};

Outcome ByReference(const std::string& input, const std::vector<TRead>& reads) {
  std::istringstream in(input);
  Targets targets;
  Outcome outcome;
  for (TRead read : reads)
    outcome.Steps.push_back(Reference(in, read, targets));
  outcome.State = in.rdstate();
  outcome.Rest = Rest(in);
  return outcome;
}

Outcome ByTokenizer(std::istream& stream, const std::vector<TRead>& reads) {
  Outcome outcome;
  {
    TGridTokenizer in(stream);
    Targets targets;
    for (TRead read : reads)
      outcome.Steps.push_back(Tokenize(in, read, targets));
  }
  outcome.State = stream.rdstate();
  outcome.Rest = Rest(stream);
  return outcome;
}

void ExpectSame(const Outcome& expected, const Outcome& actual, const std::string& where) {
  ASSERT_EQ(actual.Steps.size(), expected.Steps.size());
  for (std::size_t i = 0; i < expected.Steps.size(); ++i) {
    EXPECT_EQ(actual.Steps[i].Value, expected.Steps[i].Value) << where << ", read " << i;
    EXPECT_EQ(actual.Steps[i].Failed, expected.Steps[i].Failed) << where << ", read " << i;
    EXPECT_EQ(actual.Steps[i].AtEnd, expected.Steps[i].AtEnd) << where << ", read " << i;
  }
  EXPECT_EQ(actual.State, expected.State) << where;
  EXPECT_EQ(actual.Rest, expected.Rest) << where;
}

TEST(TGridTokenizer, ReadsAsFormattedExtractionThroughEveryBuffer) {
  for (const char* input : kInputs)
    for (TRead first : kReads)
      for (TRead second : kReads)
        for (TRead third : kReads) {
          const std::vector<TRead> reads = {first, second, third};
          const std::string where = std::string("input \"") + input + "\", reads " +
                                    kReadNames[static_cast<int>(first)] + " " +
                                    kReadNames[static_cast<int>(second)] + " " +
                                    kReadNames[static_cast<int>(third)];
          const Outcome expected = ByReference(input, reads);
          std::istringstream whole(input);
          ExpectSame(expected, ByTokenizer(whole, reads), where + ", string stream");
          for (std::size_t chunk : {0, 1, 2, 3}) {
            ChunkedStreamBuf buffer(input, chunk);
            std::istream stream(&buffer);
            ExpectSame(expected, ByTokenizer(stream, reads),
                       where + ", chunks of " + std::to_string(chunk));
          }
          if (testing::Test::HasFailure())
            return;
        }
}

// Commit hands back what was consumed: the stream buffer stands just after
// the last character used, and the tokenizer reads on from there.
TEST(TGridTokenizer, CommitLeavesTheStreamJustAfterTheLastCharacterUsed) {
  for (std::size_t chunk : {0, 1, 2, 64}) {
    ChunkedStreamBuf buffer("12 345 6", chunk);
    std::istream stream(&buffer);
    TGridTokenizer in(stream);
    long value = 0;
    in.ReadLong(value);
    in.Commit();
    EXPECT_EQ(stream.rdbuf()->sgetc(), ' ') << chunk;
    in.ReadLong(value);
    EXPECT_EQ(value, 345) << chunk;
    in.Commit();
    EXPECT_EQ(stream.rdbuf()->sgetc(), ' ') << chunk;
    in.ReadLong(value);
    EXPECT_EQ(value, 6) << chunk;
    EXPECT_TRUE(in.AtEnd());
    EXPECT_FALSE(in.Failed());
  }
}

// A bounded word fails after longest + 1 characters, and so does every
// read after it; a word of exactly `longest` characters is read.
TEST(TGridTokenizer, ABoundedWordFailsPastItsBound) {
  for (std::size_t chunk : {0, 1, 3, 64}) {
    ChunkedStreamBuf buffer("abcdefgh 1", chunk);
    std::istream stream(&buffer);
    TGridTokenizer in(stream);
    std::string word;
    in.ReadWord(word, 3);
    EXPECT_EQ(word, "abcd") << chunk;
    EXPECT_TRUE(in.Failed()) << chunk;
    long value = 7;
    in.ReadLong(value);
    EXPECT_EQ(value, 7) << chunk;
  }
  std::istringstream exact("abc 1");
  TGridTokenizer in(exact);
  std::string word;
  in.ReadWord(word, 3);
  EXPECT_EQ(word, "abc");
  EXPECT_FALSE(in.Failed());
}

// A stream set to read otherwise is read with its own operators.
TEST(TGridTokenizer, AStreamNotInItsDefaultStateKeepsItsOwnRules) {
  std::istringstream hex("ff 10");
  hex >> std::hex;
  {
    TGridTokenizer in(hex);
    long value = 0;
    in.ReadLong(value);
    EXPECT_EQ(value, 255);
  }
  std::istringstream noSkip(" 5");
  noSkip >> std::noskipws;
  TGridTokenizer in(noSkip);
  long value = 9;
  in.ReadLong(value);
  EXPECT_TRUE(in.Failed());
}

TEST(TGridTokenizer, AStreamThatHasFailedIsNotRead) {
  std::istringstream failed("12");
  failed.setstate(std::ios_base::failbit);
  TGridTokenizer in(failed);
  long value = 3;
  in.ReadLong(value);
  EXPECT_TRUE(in.Failed());
  EXPECT_EQ(value, 3);
}
} // namespace
