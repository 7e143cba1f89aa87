// The pipeline's GeoTIFF source and sink against the in-memory operations:
// on generated grids, with bands, checkpoints and worker counts small enough
// that strips, tiles and bands fall inside the grid, a GeoTIFF source gives
// the bytes its ESRI ASCII twin gives (for every option), a GeoTIFF result
// holds exactly the doubles (or floats) BilinearInterpolate computes, with
// the same georeferencing and the source's GeoKeys, and is the file
// TGeoTIFFFileTools::WriteGeoTIFFFile writes for that map, byte for byte, for
// any number of workers; a failing source leaves the destination as it was.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TARCGISFileTools.h"
#include "gridio/TGeoTIFFFileTools.h"
#include "gridio/TTiffStripWriter.h"
#include "maptools/TMapTools.h"
#include "pipeline/TFileResampling.h"
#include "pipeline/TResampleFileTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/FileState.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"
#include "support/TestTiffs.h"

namespace {
using TSample = TGeoTIFFWriteOptions::TSampleType;
using TCompression = TGeoTIFFWriteOptions::TCompression;
const std::string kNothing = Thrown().Describe();

struct Grid {
  long Columns;
  long Rows;
  double Cell;
};

// Shapes: square, a few columns, a few rows, one strip and many.
const Grid kGrids[] = {{37, 23, 30.0}, {5, 400, 10.0}, {400, 4, 10.0}, {64, 64, 2.5}};
const double kRatios[] = {0.5, 1.0, 1.7, 2.0, 3.0};
const TCompression kCompressions[] = {TCompression::None, TCompression::Deflate, TCompression::Lzw,
                                      TCompression::Zstd};

struct Setting {
  TPipelineKnobs Knobs;
  unsigned Threads;
};

// Bands of a byte (column runs), of a strip or two, and the defaults; one to
// three workers; and the in-memory way.
std::vector<Setting> Settings() {
  std::vector<Setting> settings;
  const std::size_t bands[] = {1, 3000, 1 << 22};
  // The runs' source rows kept for some runs, all or none.
  const std::size_t runRows[] = {64, TPipelineKnobs().RunRowsBytes, 0};
  for (unsigned i = 0; i < 3; ++i) {
    Setting setting{TPipelineKnobs(), i + 1};
    setting.Knobs.BandBytes = bands[i];
    setting.Knobs.RunRowsBytes = runRows[i];
    setting.Knobs.StationSpacing = static_cast<long>(i) * 3;
    settings.push_back(setting);
  }
  Setting memory{TPipelineKnobs(), 2};
  memory.Knobs.Mode = TPipelineKnobs::TMode::InMemory;
  settings.push_back(memory);
  return settings;
}

// The CRS keys of a projected grid, carried from source to result.
TGeoTIFFTags ProjectedTags() {
  TGeoTIFFTags tags;
  tags.KeyDirectory = {1, 1, 0, 3, 1024, 0, 1, 1, 1025, 0, 1, 1, 3072, 0, 1, 32633};
  return tags;
}

// An ESRI ASCII grid of the shape and the GeoTIFF holding exactly the
// doubles the ASCII reader gives for it.
void WriteTwins(const Sandbox& box, const Grid& grid, unsigned seed) {
  std::unique_ptr<TMap> map = MakeMap(grid.Columns, grid.Rows, grid.Cell, 512000.25, 4180000.5,
                                      ScatteredValues(grid.Columns * grid.Rows, seed, -9999.0));
  TARCGISFileTools::WriteARCGISFile(map.get(), box.Path("in.asc"), 9);
  std::unique_ptr<TMap> read(TARCGISFileTools::LoadARCGISFile(box.Path("in.asc")));
  const TGeoTIFFTags tags = ProjectedTags();
  TGeoTIFFFileTools::WriteGeoTIFFFile(read.get(), box.Path("in.tif"), {}, &tags);
}

TResampleSettings GeoTIFFSettings(bool input, bool output, TGeoTIFFWriteOptions options = {}) {
  TResampleSettings settings;
  settings.InputGeoTIFF = input;
  settings.OutputGeoTIFF = output;
  settings.GeoTIFF = options;
  return settings;
}

std::string ResampleToBytes(const std::string& source, const std::string& dest, double R,
                            TResampleSettings settings, const Setting& setting) {
  settings.Threads = setting.Threads;
  const Thrown failure =
      CaptureThrow([&] { TFileResampling::Run(source, dest, R, settings, setting.Knobs); });
  if (failure.Describe() != kNothing)
    return failure.Describe();
  return ReadFileBytes(dest);
}

std::string Label(const Grid& grid, double ratio, const Setting& setting) {
  return std::to_string(grid.Columns) + "x" + std::to_string(grid.Rows) + " ratio " +
         std::to_string(ratio) + " band " + std::to_string(setting.Knobs.BandBytes) + " workers " +
         std::to_string(setting.Threads) +
         (setting.Knobs.Mode == TPipelineKnobs::TMode::InMemory ? " in memory" : "");
}

TEST(TGeoTIFFPipeline, GeoTIFFToAsciiEqualsAsciiToAscii) {
  Sandbox box;
  unsigned seed = 1;
  for (const Grid& grid : kGrids) {
    WriteTwins(box, grid, seed++);
    for (double ratio : kRatios)
      for (const Setting& setting : Settings())
        for (int variant = 0; variant < 2; ++variant) {
          TResampleSettings settings = GeoTIFFSettings(true, false);
          settings.Policy = variant ? TCornerPolicy::NoDataAware : TCornerPolicy::Plain;
          settings.Digits = TDigits(variant ? 17 : TDigits::kOwnRule);
          const std::string fromTiff = ResampleToBytes(box.Path("in.tif"), box.Path("a.asc"),
                                                       grid.Cell * ratio, settings, setting);
          settings.InputGeoTIFF = false;
          const std::string fromText = ResampleToBytes(box.Path("in.asc"), box.Path("b.asc"),
                                                       grid.Cell * ratio, settings, setting);
          ASSERT_EQ(fromText, fromTiff) << Label(grid, ratio, setting) << " variant " << variant;
        }
  }
}

// The file the GeoTIFF writer makes of the in-memory result, with the
// source's keys, or what the resampling threw.
std::string ExpectedTiff(const Sandbox& box, double R, const TGeoTIFFWriteOptions& options) {
  const Thrown failure = CaptureThrow([&] {
    TGeoTIFFTags tags;
    std::unique_ptr<TMap> source(TGeoTIFFFileTools::LoadGeoTIFFFile(box.Path("in.tif"), 1, &tags));
    std::unique_ptr<TMap> result(TMapTools::BilinearInterpolate(source.get(), R));
    TGeoTIFFFileTools::WriteGeoTIFFFile(result.get(), box.Path("expected.tif"), options, &tags);
  });
  return failure.Describe() != kNothing ? failure.Describe()
                                        : ReadFileBytes(box.Path("expected.tif"));
}

TEST(TGeoTIFFPipeline, GeoTIFFResultIsTheWritersFileOfTheInMemoryResult) {
  Sandbox box;
  unsigned seed = 11;
  int files = 0;
  for (const Grid& grid : kGrids) {
    WriteTwins(box, grid, seed++);
    for (double ratio : kRatios)
      for (TCompression compression : kCompressions)
        for (TSample sample : {TSample::Float64, TSample::Float32}) {
          const TGeoTIFFWriteOptions options{sample, compression};
          const std::string expected = ExpectedTiff(box, grid.Cell * ratio, options);
          files += expected.compare(0, 3, "II*") == 0;
          for (const Setting& setting : Settings()) {
            if (setting.Knobs.BandBytes < 8 * static_cast<std::size_t>(grid.Columns))
              continue; // strips of one row, compared below
            const std::string written =
                ResampleToBytes(box.Path("in.tif"), box.Path("out.tif"), grid.Cell * ratio,
                                GeoTIFFSettings(true, true, options), setting);
            ASSERT_TRUE(written == expected)
                << Label(grid, ratio, setting) << " compression " << static_cast<int>(compression)
                << " sample " << static_cast<int>(sample);
          }
        }
  }
  // Most cases make a result; the others fail alike.
  EXPECT_GT(files, 60);
}

// A result written a row's runs at a time has strips of one row: the same
// values, georeferencing and keys.
TEST(TGeoTIFFPipeline, ColumnRunsHoldTheInMemoryResult) {
  Sandbox box;
  const Grid grid = kGrids[2];
  WriteTwins(box, grid, 5);
  Setting runs{TPipelineKnobs(), 3};
  runs.Knobs.BandBytes = 1;
  for (TCompression compression : kCompressions)
    for (double ratio : kRatios) {
      const std::string expectedBytes =
          ExpectedTiff(box, grid.Cell * ratio, {TSample::Float64, compression});
      const std::string written =
          ResampleToBytes(box.Path("in.tif"), box.Path("out.tif"), grid.Cell * ratio,
                          GeoTIFFSettings(true, true, {TSample::Float64, compression}), runs);
      if (expectedBytes.compare(0, 3, "II*") != 0) {
        EXPECT_EQ(expectedBytes, written);
        continue;
      }
      TGeoTIFFTags expectedTags, tags;
      std::unique_ptr<TMap> expected(
          TGeoTIFFFileTools::LoadGeoTIFFFile(box.Path("expected.tif"), 1, &expectedTags));
      std::unique_ptr<TMap> actual(
          TGeoTIFFFileTools::LoadGeoTIFFFile(box.Path("out.tif"), 1, &tags));
      EXPECT_EQ("", MapDifference(expected.get(), actual.get())) << ratio;
      EXPECT_EQ(expectedTags.KeyDirectory, tags.KeyDirectory);
    }
}

// From a source in strips or tiles, compressed or not, the bounded way reads
// what the reader reads: rows taken again, and rows from the middle of a
// strip first, decode as they do in order.
TEST(TGeoTIFFPipeline, StripsAndTilesReadAsTheReaderReadsThem) {
  Sandbox box;
  for (std::uint32_t tile : {0u, 16u})
    for (std::uint16_t compression : {1, 8, 5, 50000}) {
      TestTiff recipe;
      recipe.Columns = 45;
      recipe.Rows = 37;
      recipe.TileSize = tile;
      recipe.RowsPerStrip = 8;
      recipe.Compression = compression;
      recipe.Predictor = compression == 1 ? 1 : 3;
      recipe.Values = ScatteredValues(45 * 37, compression, -9999.0);
      box.Write("in.tif", TestTiffBytes(recipe));
      for (double R : {4.0, 10.0, 25.0, 7.0})
        for (unsigned workers : {1u, 3u}) {
          Setting bounded{TPipelineKnobs(), workers};
          bounded.Knobs.BandBytes = R == 7.0 ? 1 : 300;
          Setting memory{TPipelineKnobs(), 1};
          memory.Knobs.Mode = TPipelineKnobs::TMode::InMemory;
          ASSERT_EQ(ResampleToBytes(box.Path("in.tif"), box.Path("b.asc"), R,
                                    GeoTIFFSettings(true, false), memory),
                    ResampleToBytes(box.Path("in.tif"), box.Path("a.asc"), R,
                                    GeoTIFFSettings(true, false), bounded))
              << tile << " " << compression << " " << R << " " << workers;
        }
    }
}

// A strip that does not decode is found before the destination is opened.
TEST(TGeoTIFFPipeline, CorruptStripLeavesTheDestination) {
  Sandbox box;
  TestTiff recipe;
  recipe.Columns = 300;
  recipe.Rows = 200;
  recipe.RowsPerStrip = 8;
  recipe.Compression = 8;
  recipe.Values = ScatteredValues(300 * 200, 3, -9999.0);
  std::string bytes = TestTiffBytes(recipe);
  // Deflate data scribbled over in the middle of the file.
  for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 64; ++i)
    bytes[i] = static_cast<char>(0xA5);
  box.Write("in.tif", bytes);
  for (bool atomic : {false, true})
    for (bool toTiff : {false, true}) {
      box.Write("out", "an earlier destination\n");
      TResampleSettings settings = GeoTIFFSettings(true, toTiff);
      settings.Atomic = atomic;
      EXPECT_THROW_MSG(TFileResampling::Run(box.Path("in.tif"), box.Path("out"), 25.0, settings),
                       "Strip or tile is corrupt in TGeoTIFFFileTools::LoadGeoTIFFFile");
      EXPECT_EQ("an earlier destination\n", box.Read("out"));
    }
}

// Formats chosen by the first bytes and by the name.
TEST(TGeoTIFFPipeline, AutomaticFormats) {
  Sandbox box;
  WriteTwins(box, kGrids[0], 7);
  using TFormat = TResampleFileTools::TResampleOptions::TFormat;
  TResampleFileTools::TResampleOptions options;
  options.InputFormat = TFormat::Auto;
  options.OutputFormat = TFormat::Auto;
  for (const char* source : {"in.tif", "in.asc"}) {
    TResampleFileTools::BilinearInterpolateFile(box.Path(source), box.Path("out.TIF"), 45.0,
                                                options);
    TResampleFileTools::BilinearInterpolateFile(box.Path(source), box.Path("out.asc"), 45.0,
                                                options);
    std::unique_ptr<TMap> tiff(TGeoTIFFFileTools::LoadGeoTIFFFile(box.Path("out.TIF")));
    std::unique_ptr<TMap> text(TARCGISFileTools::LoadARCGISFile(box.Path("out.asc")));
    EXPECT_EQ(tiff->MbrLngXDim, text->MbrLngXDim) << source;
  }
  EXPECT_TRUE(TGeoTIFFFileTools::StartsLikeTiff(box.Path("in.tif")));
  for (const std::string& other : {box.Path("in.asc"), box.Dir().string(), box.Path("missing")})
    EXPECT_FALSE(TGeoTIFFFileTools::StartsLikeTiff(other)) << other;
  // Without options a GeoTIFF is read as ESRI ASCII, and refused.
  EXPECT_THROW_MSG(
      TResampleFileTools::BilinearInterpolateFile(box.Path("in.tif"), box.Path("x.asc"), 45.0),
      "File format error: expected to find ncols tag");
}
} // namespace
