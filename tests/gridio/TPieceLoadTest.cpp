// Reading a file by name in pieces on 1 to 4 workers against reading the
// same text from a string stream: the same map to the bit, or the same
// message, for generated grids whose bodies carry none, one or several
// faults (a token that is not a number, too few values, a last value
// without white space after it, text after the body), strict and lenient.
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "platform/TItemTeam.h"
#include "support/ExpectThrowMsg.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

namespace {
const char* const kSeparators[] = {" ", "\n", "\r\n", "\t", "   ", " \n "};
const char* const kFaults[] = {"x", "1e", "--1", "0x", ".", "1,5", "nan", "inf"};

class BodyGenerator {
public:
  explicit BodyGenerator(unsigned seed) : MbrRandom(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(MbrRandom); }

  std::string Value() {
    switch (Pick(Pick(8) == 0 ? 5 : 4)) {
    case 0:
      return std::to_string(Pick(2000) - 1000);
    case 1:
      return std::to_string(Pick(100000) / 7.0);
    case 2:
      return "-9999";
    case 3:
      return std::to_string(Pick(90)) + "." + std::to_string(Pick(1000)) + "e-" +
             std::to_string(Pick(20));
    default:
      // Two values in one word, which a count of the words misplaces.
      return std::to_string(Pick(100)) + "-" + std::to_string(Pick(100));
    }
  }
  std::string Separator() { return kSeparators[Pick(sizeof kSeparators / sizeof *kSeparators)]; }

  // A grid of up to 30 x 30 cells with 0 to 3 faults in or after its body.
  std::string Grid() {
    const long columns = 1 + Pick(30);
    const long rows = 1 + Pick(30);
    std::string text = "ncols " + std::to_string(columns) + "\nnrows " + std::to_string(rows) +
                       "\nxllcorner 100\nyllcorner -20.5\ncellsize 2.5\nNODATA_value -9999\n";
    std::vector<std::string> values;
    for (long i = columns * rows + Pick(3) * Pick(5) - Pick(2) * Pick(4); i > 0; --i)
      values.push_back(Value());
    for (int faults = Pick(4); faults > 0 && !values.empty(); --faults)
      values[Pick(static_cast<int>(values.size()))] =
          kFaults[Pick(sizeof kFaults / sizeof *kFaults)];
    for (const std::string& value : values)
      text += value + Separator();
    if (Pick(6) == 0)
      text += "trailing text\n";
    if (Pick(8) == 0 && !text.empty())
      text.pop_back();
    return text;
  }

private:
  std::mt19937 MbrRandom;
};

Outcome ReadStream(const std::string& text, bool lenient) {
  std::istringstream stream(text);
  return Attempt([&] {
    return lenient ? TARCGISFileTools::LoadARCGISFileLenient(stream)
                   : TARCGISFileTools::LoadARCGISFile(stream);
  });
}

Outcome ReadNamed(const std::string& path, bool lenient, unsigned workers) {
  const TItemTeam::TFixedWorkers fixed(workers);
  return Attempt([&] {
    return lenient ? TARCGISFileTools::LoadARCGISFileLenient(path)
                   : TARCGISFileTools::LoadARCGISFile(path);
  });
}

void ExpectSameOnEveryCount(const Sandbox& sandbox, const std::string& text) {
  sandbox.Write("in.asc", text);
  for (bool lenient : {false, true}) {
    const Outcome expected = ReadStream(text, lenient);
    for (unsigned workers = 1; workers <= 4; ++workers) {
      SCOPED_TRACE("workers " + std::to_string(workers) + (lenient ? " lenient" : " strict") +
                   ", input [" + text + "]");
      const Outcome actual = ReadNamed(sandbox.Path("in.asc"), lenient, workers);
      ASSERT_EQ(expected.thrown.Describe(), actual.thrown.Describe());
      if (expected.map) {
        ASSERT_EQ("", MapDifference(expected.map.get(), actual.map.get()));
      }
    }
  }
}
} // namespace

TEST(TPieceLoad, GeneratedGridsReadAsFromAStreamOnAnyWorkerCount) {
  const Sandbox sandbox;
  BodyGenerator generate(20261210);
  int read = 0;
  for (int i = 0; i < 400; ++i) {
    const std::string text = generate.Grid();
    ExpectSameOnEveryCount(sandbox, text);
    if (HasFatalFailure())
      return;
    read += ReadStream(text, false).map != nullptr;
  }
  // Both the maps and the failures are well represented.
  EXPECT_GT(read, 80);
  EXPECT_LT(read, 320);
}

TEST(TPieceLoad, HandPickedBodiesReadAsFromAStream) {
  const std::string header =
      "ncols 3\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
  const char* const bodies[] = {
      "",
      "1 2 3 4 5 6\n",
      "1 2 3 4 5 6",
      "1 2 3 4 5 x 7 y\n",
      "1 x 3 4 5\n",
      "1 2 3 4 5\n",
      "1 2 3 4 5 6 junk after\n",
      "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n",
      "      1        2        3 4 5 6      \n",
      "1-2 3 4 5 6\n",
      "1 2 3 4 5 6-7\n",
      "1 2 3 4-5\n",
      "1 2\x01 3 4 5 6\n",
      "1 2 3\x01\x02 4 5 6\n",
      "1 2 3 4 5 6\x01\n",
      "1.5e3-2 3 4 5 6\n",
  };
  const Sandbox sandbox;
  for (const char* body : bodies)
    ExpectSameOnEveryCount(sandbox, header + body);
  ExpectSameOnEveryCount(sandbox, "ncols 3\nnrows 2\nxllcorner 0\n");
  ExpectSameOnEveryCount(sandbox, "");
}

TEST(TPieceLoad, AMissingFileOrADirectoryIsNotOpened) {
  const Sandbox sandbox;
  for (unsigned workers : {1u, 3u}) {
    const TItemTeam::TFixedWorkers fixed(workers);
    EXPECT_THROW_MSG(TARCGISFileTools::LoadARCGISFile(sandbox.Path("none.asc")),
                     "Unable to open file " + sandbox.Path("none.asc"));
    EXPECT_THROW_MSG(TARCGISFileTools::LoadARCGISFile(sandbox.Dir().string()),
                     "Unable to open file " + sandbox.Dir().string());
  }
}
