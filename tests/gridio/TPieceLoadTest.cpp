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

} // namespace

TEST(TPieceLoad, GeneratedGridsReadAsFromAStreamOnAnyWorkerCount) {
  const Sandbox sandbox;
  const int read = ExpectGeneratedReadsAsFromAStream(sandbox, 20261210, 400, ReadNamed);
  // Both the maps and the failures are well represented.
  EXPECT_GT(read, 80);
  EXPECT_LT(read, 320);
}

TEST(TPieceLoad, HandPickedBodiesReadAsFromAStream) {
  const Sandbox sandbox;
  ExpectHandPickedReadAsFromAStream(sandbox, ReadNamed);
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
