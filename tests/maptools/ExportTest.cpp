#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/FlushCounter.h"
#include "support/TestMaps.h"

namespace {
std::string Flat(TMap* map, char separator) {
  std::ostringstream stream;
  TMapTools::WriteFlatFile(map, stream, separator);
  return stream.str();
}

std::string CSV(TMap* map, std::ostream& stream) {
  TMapTools::WriteCSVFile(map, stream);
  return static_cast<std::ostringstream&>(stream).str();
}

std::string CSV(TMap* map) {
  std::ostringstream stream;
  return CSV(map, stream);
}

// The export as the plain cell-by-cell loop over TMap::GetPoint writes it.
std::string CSVByPoints(TMap* map) {
  std::ostringstream stream;
  for (long x = 0; x < map->MbrLngXDim; ++x)
    for (long y = 0; y < map->MbrLngYDim; ++y) {
      std::unique_ptr<TMapPoint> point(map->GetPoint(x, y));
      stream << point->x << "," << point->y << "," << point->value << std::endl;
    }
  return stream.str();
}
} // namespace

TEST(ExportTest, FlatFileWritesRowsNorthFirstWithATrailingSeparator) {
  auto map = MakeMap(2, 3, 10, 100, 0, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ("1,2,\n3,4,\n5,6,\n", Flat(map.get(), ','));
  EXPECT_EQ("1 2 \n3 4 \n5 6 \n", Flat(map.get(), ' '));
  map->MbrVecValues[0] = {0.1, 1.0 / 3.0};
  EXPECT_EQ("0.1;0.333333;\n", Flat(map.get(), ';').substr(0, 14));
}

// Rows far longer than the writer's buffer, with every kind of value: the
// bytes of the per-value stream operators, and one flush per row end.
TEST(ExportTest, FlatFileOfWideRowsWritesWhatTheStreamOperatorsWrite) {
  const long columns = 9000;
  const long rows = 3;
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> elevation(-500, 5000);
  std::vector<double> values(columns * rows);
  for (double& v : values)
    v = elevation(random);
  values[17] = std::numeric_limits<double>::quiet_NaN();
  values[4500] = -std::numeric_limits<double>::infinity();
  values[9001] = -0.0;
  values[12000] = std::numeric_limits<double>::denorm_min();
  values[columns * rows - 1] = 123456.5;
  auto map = MakeMap(columns, rows, 1, 0, 0, values);

  std::ostringstream expected;
  for (long y = 0; y < rows; ++y) {
    for (long x = 0; x < columns; ++x)
      expected << values[y * columns + x] << ' ';
    expected << std::endl;
  }
  FlushCounter counter;
  std::ostream stream(&counter);
  TMapTools::WriteFlatFile(map.get(), stream, ' ');
  EXPECT_EQ(expected.str(), counter.str());
  EXPECT_EQ(rows, counter.Flushes);
}

TEST(ExportTest, FlatFileOfMapsWithoutCellsWritesOnlyTheRowEnds) {
  TMap noRows(1.0);
  EXPECT_EQ("", Flat(&noRows, ','));
  TMap noColumns(1.0, 0, 3);
  EXPECT_EQ("\n\n\n", Flat(&noColumns, ','));
}

TEST(ExportTest, FlatFileRefusesRowsThatLackCellsBeforeWritingAnything) {
  TMap ragged(1.0);
  ragged.AddRow({1, 2, 3});
  ragged.AddRow({4, 5});
  std::ostringstream stream;
  EXPECT_THROW_MSG(TMapTools::WriteFlatFile(&ragged, stream, ' '),
                   "X-ordinate is out of range in TMap::GetPointVal");
  EXPECT_EQ("", stream.str());
  ragged.MbrVecValues.pop_back();
  EXPECT_THROW_MSG(TMapTools::WriteFlatFile(&ragged, stream, ' '),
                   "Y-ordinate is out of range in TMap::GetPointVal");
  // Longer rows are cut at the column count.
  TMap wide(1.0);
  wide.AddRow({1, 2});
  wide.AddRow({3, 4, 5});
  EXPECT_EQ("1 2 \n3 4 \n", Flat(&wide, ' '));
}

TEST(ExportTest, CSVWritesEveryCellCentreColumnByColumn) {
  auto map = MakeMap(2, 3, 10, 100, 0, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ("105,25,1\n105,15,3\n105,5,5\n115,25,2\n115,15,4\n115,5,6\n", CSV(map.get()));
}

TEST(ExportTest, CSVMatchesTheLoopOverMapPoints) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> value(-1e6, 1e6);
  std::vector<double> values(9 * 4);
  for (double& v : values)
    v = value(random);
  values[0] = std::numeric_limits<double>::quiet_NaN();
  auto map = MakeMap(9, 4, 0.1, 4100035.5, -12.25, values);
  EXPECT_EQ(CSVByPoints(map.get()), CSV(map.get()));

  std::ostringstream imbued;
  imbued.imbue(std::locale(std::locale::classic(), new std::numpunct<char>()));
  EXPECT_EQ(CSVByPoints(map.get()), CSV(map.get(), imbued));
  std::ostringstream precise;
  precise.precision(12);
  std::ostringstream expected;
  expected.precision(12);
  for (long x = 0; x < 9; ++x)
    for (long y = 0; y < 4; ++y) {
      std::unique_ptr<TMapPoint> point(map->GetPoint(x, y));
      expected << point->x << "," << point->y << "," << point->value << "\n";
    }
  EXPECT_EQ(expected.str(), CSV(map.get(), precise));
}

TEST(ExportTest, CSVFailsLikeTheLoopOverMapPoints) {
  TMap bare(10.0, 2, 3);
  std::ostringstream stream;
  EXPECT_THROW_MSG(TMapTools::WriteCSVFile(&bare, stream),
                   "Map has no axes in TMapTools::WriteCSVFile");
  EXPECT_EQ("", stream.str());

  // A row added after the axes were set has no centre: the cells before it
  // are written, then the lookup's own failure passes through.
  auto map = MakeMap(1, 2, 10, 0, 0, {1, 2});
  map->AddRow({3});
  EXPECT_THROW_MSG(TMapTools::WriteCSVFile(map.get(), stream),
                   "LngY is out of range for the Y-axis in TMap::GetCoordinates");
  EXPECT_EQ("5,15,1\n5,5,2\n", stream.str());
}
