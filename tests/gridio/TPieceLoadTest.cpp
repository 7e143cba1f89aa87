// Reading a file by name in pieces on 1 to 4 workers against reading the
// same text from a string stream: the same map to the bit, or the same
// message, for generated grids whose bodies carry none, one or several
// faults (a token that is not a number, too few values, a last value
// without white space after it, text after the body), strict and lenient.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "platform/TItemTeam.h"
#include "support/ExpectThrowMsg.h"
#include "support/GridBodyGenerator.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

namespace {
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
  GridBodyGenerator generate(20261210);
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
