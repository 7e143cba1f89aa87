// The two-step reader into a caller's buffer against reading the same text
// from a string stream: the same header, the same values to the bit and the
// same frame, or the same message, on 1 to 4 workers (one worker reads as a
// stream, more read in pieces), strict and lenient; and a header counting
// more values than its file can hold fails before a buffer is asked for.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "gridio/TGridFileReader.h"
#include "platform/TItemTeam.h"
#include "support/ExpectThrowMsg.h"
#include "support/ReadAgainstStream.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

namespace {

// The reader's result as a map: its frame holding the cells it wrote.
TMap* ReadIntoCells(const std::string& path, bool lenient) {
  TGridFileReader reader(path, lenient);
  const TGridGeometry& grid = reader.Geometry();
  std::vector<double> cells(static_cast<std::size_t>(grid.Columns * grid.Rows));
  reader.ReadCells(cells.data());
  TMap* map = reader.NewFrame();
  for (long y = 0; y < grid.Rows; ++y)
    map->MbrVecValues.emplace_back(cells.begin() + y * grid.Columns,
                                   cells.begin() + (y + 1) * grid.Columns);
  return map;
}

const std::string kHeader =
    "ncols 3\nnrows 2\nxllcorner 0.5\nyllcorner -7\ncellsize 0.1\nNODATA_value -9999\n";

} // namespace

TEST(TGridFileReader, GeneratedGridsReadAsFromAStreamOnAnyWorkerCount) {
  const Sandbox sandbox;
  const int read = ExpectGeneratedReadsAsFromAStream(sandbox, 20261211, 300, ReadIntoCells);
  EXPECT_GT(read, 60);
  EXPECT_LT(read, 240);
}

TEST(TGridFileReader, HandPickedFilesReadAsFromAStream) {
  const Sandbox sandbox;
  ExpectHandPickedReadAsFromAStream(sandbox, ReadIntoCells);
}

TEST(TGridFileReader, AFileTooShortForItsCountsFailsBeforeTheBuffer) {
  const Sandbox sandbox;
  const std::string huge = "ncols 3000000000\nnrows 3000000000\nxllcorner 0\nyllcorner 0\n"
                           "cellsize 1\nNODATA_value -9999\n";
  const std::string cases[][2] = {
      {huge + "1 2 3\n", "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"},
      {huge + "1 2 x\n",
       "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile"},
  };
  for (const auto& item : cases) {
    sandbox.Write("short.asc", item[0]);
    for (unsigned workers = 1; workers <= 4; ++workers) {
      const TItemTeam::TFixedWorkers fixed(workers);
      for (bool lenient : {false, true})
        EXPECT_THROW_MSG(TGridFileReader(sandbox.Path("short.asc"), lenient), item[1]);
    }
  }
}

TEST(TGridFileReader, ABodyOfTooFewWordsFailsInReadCells) {
  const Sandbox sandbox;
  // Enough bytes for the counts, too few values.
  sandbox.Write("late.asc", kHeader + "1 2 3 4 5                                  \n");
  for (unsigned workers = 1; workers <= 4; ++workers) {
    const TItemTeam::TFixedWorkers fixed(workers);
    std::vector<double> cells(6, 42.0);
    // One worker reads the stream whole at once; more fail in ReadCells.
    EXPECT_THROW_MSG(TGridFileReader(sandbox.Path("late.asc")).ReadCells(cells.data()),
                     "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");
  }
}

TEST(TGridFileReader, AMissingFileOrADirectoryIsNotOpened) {
  const Sandbox sandbox;
  for (unsigned workers : {1u, 3u}) {
    const TItemTeam::TFixedWorkers fixed(workers);
    EXPECT_THROW_MSG(TGridFileReader(sandbox.Path("none.asc")),
                     "Unable to open file " + sandbox.Path("none.asc"));
    EXPECT_THROW_MSG(TGridFileReader(sandbox.Dir().string()),
                     "Unable to open file " + sandbox.Dir().string());
  }
}
