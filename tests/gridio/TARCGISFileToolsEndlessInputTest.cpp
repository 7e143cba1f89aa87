// Header words of several mebibytes, up to an input that never ends: the
// reader reports the keyword it expected after reading a bounded part of the
// word, whether it scans the stream buffer itself or uses the stream's own
// extraction (a stream with a locale of its own).
#include <gtest/gtest.h>

#include <istream>
#include <locale>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>

#include "gridio/TARCGISFileTools.h"
#include "support/ExpectThrowMsg.h"

namespace {
// Hands out one character over and over, a window at a time, and gives up
// (end of input) after kGiveUp characters so that a reader that does not
// stop early ends too; Used() tells how far it got.
class EndlessStreamBuf : public std::streambuf {
public:
  explicit EndlessStreamBuf(char fill) : MbrStrWindow(4096, fill), MbrLngUsed(0) {}
  long Used() const { return MbrLngUsed; }

protected:
  int_type underflow() override {
    if (MbrLngUsed >= kGiveUp)
      return traits_type::eof();
    MbrLngUsed += static_cast<long>(MbrStrWindow.size());
    setg(MbrStrWindow.data(), MbrStrWindow.data(), MbrStrWindow.data() + MbrStrWindow.size());
    return traits_type::to_int_type(MbrStrWindow[0]);
  }

private:
  static constexpr long kGiveUp = 64L << 20;
  std::string MbrStrWindow;
  long MbrLngUsed;
};

// The reader stops a word after a mebibyte, give or take a window.
const long kLittle = 2L << 20;

void UseOwnLocale(std::istream& stream) {
  stream.imbue(std::locale(std::locale::classic(), new std::numpunct<char>));
}

TEST(EndlessInputTest, EndlessWordIsNotTheFirstKeyword) {
  for (const char fill : {'\0', 'x'}) {
    for (const bool ownLocale : {false, true}) {
      EndlessStreamBuf endless(fill);
      std::istream stream(&endless);
      if (ownLocale)
        UseOwnLocale(stream);
      EXPECT_THROW_MSG(delete TARCGISFileTools::LoadARCGISFile(stream),
                       "File format error: expected to find ncols tag");
      EXPECT_LT(endless.Used(), kLittle);
    }
  }
}

struct LongWordCase {
  const char* name;
  std::string text;
  const char* message; // null: the grid reads
};

std::vector<LongWordCase> Cases() {
  const std::string longWord(3L << 20, 'w');
  const std::string header = "ncols 2\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\n";
  return {
      {"InPlaceOfNcols", longWord + " 2\n", "File format error: expected to find ncols tag"},
      {"InPlaceOfNrows", "ncols 2\n" + longWord + " 1\n",
       "File format error: expectd to find nrows tag"},
      {"KeywordWithOneMoreLetter", header + "NODATA_valuee -9999\n1 2\n",
       "File format error: expected to find NODATA_value tag"},
      {"InPlaceOfNodata", header + longWord + " -9999\n1 2\n",
       "File format error: expected to find NODATA_value tag"},
      {"LongestKeywordStillReads", header + "NODATA_value -9999\n1 2\n", nullptr},
  };
}

void PrintTo(const LongWordCase& c, std::ostream* out) {
  *out << c.name;
}

class LongWordTest : public testing::TestWithParam<LongWordCase> {};

TEST_P(LongWordTest, GivesTheKeywordMessage) {
  const LongWordCase& c = GetParam();
  for (const bool ownLocale : {false, true}) {
    std::istringstream stream(c.text);
    if (ownLocale)
      UseOwnLocale(stream);
    if (c.message != nullptr)
      EXPECT_THROW_MSG(delete TARCGISFileTools::LoadARCGISFile(stream), c.message)
          << (ownLocale ? "with a locale of its own" : "");
    else
      EXPECT_NO_THROW(delete TARCGISFileTools::LoadARCGISFile(stream))
          << (ownLocale ? "with a locale of its own" : "");
  }
}

INSTANTIATE_TEST_SUITE_P(Header, LongWordTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<LongWordCase>& info) {
                           return std::string(info.param.name);
                         });
} // namespace
