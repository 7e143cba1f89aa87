// Differential test of the grid reader against the plain operator>> reader of
// tests/support: thousands of generated and mutated grids, read through
// string streams, through buffers that hand out a few characters at a time
// and through an unbuffered one, must give the same map to the bit or the
// same message, and leave the stream in the same state at the same place.
#include <cctype>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "support/ChunkedStreamBuf.h"
#include "support/ExpectThrowMsg.h"
#include "support/ReferenceGridReader.h"
#include "support/TestMaps.h"

namespace {
struct ReadOutcome {
  Thrown thrown;
  std::unique_ptr<TMap> map;
  std::ios_base::iostate state = std::ios_base::goodbit;
  std::string rest;
};

ReadOutcome Run(const std::function<TMap*(std::istream&)>& reader, std::istream& stream) {
  ReadOutcome outcome;
  outcome.thrown = CaptureThrow([&] { outcome.map.reset(reader(stream)); });
  outcome.state = stream.rdstate();
  stream.clear();
  std::ostringstream rest;
  rest << stream.rdbuf();
  outcome.rest = rest.str();
  return outcome;
}

TMap* Fast(std::istream& stream) {
  return TARCGISFileTools::LoadARCGISFile(stream);
}

void ExpectSame(const ReadOutcome& expected, const ReadOutcome& actual, const std::string& input,
                const std::string& how) {
  SCOPED_TRACE("input: [" + input + "] read " + how);
  ASSERT_EQ(expected.thrown.Describe(), actual.thrown.Describe());
  ASSERT_EQ(expected.map == nullptr, actual.map == nullptr);
  if (expected.map) {
    ASSERT_EQ("", MapDifference(expected.map.get(), actual.map.get()));
  }
  ASSERT_EQ(expected.state, actual.state);
  ASSERT_EQ(expected.rest, actual.rest);
}

// Reads the input with the reference reader and with the reader under test
// through every kind of buffer, `grids` times in a row from one stream;
// returns what the reference reader threw ("nothing" for a map read).
std::vector<std::string> CheckInput(const std::string& input, int grids = 1) {
  std::istringstream referenceStream(input);
  std::vector<ReadOutcome> expected;
  for (int i = 0; i < grids; ++i)
    expected.push_back(Run(ReferenceLoadGrid, referenceStream));

  std::istringstream stringStream(input);
  for (int i = 0; i < grids; ++i)
    ExpectSame(expected[i], Run(Fast, stringStream), input, "from a string stream");
  for (std::size_t chunk : {0, 1, 2, 3, 5, 8}) {
    ChunkedStreamBuf buffer(input, chunk);
    std::istream stream(&buffer);
    for (int i = 0; i < grids; ++i)
      ExpectSame(expected[i], Run(Fast, stream), input, "in chunks of " + std::to_string(chunk));
  }
  std::vector<std::string> messages;
  for (const ReadOutcome& outcome : expected)
    messages.push_back(outcome.thrown.Describe());
  return messages;
}

const char* const kNumbers[] = {"0",
                                "1",
                                "-1",
                                "+7",
                                "12",
                                "-0",
                                "0.5",
                                ".5",
                                "5.",
                                "1e3",
                                "1E3",
                                "-2.5e-3",
                                "+1.e2",
                                "00012",
                                "3.14159",
                                "123456789",
                                "1e308",
                                "1.7976931348623157e308",
                                "1.7976931348623159e308",
                                "4e-320",
                                "1e-400",
                                "-1e-400",
                                "2.4703282292062328e-324",
                                "2.4703282292062327e-324",
                                "9223372036854775807",
                                "-9223372036854775808",
                                "9223372036854775808",
                                "-9223372036854775809",
                                "99999999999999999999999",
                                "0.000000000000000000000000000001",
                                "1e99999999999",
                                "1e-99999999999",
                                "0e99999999999",
                                "-9999",
                                "10.5",
                                "4100035",
                                "-0.0e-0",
                                "1e",
                                "1e+",
                                "1e-",
                                "-",
                                "+",
                                ".",
                                "-.",
                                "+.e1",
                                "nan",
                                "NaN",
                                "inf",
                                "-inf",
                                "infinity",
                                "0x1A",
                                "0X10",
                                "1.2.3",
                                "1e5e3",
                                "abc",
                                "1-2",
                                "--1",
                                "+-1",
                                "e5",
                                ".e5",
                                "1,5",
                                "1e+-5",
                                "\xff",
                                "1\xff",
                                "12abc"};
const char* const kSeparators[] = {" ", "\n", "\r\n", "\t", "  ", "\v", "\f", " \r\n "};
const char* const kStrayBytes = " \t\r\n\v\f0123456789.eE+-xa,\xff";

class Generator {
public:
  explicit Generator(unsigned seed) : MbrRandom(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(MbrRandom); }
  bool Chance(int percent) { return Pick(100) < percent; }

  std::string Digits(int maxCount) {
    std::string digits;
    for (int i = Pick(maxCount + 1); i > 0; --i)
      digits += static_cast<char>('0' + Pick(10));
    return digits;
  }
  // Numbers made of random parts: most of them well formed, some not.
  std::string RandomNumber() {
    std::string text;
    if (Chance(30))
      text += Chance(50) ? "-" : "+";
    text += Digits(20);
    if (Chance(50))
      text += "." + Digits(20);
    if (Chance(30)) {
      text += Chance(50) ? "e" : "E";
      if (Chance(50))
        text += Chance(50) ? "-" : "+";
      text += Digits(4);
    }
    return text.empty() ? "0" : text;
  }
  // Numbers that extraction reads whole.
  std::string WellFormedNumber() {
    std::string text = Chance(30) ? (Chance(50) ? "-" : "+") : "";
    text += std::to_string(Pick(100000));
    if (Chance(50))
      text += "." + Digits(8);
    if (Chance(20))
      text += (Chance(50) ? "e-" : "E") + std::to_string(Pick(40));
    return text;
  }
  std::string Number() {
    return Chance(50) ? kNumbers[Pick(sizeof kNumbers / sizeof *kNumbers)] : RandomNumber();
  }
  std::string Count() { return Chance(85) ? std::to_string(1 + Pick(4)) : Number(); }
  std::string Separator() { return kSeparators[Pick(sizeof kSeparators / sizeof *kSeparators)]; }
  std::string Keyword(const char* keyword) {
    std::string word = keyword;
    if (Chance(95))
      return word;
    const int how = Pick(3);
    if (how == 0 && !word.empty())
      word[Pick(static_cast<int>(word.size()))] ^= 0x20;
    else if (how == 1)
      word.pop_back();
    else
      word = "nodata_value";
    return word;
  }

  std::string Grid() {
    std::string text = Chance(10) ? Separator() : "";
    const std::string columns = Count();
    const std::string rows = Count();
    text += Keyword("ncols") + Separator() + columns + Separator();
    text += Keyword("nrows") + Separator() + rows + Separator();
    text += Keyword("xllcorner") + Separator() + (Chance(90) ? WellFormedNumber() : Number()) +
            Separator();
    text += Keyword("yllcorner") + Separator() + (Chance(90) ? WellFormedNumber() : Number()) +
            Separator();
    text += Keyword("cellsize") + Separator() +
            (Chance(70) ? std::to_string(1 + Pick(100)) : Number()) + Separator();
    if (Chance(97))
      text += Keyword(Chance(50) ? "NODATA_value" : "nodata_value") + Separator() +
              (Chance(80) ? "-9999" : Number()) + Separator();
    // Small counts get about as many values as they claim, others a few.
    const bool small = columns.size() == 1 && rows.size() == 1 &&
                       std::isdigit(static_cast<unsigned char>(columns[0])) &&
                       std::isdigit(static_cast<unsigned char>(rows[0]));
    const long cells = small ? (columns[0] - '0') * (rows[0] - '0') : 4;
    const long count = cells + (Chance(70) ? 0 : Pick(5) - 2);
    for (long i = 0; i < count; ++i)
      text += (Chance(95)   ? WellFormedNumber()
               : Chance(50) ? RandomNumber()
                            : Number()) +
              Separator();
    if (Chance(15) && !text.empty())
      text.pop_back();
    return text;
  }

  void Mutate(std::string& text) {
    for (int i = Pick(3); i > 0 && !text.empty(); --i) {
      const std::size_t at = Pick(static_cast<int>(text.size()));
      const char stray = kStrayBytes[Pick(static_cast<int>(std::strlen(kStrayBytes)))];
      switch (Pick(4)) {
      case 0:
        text.resize(at);
        break;
      case 1:
        text.insert(text.begin() + at, stray);
        break;
      case 2:
        text.erase(at, 1);
        break;
      default:
        text[at] = stray;
        break;
      }
    }
  }

private:
  std::mt19937 MbrRandom;
};
} // namespace

TEST(TARCGISFileToolsDiffTest, HandPickedInputsMatchTheReferenceReader) {
  const char* const inputs[] = {
      "",
      "ncols",
      "ncols 2 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999 1 2",
      "ncols 2 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999 1 2\n",
      "ncols 2 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999 1 2 3 4\n",
      "ncols 10.5 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value 0 1\n",
      "ncols 1 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value nan 1\n",
      "ncols 1 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999",
      "ncols 1 nrows 2 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999 1e 2\n",
      "ncols 1 nrows 2 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999 1 1e",
      "ncols 1 nrows 2 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999 1 0x10 \n",
      "ncols 1 nrows 1 xllcorner 1e400 yllcorner 0 cellsize 1 NODATA_value -9999 1\n",
      "ncols 1 nrows 1 xllcorner 0 yllcorner 0 cellsize 1e-400 NODATA_value -9999 1\n",
      "ncols 99999999999999999999 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value 0 1\n",
      "ncols 1000000000000 nrows 1000000 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value 0 1 2\n",
  };
  for (const char* input : inputs)
    CheckInput(input);
}

TEST(TARCGISFileToolsDiffTest, GeneratedAndMutatedInputsMatchTheReferenceReader) {
  Generator generate(20261208);
  std::map<std::string, int> outcomes;
  for (int i = 0; i < 4000; ++i) {
    std::string input = generate.Grid();
    if (generate.Chance(50))
      generate.Mutate(input);
    ++outcomes[CheckInput(input).front()];
    if (HasFatalFailure())
      return;
  }
  // The inputs reach every outcome, and a good share of them are read whole.
  EXPECT_GT(outcomes["nothing"], 800);
  EXPECT_EQ(13u, outcomes.size()) << "success and the reader's twelve messages";
}

TEST(TARCGISFileToolsDiffTest, GridsBackToBackInOneStreamMatchTheReferenceReader) {
  Generator generate(7);
  for (int i = 0; i < 500; ++i) {
    std::string input = generate.Grid() + generate.Separator() + generate.Grid();
    CheckInput(input, 2);
    if (HasFatalFailure())
      return;
  }
}

namespace {
TMap* Lenient(std::istream& stream) {
  return TARCGISFileTools::LoadARCGISFileLenient(stream);
}
} // namespace

// Every input that the strict reader reads, the lenient one reads to the same
// map, leaving the stream in the same state at the same place, through every
// kind of buffer; some inputs only the lenient one reads (a keyword in
// another case, no no-data entry, a last value without white space).
TEST(TARCGISFileToolsDiffTest, TheLenientReaderReadsWhatTheStrictOneReadsAlike) {
  Generator generate(1214);
  int read = 0;
  int onlyLenient = 0;
  for (int i = 0; i < 4000; ++i) {
    std::string input = generate.Grid();
    if (generate.Chance(50))
      generate.Mutate(input);
    std::istringstream strictStream(input);
    const ReadOutcome strict = ::Run(Fast, strictStream);
    const bool strictReads = strict.thrown.kind == Thrown::Nothing;
    read += strictReads;
    for (std::size_t chunk : {0, 1, 3, 8}) {
      ChunkedStreamBuf buffer(input, chunk);
      std::istream stream(&buffer);
      const ReadOutcome lenient = ::Run(Lenient, stream);
      if (strictReads)
        ExpectSame(strict, lenient, input, "leniently in chunks of " + std::to_string(chunk));
      else
        onlyLenient += lenient.thrown.kind == Thrown::Nothing;
      if (HasFatalFailure())
        return;
    }
  }
  EXPECT_GT(read, 800);
  EXPECT_GT(onlyLenient, 40);
}
