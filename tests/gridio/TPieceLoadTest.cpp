// Reading a file by name in pieces on 1 to 4 workers against reading the
// same text from a string stream: the same map to the bit, or the same
// message, for generated grids whose bodies carry none, one or several
// faults (a token that is not a number, too few values, a last value
// without white space after it, text after the body), strict and lenient.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "platform/TItemTeam.h"
#include "support/ExpectThrowMsg.h"
#include "support/ReadAgainstStream.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

namespace {
TMap* ReadNamed(const std::string& path, bool lenient) {
  return lenient ? TARCGISFileTools::LoadARCGISFileLenient(path)
                 : TARCGISFileTools::LoadARCGISFile(path);
}

void ExpectSameOnEveryCount(const Sandbox& sandbox, const std::string& text) {
  ExpectReadsAsFromAStream(sandbox, text, ReadNamed);
}
} // namespace

TEST(TPieceLoad, GeneratedGridsReadAsFromAStreamOnAnyWorkerCount) {
  const Sandbox sandbox;
  const int read = ExpectGeneratedReadsAsFromAStream(sandbox, 20261210, 400, ReadNamed);
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
      "1-2 3 4 5 6 7\n",
      "1 2 3 4-5 6 7 8\n",
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
