#include <cmath>
#include <filesystem>
#include <limits>
#include <locale>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/GridText.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"

namespace {
std::string Written(TMap* map) {
  std::ostringstream stream;
  TARCGISFileTools::WriteARCGISFile(map, stream);
  return stream.str();
}

std::unique_ptr<TMap> Read(const std::string& text) {
  std::istringstream stream(text);
  return std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFile(stream));
}

// The three header lines that carry the georeferencing.
std::string Georeferencing(TMap* map) {
  const std::string text = Written(map);
  const std::size_t begin = text.find("xllcorner");
  return text.substr(begin, text.find("NODATA_value") - begin);
}

std::unique_ptr<TMap> RandomGrid(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-1e4, 1e4);
  std::vector<double> values(7 * 5);
  for (double& v : values)
    v = std::round(value(random) * 1000) / 1000;
  values[3] = -9999;
  values[4] = 1.0 / 3.0;
  return MakeMap(7, 5, 0.1, 4100035.25, -1234567.125, values);
}
} // namespace

TEST(TARCGISFileToolsWriteTest, WritesTheSampleGridExactly) {
  auto map = MakeMap(2, 3, 10, 100, 0, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ("ncols 2\nnrows 3\nxllcorner      100\nyllcorner        0\ncellsize 10\n"
            "NODATA_value -9999\n1 2 \n3 4 \n5 6 \n",
            Written(map.get()));
}

TEST(TARCGISFileToolsWriteTest, GeoreferencingIsWrittenWithTheDigitsItNeeds) {
  const struct {
    double xll;
    double yll;
    double cellsize;
    const char* lines;
  } cases[] = {
      {4.5e6, -0.5, 0.1, "xllcorner  4.5e+06\nyllcorner     -0.5\ncellsize 0.1\n"},
      {4100035, 123456, 25, "xllcorner  4100035\nyllcorner   123456\ncellsize 25\n"},
      {1234567.25, 0.001, 1.0 / 3.0,
       "xllcorner 1234567.25\nyllcorner    0.001\ncellsize 0.333333333333\n"},
      // Noise of repeated addition stays below the twelfth digit.
      {0.1 + 0.2, 1e-7, 1e7, "xllcorner      0.3\nyllcorner    1e-07\ncellsize 1e+07\n"},
  };
  for (const auto& c : cases) {
    auto map = MakeMap(1, 1, c.cellsize, c.xll, c.yll);
    EXPECT_EQ(c.lines, Georeferencing(map.get()));
  }
}

TEST(TARCGISFileToolsWriteTest, NoDataAndCellsKeepSixDigits) {
  auto map = MakeMap(3, 1, 1, 0, 0, {4100035, 1.0 / 3.0, -0.0});
  map->MbrDblNoDataValue = 4100035;
  const std::string text = Written(map.get());
  EXPECT_NE(std::string::npos, text.find("NODATA_value 4.10004e+06\n4.10004e+06 0.333333 -0 \n"))
      << text;
}

TEST(TARCGISFileToolsWriteTest, AMapWithoutEdgeAxesIsRefusedBeforeAnythingIsWritten) {
  TMap map(10.0, 2, 3);
  std::ostringstream stream;
  EXPECT_THROW_MSG(TARCGISFileTools::WriteARCGISFile(&map, stream),
                   "Map has no axes in TARCGISFileTools::WriteARCGISFile");
  EXPECT_EQ("", stream.str());
  const Sandbox sandbox;
  EXPECT_THROW_MSG(TARCGISFileTools::WriteARCGISFile(&map, sandbox.Path("no_axes.asc")),
                   "Map has no axes in TARCGISFileTools::WriteARCGISFile");
  EXPECT_FALSE(sandbox.Exists("no_axes.asc"));
}

TEST(TARCGISFileToolsWriteTest, AMapWithMissingCellsFailsBeforeItsBody) {
  auto map = MakeMap(2, 2, 1, 0, 0, {1, 2, 3, 4});
  map->MbrVecValues[1].pop_back();
  std::ostringstream stream;
  EXPECT_THROW_MSG(TARCGISFileTools::WriteARCGISFile(map.get(), stream),
                   "X-ordinate is out of range in TMap::GetPointVal");
  EXPECT_EQ(std::string::npos, stream.str().find("1 2"));
}

TEST(TARCGISFileToolsWriteTest, WritesByNameAndReportsOpenAndWriteFailures) {
  auto map = MakeMap(2, 3, 10, 100, 0, {1, 2, 3, 4, 5, 6});
  const Sandbox sandbox;
  sandbox.Write("written.asc",
                "old content that is longer than the grid itself, to be truncated......"
                "................................................................");
  TARCGISFileTools::WriteARCGISFile(map.get(), sandbox.Path("written.asc"));
  EXPECT_EQ(Written(map.get()), sandbox.Read("written.asc"));

  const std::string unreachable = sandbox.Path("no_such_directory/grid.asc");
  EXPECT_THROW_MSG(TARCGISFileTools::WriteARCGISFile(map.get(), unreachable),
                   "Unable to open file " + unreachable);
  EXPECT_THROW(TARCGISFileTools::WriteARCGISFile(map.get(), unreachable), std::string);
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_THROW_MSG(TARCGISFileTools::WriteARCGISFile(map.get(), "/dev/full"),
                     "Unable to write file /dev/full");
    EXPECT_THROW(TARCGISFileTools::WriteARCGISFile(map.get(), "/dev/full"), std::string);
  }
}

TEST(TARCGISFileToolsWriteTest, WritesAListOnlyWhenTheListsMatch) {
  auto first = MakeMap(1, 1, 1, 0, 0, {1});
  auto second = MakeMap(1, 1, 1, 0, 0, {2});
  const Sandbox sandbox;
  const std::vector<std::string> names{sandbox.Path("list_a.asc"), sandbox.Path("list_b.asc"),
                                       sandbox.Path("list_c.asc")};
  EXPECT_THROW_MSG(TARCGISFileTools::WriteFileList({first.get(), second.get()}, names),
                   "Size of map list and filename list do not match in "
                   "TARCGISFileTools::WriteFileList");
  EXPECT_TRUE(sandbox.Snapshot().empty());

  TARCGISFileTools::WriteFileList({first.get(), second.get()}, {names[0], names[1]});
  EXPECT_EQ(Written(first.get()), sandbox.Read("list_a.asc"));
  EXPECT_EQ(Written(second.get()), sandbox.Read("list_b.asc"));
  TARCGISFileTools::WriteFileList({}, {});

  const std::string unreachable = sandbox.Path("no_such_directory/grid.asc");
  std::filesystem::remove(names[1]);
  EXPECT_THROW_MSG(TARCGISFileTools::WriteFileList({first.get(), second.get(), first.get()},
                                                   {names[0], unreachable, names[1]}),
                   "Unable to open file " + unreachable);
  EXPECT_FALSE(sandbox.Exists("list_b.asc"));
}

TEST(TARCGISFileToolsWriteTest, AFileWrittenHereReadsBackAndWritesAgainByteForByte) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    auto map = RandomGrid(seed);
    const std::string text = Written(map.get());
    auto back = Read(text);
    EXPECT_EQ(text, Written(back.get())) << seed;
  }
  auto sample = Read(GridText(2, 3, 100, 0, 10, -9999, {1, 2, 3, 4, 5, 6}));
  const std::string text = Written(sample.get());
  EXPECT_EQ(text, Written(Read(text).get()));
  EXPECT_EQ((std::vector<double>{5, 6}), Read(text)->MbrVecValues[2]);
}

TEST(TARCGISFileToolsWriteTest, AStreamInAnotherStateGivesTheSameBytesThroughItsOwnOperators) {
  auto map = RandomGrid(3);
  map->MbrVecValues[0][0] = std::numeric_limits<double>::quiet_NaN();
  map->MbrVecValues[0][1] = -std::numeric_limits<double>::infinity();
  map->MbrVecValues[0][2] = std::numeric_limits<double>::denorm_min();
  std::ostringstream imbued;
  // Another locale object with the classic punctuation: not the default
  // state, so every number goes through operator<<.
  imbued.imbue(std::locale(std::locale::classic(), new std::numpunct<char>()));
  TARCGISFileTools::WriteARCGISFile(map.get(), imbued);
  EXPECT_EQ(Written(map.get()), imbued.str());

  std::ostringstream precise;
  precise.precision(3);
  auto small = MakeMap(2, 1, 1.0 / 3.0, 0.5, 4100035, {1.0 / 3.0, 2});
  TARCGISFileTools::WriteARCGISFile(small.get(), precise);
  EXPECT_EQ("ncols 2\nnrows 1\nxllcorner      0.5\nyllcorner  4100035\ncellsize 0.333333333333\n"
            "NODATA_value -1e+04\n0.333 2 \n",
            precise.str());
}
