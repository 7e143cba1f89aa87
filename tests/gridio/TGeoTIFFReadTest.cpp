// The GeoTIFF reader on files made with libtiff directly: every sample type
// in strips and tiles with each compression and predictor, classic and
// BigTIFF, bands stored as planes, the layouts it refuses, and a table of
// georeferencing tags with the corner, cell size and no-data value each
// gives or the message each gets.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TGeoTIFFFileTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"
#include "support/TestTiffs.h"

namespace {
const char* const kIn = " in TGeoTIFFFileTools::LoadGeoTIFFFile";

std::unique_ptr<TMap> Read(const TestTiff& recipe, long band = 1, TGeoTIFFTags* tags = nullptr) {
  const std::string bytes = TestTiffBytes(recipe);
  if (bytes.empty())
    throw "libtiff did not write the test file";
  std::istringstream in(bytes);
  return std::unique_ptr<TMap>(TGeoTIFFFileTools::LoadGeoTIFFFile(in, band, tags));
}

// The values of plane `plane` as the map should hold them.
std::vector<double> PlaneValues(const TestTiff& recipe, std::uint32_t plane) {
  const std::size_t cells = std::size_t(recipe.Columns) * recipe.Rows;
  return std::vector<double>(recipe.Values.begin() + plane * cells,
                             recipe.Values.begin() + (plane + 1) * cells);
}

struct Sample {
  std::uint16_t Bits;
  std::uint16_t Format; // 1 unsigned, 2 signed, 3 floating point
};
const Sample kSamples[] = {{8, 1},  {8, 2},  {16, 1}, {16, 2}, {32, 1},
                           {32, 2}, {64, 1}, {64, 2}, {32, 3}, {64, 3}};

// COMPRESSION_NONE, LZW, ADOBE_DEFLATE, PACKBITS, ZSTD, with the predictor
// each is tried with (0: the sample's own, 2 for integers, 3 for floats).
const std::pair<std::uint16_t, int> kCompressions[] = {
    {1, 1}, {5, 1}, {5, 0}, {8, 1}, {8, 0}, {32773, 1}, {50000, 1}, {50000, 0}, {8, 2}};

TEST(TGeoTIFFReadTest, EverySampleTypeLayoutAndCodecGivesTheStoredValues) {
  for (const Sample& sample : kSamples)
    for (const auto& [compression, predictor] : kCompressions)
      for (std::uint32_t tile : {0u, 16u})
        for (bool bigTIFF : {false, true}) {
          TestTiff recipe;
          recipe.Columns = 37;
          recipe.Rows = 21;
          recipe.Bits = sample.Bits;
          recipe.Format = sample.Format;
          recipe.TileSize = tile;
          recipe.RowsPerStrip = 5;
          recipe.Compression = compression;
          recipe.Predictor = predictor != 0 ? predictor : sample.Format == 3 ? 3 : 2;
          recipe.BigTIFF = bigTIFF;
          recipe.Values = TestTiffValues(recipe);
          SCOPED_TRACE(testing::Message()
                       << sample.Bits << " bits, format " << sample.Format << ", compression "
                       << compression << ", predictor " << recipe.Predictor << ", tile " << tile
                       << ", BigTIFF " << bigTIFF);
          std::unique_ptr<TMap> map = Read(recipe);
          EXPECT_EQ(PlaneValues(recipe, 0), MapValues(map.get()));
        }
}

// The extremes of each integer type: exact up to 2^53, rounded to the
// nearest double beyond.
TEST(TGeoTIFFReadTest, IntegerExtremesConvertAsDoublesDo) {
  const struct {
    Sample Type;
    std::vector<double> Values;
  } cases[] = {
      {{8, 1}, {0, 255}},
      {{8, 2}, {-128, 127}},
      {{16, 1}, {0, 65535}},
      {{16, 2}, {-32768, 32767}},
      {{32, 1}, {0, 4294967295.0}},
      {{32, 2}, {-2147483648.0, 2147483647.0}},
      {{64, 2}, {-9223372036854775808.0, 9007199254740993.0}},
      {{64, 1}, {0, 18446744073709549568.0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Type.Bits << " bits, format " << c.Type.Format);
    TestTiff recipe;
    recipe.Columns = 2;
    recipe.Rows = 1;
    recipe.Bits = c.Type.Bits;
    recipe.Format = c.Type.Format;
    recipe.Values = c.Values;
    std::vector<double> expected = c.Values;
    if (c.Type.Bits == 64 && c.Type.Format == 2)
      expected[1] = 9007199254740992.0; // 2^53 + 1 rounds to even
    EXPECT_EQ(expected, MapValues(Read(recipe).get()));
  }
}

// Constant images compress best; as GDAL lays them out (strips of about
// 8 KiB, tiles of 256), and deflated in one strip, they stay within what the
// reader takes a file's data to hold.
TEST(TGeoTIFFReadTest, ConstantImagesInTheUsualLayoutsAreRead) {
  const struct {
    std::uint16_t Compression;
    std::uint32_t RowsPerStrip;
    std::uint32_t Tile;
  } cases[] = {{8, 1000, 0}, {5, 2, 0}, {50000, 2, 0}, {8, 0, 256}, {5, 0, 256}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "compression " << c.Compression << ", tile " << c.Tile);
    TestTiff recipe;
    recipe.Columns = 1000;
    recipe.Rows = 1000;
    recipe.Bits = 32;
    recipe.Compression = c.Compression;
    recipe.RowsPerStrip = c.RowsPerStrip;
    recipe.TileSize = c.Tile;
    EXPECT_EQ(std::vector<double>(1000 * 1000, 0.0), MapValues(Read(recipe).get()));
  }
}

TEST(TGeoTIFFReadTest, BandsAreReadFromTheirPlanes) {
  for (std::uint32_t tile : {0u, 16u}) {
    SCOPED_TRACE(tile);
    TestTiff recipe;
    recipe.Columns = 19;
    recipe.Rows = 17;
    recipe.Samples = 3;
    recipe.Planes = true;
    recipe.TileSize = tile;
    recipe.RowsPerStrip = 4;
    recipe.Compression = 8;
    recipe.Values = TestTiffValues(recipe);
    for (long band = 1; band <= 3; ++band)
      EXPECT_EQ(PlaneValues(recipe, static_cast<std::uint32_t>(band - 1)),
                MapValues(Read(recipe, band).get()));
    for (long band : {0L, 4L, -1L})
      EXPECT_THROW_MSG(Read(recipe, band), std::string("Band does not exist") + kIn);
  }
  TestTiff one;
  EXPECT_THROW_MSG(Read(one, 2), std::string("Band does not exist") + kIn);
}

TEST(TGeoTIFFReadTest, LayoutsItDoesNotReadAreRefused) {
  auto with = [](std::uint16_t bits, std::uint16_t format, std::uint16_t samples = 1,
                 std::uint16_t photometric = 1) {
    TestTiff recipe;
    recipe.Bits = bits;
    recipe.Format = format;
    recipe.Samples = samples;
    recipe.Photometric = photometric;
    return recipe;
  };
  const std::string bitDepth = std::string("Unsupported bits per sample (8, 16, 32 and 64 are "
                                           "read)") +
                               kIn;
  const struct {
    TestTiff Recipe;
    std::string Message;
  } cases[] = {
      {with(1, 1), bitDepth},
      {with(4, 1), bitDepth},
      {with(12, 1), bitDepth},
      {with(24, 1), bitDepth},
      {with(16, 3),
       std::string("Unsupported floating-point samples (32- and 64-bit are read)") + kIn},
      {with(64, 6), std::string("Unsupported sample format (complex or unknown)") + kIn},
      {with(32, 5), std::string("Unsupported sample format (complex or unknown)") + kIn},
      {with(8, 1, 1, 3), std::string("Unsupported palette image") + kIn},
      {with(32, 3, 3), std::string("Unsupported layout: several samples per pixel stored "
                                   "together") +
                           kIn},
      {with(8, 1, 2), std::string("Unsupported layout: several samples per pixel stored "
                                  "together") +
                          kIn},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Message);
    EXPECT_THROW_MSG(Read(c.Recipe), c.Message);
  }
}

struct Placement {
  const char* Name;
  std::vector<double> Scale;
  std::vector<double> Tiepoint;
  std::vector<double> Transformation;
  bool PixelIsPoint;
  // The corner and cell size read, or the message.
  double West;
  double South;
  double Cell;
  const char* Message;
};

// A grid of 4 columns and 3 rows.
std::vector<double> Matrix(double sx, double rx, double tx, double ry, double sy, double ty) {
  return {sx, rx, 0, tx, ry, sy, 0, ty, 0, 0, 0, 0, 0, 0, 0, 1};
}

const Placement kPlacements[] = {
    {"tie at the north-west corner",
     {10, 10, 0},
     {0, 0, 0, 100, 230, 0},
     {},
     false,
     100,
     200,
     10,
     nullptr},
    {"tie at the lower-left corner, stored exactly",
     {0.1, 0.1, 0},
     {0, 3, 0, 0.7, 4180000.3, 0},
     {},
     false,
     0.7,
     4180000.3,
     0.1,
     nullptr},
    {"tie inside the grid", {10, 10, 0}, {2, 1, 0, 120, 220, 0}, {}, false, 100, 200, 10, nullptr},
    {"several tiepoints with a scale: the first",
     {10, 10, 0},
     {0, 0, 0, 100, 230, 0, 1, 1, 0, 500, 500, 0},
     {},
     false,
     100,
     200,
     10,
     nullptr},
    {"PixelIsPoint moves the corner half a cell",
     {10, 10, 0},
     {0, 0, 0, 105, 225, 0},
     {},
     true,
     100,
     200,
     10,
     nullptr},
    {"PixelIsPoint tied at raster point (0, rows)",
     {10, 10, 0},
     {0, 3, 0, 105, 205, 0},
     {},
     true,
     100,
     210,
     10,
     nullptr},
    {"transformation", {}, {}, Matrix(10, 0, 100, 0, -10, 230), false, 100, 200, 10, nullptr},
    {"transformation of a PixelIsPoint raster",
     {},
     {},
     Matrix(10, 0, 105, 0, -10, 225),
     true,
     100,
     200,
     10,
     nullptr},
    {"scale and tiepoint come before a transformation",
     {10, 10, 0},
     {0, 0, 0, 100, 230, 0},
     Matrix(20, 0, 0, 0, -20, 0),
     false,
     100,
     200,
     10,
     nullptr},
    {"rotated",
     {},
     {},
     Matrix(10, 0.5, 100, 0, -10, 230),
     false,
     0,
     0,
     0,
     "Grid is rotated (ModelTransformation has rotation terms)"},
    {"sheared",
     {},
     {},
     Matrix(10, 0, 100, -0.25, -10, 230),
     false,
     0,
     0,
     0,
     "Grid is rotated (ModelTransformation has rotation terms)"},
    {"cells not square",
     {10, 20, 0},
     {0, 0, 0, 100, 230, 0},
     {},
     false,
     0,
     0,
     0,
     "Cells are not square (x and y cell sizes differ)"},
    {"transformation with cells not square",
     {},
     {},
     Matrix(10, 0, 100, 0, -5, 230),
     false,
     0,
     0,
     0,
     "Cells are not square (x and y cell sizes differ)"},
    {"rows running northward",
     {10, -10, 0},
     {0, 0, 0, 100, 230, 0},
     {},
     false,
     0,
     0,
     0,
     "Grid is not north-up (its rows run northward or its columns westward)"},
    {"transformation with rows running northward",
     {},
     {},
     Matrix(10, 0, 100, 0, 10, 230),
     false,
     0,
     0,
     0,
     "Grid is not north-up (its rows run northward or its columns westward)"},
    {"columns running westward",
     {-10, 10, 0},
     {0, 0, 0, 100, 230, 0},
     {},
     false,
     0,
     0,
     0,
     "Grid is not north-up (its rows run northward or its columns westward)"},
    {"zero scale",
     {0, 0, 0},
     {0, 0, 0, 100, 230, 0},
     {},
     false,
     0,
     0,
     0,
     "Georeferencing tag is malformed or not finite"},
    {"scale of one value",
     {10},
     {0, 0, 0, 100, 230, 0},
     {},
     false,
     0,
     0,
     0,
     "Georeferencing tag is malformed or not finite"},
    {"tiepoint of five values",
     {10, 10, 0},
     {0, 0, 0, 100, 230},
     {},
     false,
     0,
     0,
     0,
     "Georeferencing tag is malformed or not finite"},
    {"tiepoint not a number",
     {10, 10, 0},
     {0, 0, 0, NAN, 230, 0},
     {},
     false,
     0,
     0,
     0,
     "Georeferencing tag is malformed or not finite"},
    {"infinite scale",
     {INFINITY, INFINITY, 0},
     {0, 0, 0, 100, 230, 0},
     {},
     false,
     0,
     0,
     0,
     "Georeferencing tag is malformed or not finite"},
    {"corner beyond the doubles",
     {1e308, 1e308, 0},
     {0, 0, 0, 0, -1e308, 0},
     {},
     false,
     0,
     0,
     0,
     "Georeferencing tag is malformed or not finite"},
    {"transformation of 12 values",
     {},
     {},
     {10, 0, 0, 100, 0, -10, 0, 230, 0, 0, 0, 0},
     false,
     0,
     0,
     0,
     "Georeferencing tag is malformed or not finite"},
    {"tiepoint alone",
     {},
     {0, 0, 0, 100, 230, 0},
     {},
     false,
     0,
     0,
     0,
     "No georeferencing (ModelPixelScale with ModelTiepoint, or ModelTransformation)"},
    {"scale alone",
     {10, 10, 0},
     {},
     {},
     false,
     0,
     0,
     0,
     "No georeferencing (ModelPixelScale with ModelTiepoint, or ModelTransformation)"},
    {"no tags at all",
     {},
     {},
     {},
     false,
     0,
     0,
     0,
     "No georeferencing (ModelPixelScale with ModelTiepoint, or ModelTransformation)"},
    {"several tiepoints alone",
     {},
     {0, 0, 0, 100, 230, 0, 1, 1, 0, 110, 220, 0},
     {},
     false,
     0,
     0,
     0,
     "Georeferencing by several tiepoints is not read"},
};

TEST(TGeoTIFFReadTest, GeoreferencingTagsPlaceTheGridOrAreRefused) {
  for (const Placement& p : kPlacements) {
    SCOPED_TRACE(p.Name);
    TestTiff recipe;
    recipe.Values = TestTiffValues(recipe);
    recipe.Scale = p.Scale;
    recipe.Tiepoint = p.Tiepoint;
    recipe.Transformation = p.Transformation;
    if (p.PixelIsPoint)
      recipe.GeoKeys = {1, 1, 0, 1, 1025, 0, 1, 2};
    if (p.Message != nullptr) {
      EXPECT_THROW_MSG(Read(recipe), std::string(p.Message) + kIn);
      continue;
    }
    TGeoTIFFTags tags;
    std::unique_ptr<TMap> map = Read(recipe, 1, &tags);
    EXPECT_EQ(p.PixelIsPoint, tags.PixelIsPoint);
    auto expected = MakeMap(4, 3, p.Cell, p.West, p.South, TestTiffValues(recipe));
    EXPECT_EQ("", MapDifference(expected.get(), map.get()));
  }
}

TEST(TGeoTIFFReadTest, NoDataComesFromTheGdalTagOrIsMinus9999) {
  const struct {
    bool Tagged;
    const char* Text;
    double Value;
  } cases[] = {
      {false, "", -9999.0},      {true, "-9999.5", -9999.5},
      {true, " 255 ", 255.0},    {true, "+1e3", 1000.0},
      {true, "nan", NAN},        {true, "-3.4028234663852886e+38", -3.4028234663852886e+38},
      {true, "-inf", -HUGE_VAL}, {true, "0", 0.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TestTiff recipe;
    recipe.HasNoData = c.Tagged;
    recipe.NoData = c.Text;
    TGeoTIFFTags tags;
    std::unique_ptr<TMap> map = Read(recipe, 1, &tags);
    EXPECT_EQ(c.Tagged, tags.HasNoData);
    EXPECT_TRUE(SameBits(c.Value, map->MbrDblNoDataValue) ||
                (std::isnan(c.Value) && std::isnan(map->MbrDblNoDataValue)));
  }
  for (const char* text : {"", "none", "12abc", "1e999", "0x10", "- 1"}) {
    SCOPED_TRACE(text);
    TestTiff recipe;
    recipe.HasNoData = true;
    recipe.NoData = text;
    EXPECT_THROW_MSG(Read(recipe), std::string("GDAL_NODATA tag is not a number") + kIn);
  }
}

TEST(TGeoTIFFReadTest, AGeoKeyDirectoryShorterThanItsCountIsRefused) {
  for (const std::vector<std::uint16_t>& keys :
       {std::vector<std::uint16_t>{1, 1, 0}, std::vector<std::uint16_t>{1, 1, 0, 2, 1025, 0, 1, 1},
        std::vector<std::uint16_t>{1, 1, 0, 1, 1025, 0, 1}}) {
    TestTiff recipe;
    recipe.GeoKeys = keys;
    EXPECT_THROW_MSG(Read(recipe), std::string("GeoKey directory is malformed") + kIn);
  }
}
} // namespace
