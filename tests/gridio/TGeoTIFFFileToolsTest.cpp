// TGeoTIFFFileTools as a whole: round trips keep every double and the
// geometry to the bit on awkward cell sizes and corners, a GeoTIFF of the
// ASCII reader's doubles resamples to the same bytes as the ASCII file, the
// tags travel from a source to a result, and every failure before the
// destination is opened leaves it as it was.
#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "gridio/TGeoTIFFFileTools.h"
#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"
#include "support/TestTiffs.h"

namespace {
using TCompression = TGeoTIFFFileTools::TCompression;
using TSampleType = TGeoTIFFFileTools::TSampleType;

const TCompression kCompressions[] = {TCompression::None, TCompression::Deflate, TCompression::Lzw,
                                      TCompression::Zstd};

struct Geometry {
  long Columns;
  long Rows;
  double Cell;
  double West;
  double South;
};

// Cell sizes and corners whose sums round, wide grids of several strips,
// one cell, and coordinates large against their cells.
const Geometry kGeometries[] = {
    {7, 5, 0.1, 4100035.25, -1234567.125}, {3, 11, 1.0 / 3.0, 0.1, 0.7},
    {1, 1, 30.0, 350000.0, 4650000.0},     {13, 2, 1e-7, 1e9 + 0.3, -1e-3},
    {2, 9, 25.4, -180.0, -90.0},           {9000, 10, 0.3, -0.1, 4180000.3},
    {40, 700, 0.7, 512000.5, 1e17},
};

// Scattered values with the doubles a float format must not bend.
std::vector<double> AwkwardValues(long count) {
  std::vector<double> values = ScatteredValues(count, 7, -9999.0);
  const double specials[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -0.0,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(),
                             1.0 / 3.0};
  for (std::size_t i = 0; i < std::size(specials) && i < values.size(); ++i)
    values[i] = specials[i];
  return values;
}

std::unique_ptr<TMap> Load(const std::string& path, TGeoTIFFTags* tags = nullptr) {
  return std::unique_ptr<TMap>(TGeoTIFFFileTools::LoadGeoTIFFFile(path, 1, tags));
}

TGeoTIFFFileTools::TWriteOptions Options(TSampleType type, TCompression compression) {
  TGeoTIFFFileTools::TWriteOptions options;
  options.SampleType = type;
  options.Compression = compression;
  return options;
}

std::string AsciiText(TMap* map) {
  std::ostringstream text;
  TARCGISFileTools::WriteARCGISFile(map, text);
  return text.str();
}

// The grid text of the resampled map, or the message of its failure.
std::string Resampled(TMap* map, double R, bool noDataAware) {
  std::string text;
  const Thrown thrown = CaptureThrow([&] {
    std::unique_ptr<TMap> result(noDataAware ? TMapTools::BilinearInterpolateNoDataAware(map, R)
                                             : TMapTools::BilinearInterpolate(map, R));
    text = AsciiText(result.get());
  });
  return thrown.kind == Thrown::Nothing ? text : thrown.Describe();
}

TEST(TGeoTIFFFileToolsTest, Float64RoundTripsKeepEveryDoubleAndEdge) {
  Sandbox sandbox;
  const std::string path = sandbox.Path("grid.tif");
  for (const Geometry& g : kGeometries)
    for (TCompression compression : kCompressions) {
      SCOPED_TRACE(testing::Message() << g.Columns << "x" << g.Rows << " cell " << g.Cell
                                      << " compression " << static_cast<int>(compression));
      auto map = MakeMap(g.Columns, g.Rows, g.Cell, g.West, g.South,
                         AwkwardValues(g.Columns * g.Rows), -32768.5);
      TGeoTIFFFileTools::WriteGeoTIFFFile(map.get(), path,
                                          Options(TSampleType::Float64, compression), nullptr);
      EXPECT_EQ("", MapDifference(map.get(), Load(path).get()));
    }
}

TEST(TGeoTIFFFileToolsTest, Float32KeepsTheGeometryAndRoundsEachValueOnce) {
  Sandbox sandbox;
  const std::string path = sandbox.Path("grid.tif");
  const double largest = std::numeric_limits<float>::max();
  std::vector<double> values = AwkwardValues(35);
  values[10] = 3.4028235e38; // above the largest float, below the halfway point
  values[11] = 3.5e38;       // beyond the halfway point
  values[12] = -1e300;
  values[13] = 1e-50;
  for (TCompression compression : kCompressions) {
    SCOPED_TRACE(static_cast<int>(compression));
    auto map = MakeMap(7, 5, 0.1, 4100035.25, -1234567.125, values, -9999.1);
    TGeoTIFFFileTools::WriteGeoTIFFFile(map.get(), path, Options(TSampleType::Float32, compression),
                                        nullptr);
    std::vector<double> expected;
    for (double v : values)
      expected.push_back(std::fabs(v) <= largest || std::isnan(v) ? double(float(v)) : v);
    expected[4] = HUGE_VAL; // the largest double
    expected[10] = largest;
    expected[11] = HUGE_VAL;
    expected[12] = -HUGE_VAL;
    auto rounded = MakeMap(7, 5, 0.1, 4100035.25, -1234567.125, expected, double(float(-9999.1)));
    EXPECT_EQ("", MapDifference(rounded.get(), Load(path).get()));
  }
}

// The doubles of an ASCII grid as a GeoTIFF: resampling either gives the
// same bytes, for several shapes, resolutions and both walks.
TEST(TGeoTIFFFileToolsTest, GeoTIFFOfTheAsciiDoublesResamplesToTheSameBytes) {
  Sandbox sandbox;
  const std::string path = sandbox.Path("grid.tif");
  for (const Geometry& g : kGeometries) {
    if (g.Columns * g.Rows > 30000 || g.Columns < 4 || g.Rows < 4)
      continue;
    auto made = MakeMap(g.Columns, g.Rows, g.Cell, g.West, g.South,
                        ScatteredValues(g.Columns * g.Rows, 3, -9999.0));
    std::istringstream text(AsciiText(made.get()));
    std::unique_ptr<TMap> ascii(TARCGISFileTools::LoadARCGISFile(text));
    TGeoTIFFFileTools::WriteGeoTIFFFile(ascii.get(), path);
    std::unique_ptr<TMap> geotiff = Load(path);
    ASSERT_EQ("", MapDifference(ascii.get(), geotiff.get()));
    for (double factor : {0.5, 2.0 / 3.0, 1.0}) {
      SCOPED_TRACE(testing::Message() << g.Columns << "x" << g.Rows << " R = " << factor);
      const double R = g.Cell * factor;
      EXPECT_EQ(Resampled(ascii.get(), R, false), Resampled(geotiff.get(), R, false));
      EXPECT_EQ(Resampled(ascii.get(), R, true), Resampled(geotiff.get(), R, true));
    }
  }
}

TEST(TGeoTIFFFileToolsTest, GeoKeysOfASourceTravelToTheResultAsPixelIsArea) {
  Sandbox sandbox;
  TestTiff source;
  source.Values = TestTiffValues(source);
  source.GeoKeys = {1, 1, 0, 3, 1024, 0, 1, 1, 1025, 0, 1, 2, 3072, 0, 1, 32633};
  source.GeoDoubles = {6378137.0, 298.257223563};
  source.GeoAscii = "WGS 84 / UTM zone 33N|";
  source.HasNoData = true;
  source.NoData = "-32767";
  WriteFileBytes(sandbox.Path("source.tif"), TestTiffBytes(source));
  TGeoTIFFTags tags;
  std::unique_ptr<TMap> map = Load(sandbox.Path("source.tif"), &tags);
  EXPECT_TRUE(tags.PixelIsPoint);
  EXPECT_TRUE(tags.HasNoData);
  EXPECT_EQ(source.GeoKeys, tags.KeyDirectory);

  TGeoTIFFFileTools::WriteGeoTIFFFile(map.get(), sandbox.Path("result.tif"),
                                      Options(TSampleType::Float32, TCompression::Zstd), &tags);
  TGeoTIFFTags carried;
  std::unique_ptr<TMap> result = Load(sandbox.Path("result.tif"), &carried);
  std::vector<unsigned short> area = source.GeoKeys;
  area[11] = 1;
  EXPECT_EQ(area, carried.KeyDirectory);
  EXPECT_EQ(source.GeoDoubles, carried.DoubleParams);
  EXPECT_EQ(source.GeoAscii, carried.AsciiParams);
  EXPECT_FALSE(carried.PixelIsPoint);
  EXPECT_EQ("", MapDifference(map.get(), result.get()));
}

// As GDAL writes a grid without a coordinate reference system.
TEST(TGeoTIFFFileToolsTest, AMapWithoutGeoKeysIsWrittenWithoutAKeyDirectory) {
  Sandbox sandbox;
  auto map = MakeMap(3, 2, 10.0, 100.0, 0.0, CountingValues(6));
  TGeoTIFFFileTools::WriteGeoTIFFFile(map.get(), sandbox.Path("grid.tif"));
  TGeoTIFFTags tags;
  Load(sandbox.Path("grid.tif"), &tags);
  EXPECT_TRUE(tags.KeyDirectory.empty());
  EXPECT_TRUE(tags.HasNoData);
}

// The operations keep no state: threads reading and writing their own
// files get what one thread gets (run under ThreadSanitizer by make
// test-thread).
TEST(TGeoTIFFFileToolsTest, ConcurrentReadsAndWritesAgree) {
  Sandbox sandbox;
  const int kThreads = 4;
  std::vector<std::unique_ptr<TMap>> maps;
  for (int t = 0; t < kThreads; ++t)
    maps.push_back(MakeMap(300 + t, 200, 0.5, t, 0.0, ScatteredValues((300 + t) * 200, t, -1.0)));
  std::vector<std::string> outcomes(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      const std::string path = sandbox.Path("grid" + std::to_string(t) + ".tif");
      const Thrown thrown = CaptureThrow([&] {
        for (TCompression compression : kCompressions) {
          TGeoTIFFFileTools::WriteGeoTIFFFile(maps[t].get(), path,
                                              Options(TSampleType::Float64, compression), nullptr);
          outcomes[t] += MapDifference(maps[t].get(), Load(path).get());
        }
      });
      outcomes[t] += thrown.Describe() == "nothing" ? "" : thrown.Describe();
    });
  for (std::thread& thread : threads)
    thread.join();
  for (const std::string& outcome : outcomes)
    EXPECT_EQ("", outcome);
}

TEST(TGeoTIFFFileToolsTest, ReadingFailuresOfTheFileItself) {
  Sandbox sandbox;
  sandbox.Write("grid.asc", "ncols 1\nnrows 1\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
                            "NODATA_value -9999\n1\n");
  EXPECT_THROW_MSG(Load(sandbox.Path("missing.tif")),
                   std::string("Unable to open file ") + sandbox.Path("missing.tif"));
  EXPECT_THROW_MSG(Load(sandbox.Dir().string()),
                   std::string("Unable to open file ") + sandbox.Dir().string());
  EXPECT_THROW_MSG(Load(sandbox.Path("grid.asc")),
                   "File is not a TIFF file in TGeoTIFFFileTools::LoadGeoTIFFFile");
}

// Each refusal before the destination is opened keeps an earlier file.
TEST(TGeoTIFFFileToolsTest, WriteFailuresLeaveAnEarlierDestinationAlone) {
  Sandbox sandbox;
  const std::string path = sandbox.Path("out.tif");
  sandbox.Write("out.tif", "an earlier destination");
  TMap noAxes(1.0, 2, 2);
  auto ragged = MakeMap(3, 2, 1.0, 0.0, 0.0);
  ragged->MbrVecValues[1].pop_back();
  auto good = MakeMap(3, 2, 1.0, 0.0, 0.0);
  TGeoTIFFTags broken;
  broken.KeyDirectory = {1, 1, 0, 2, 1024, 0, 1, 1};
  EXPECT_THROW_MSG(TGeoTIFFFileTools::WriteGeoTIFFFile(&noAxes, path),
                   "Map has no axes in TGeoTIFFFileTools::WriteGeoTIFFFile");
  EXPECT_THROW_MSG(TGeoTIFFFileTools::WriteGeoTIFFFile(ragged.get(), path),
                   "Map is not rectangular in TGeoTIFFFileTools::WriteGeoTIFFFile");
  EXPECT_THROW_MSG(TGeoTIFFFileTools::WriteGeoTIFFFile(good.get(), path, {}, &broken),
                   "GeoKey directory is malformed in TGeoTIFFFileTools::WriteGeoTIFFFile");
  EXPECT_EQ("an earlier destination", sandbox.Read("out.tif"));

  const std::string unwritable = sandbox.Path("no/such/folder.tif");
  EXPECT_THROW_MSG(TGeoTIFFFileTools::WriteGeoTIFFFile(good.get(), unwritable),
                   std::string("Unable to open file ") + unwritable);
  EXPECT_THROW_MSG(TGeoTIFFFileTools::WriteGeoTIFFFile(good.get(), "/dev/full"),
                   "Unable to write file /dev/full");
}
} // namespace
