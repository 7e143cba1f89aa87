// Every prefix of a few valid grid files, read as a whole text and a few
// characters at a time: each gives the complete map, once the prefix holds
// every value and the white space after the last, or one of the reader's
// messages before that; never anything else.
#include <gtest/gtest.h>

#include <istream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "gridio/TARCGISFileTools.h"
#include "support/ChunkedStreamBuf.h"
#include "support/ExpectThrowMsg.h"

namespace {
const std::set<std::string> kReaderMessages = {
    "File format error: expected to find ncols tag",
    "File format error: expectd to find nrows tag",
    "File format error: expected to find xllcorner tag",
    "File format error: expected to find yllcorner tag",
    "File format error: expected to find cellsize tag",
    "File format error: expected to find NODATA_value tag",
    "File format error: NODATA_value is not a number",
    "File format error: ncols must be greater than 0",
    "File format error: nrows must be greater than 0",
    "File format error: cellsize must be greater than 0",
    "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile",
    "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile",
};

struct TruncationCase {
  const char* name;
  std::string text;
  // Length of the shortest prefix that reads as the whole grid: up to and
  // including the white space after the last value.
  std::size_t complete;
};

TruncationCase Case(const char* name, const std::string& text, const std::string& lastValue) {
  return {name, text, text.rfind(lastValue) + lastValue.size() + 1};
}

std::vector<TruncationCase> Cases() {
  const std::string header = "ncols 3\nnrows 2\nxllcorner 512000.5\nyllcorner -4.25e3\n"
                             "cellsize 25\nNODATA_value -9999\n";
  const std::string rows = "1 -2.5 3e2\n-9999 .5 +6\n";
  std::string crlf;
  for (char c : header + rows)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return {
      Case("RowPerLine", header + rows + "surplus 7 8\n", "+6"),
      Case("CrLf", crlf, "+6"),
      Case("OneLineWithTabs",
           "ncols\t2\tnrows\t2\txllcorner\t0\tyllcorner\t0\tcellsize\t1e-3\t"
           "nodata_value\t-32768\t123456789012345678901234567890\t-0\t1.0e-310\t4\t",
           "\t4"),
  };
}

// "map <columns>x<rows> <grid text>", "message <text>" for a const char*
// thrown, or else what was thrown.
std::string Outcome(std::istream& stream) {
  std::string read;
  const Thrown thrown = CaptureThrow([&] {
    std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(stream));
    std::ostringstream text;
    TARCGISFileTools::WriteARCGISFile(map.get(), text);
    read = "map " + std::to_string(map->MbrLngXDim) + "x" + std::to_string(map->MbrLngYDim) + " " +
           text.str();
  });
  if (thrown.kind == Thrown::Nothing)
    return read;
  return thrown.kind == Thrown::Text ? "message " + thrown.message : thrown.Describe();
}

void PrintTo(const TruncationCase& c, std::ostream* out) {
  *out << c.name;
}

class TruncationTest : public testing::TestWithParam<TruncationCase> {};

TEST_P(TruncationTest, EveryPrefixGivesTheMapOrAMessage) {
  const TruncationCase& c = GetParam();
  std::istringstream full(c.text);
  const std::string whole = Outcome(full);
  ASSERT_EQ(whole.rfind("map ", 0), 0u) << whole;

  for (std::size_t length = 0; length <= c.text.size(); ++length) {
    const std::string prefix = c.text.substr(0, length);
    std::istringstream stream(prefix);
    const std::string outcome = Outcome(stream);
    if (length >= c.complete)
      EXPECT_EQ(outcome, whole) << "prefix of " << length;
    else
      EXPECT_EQ(kReaderMessages.count(outcome.substr(std::string("message ").size())), 1u)
          << "prefix of " << length << ": " << outcome;

    ChunkedStreamBuf chunks(prefix, length % 4);
    std::istream chunked(&chunks);
    EXPECT_EQ(Outcome(chunked), outcome) << "prefix of " << length << " in chunks";
  }
}

INSTANTIATE_TEST_SUITE_P(GridFiles, TruncationTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<TruncationCase>& info) {
                           return std::string(info.param.name);
                         });
} // namespace
