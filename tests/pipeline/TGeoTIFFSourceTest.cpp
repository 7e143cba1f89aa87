// The GeoTIFF source read once against the reader and against two reads: in
// strips of one row, of several, in one strip too large to decode whole,
// and in tiles, plain and compressed, its single read hands every row range
// once, with the rows asked for after it, holding the reader's values; a
// resampling that reads it once writes the bytes of one that reads it
// twice, for ratios, shapes, run sizes and worker counts; and a corrupt
// strip fails both alike and leaves the destination untouched.
#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TGeoTIFFFileTools.h"
#include "pipeline/TFileResampling.h"
#include "pipeline/TGeoTIFFSource.h"
#include "pipeline/TMemoryRows.h"
#include "support/ExpectThrowMsg.h"
#include "support/FileState.h"
#include "support/Sandbox.h"
#include "support/TestMaps.h"
#include "support/TestTiffs.h"

namespace {
const std::string kNothing = Thrown().Describe();

struct Layout {
  const char* Name;
  std::uint32_t Columns;
  std::uint32_t Rows;
  std::uint32_t RowsPerStrip;
  std::uint32_t TileSize;
  std::uint16_t Compression;
};

// Row strips, strips of 8 rows (the last one short), one strip larger than
// the reader decodes whole, tiles; plain, deflate and lzw.
const Layout kLayouts[] = {
    {"rows", 37, 23, 1, 0, 1},          {"strips", 45, 37, 8, 0, 8},
    {"narrow strips", 5, 203, 8, 0, 5}, {"one large strip", 1100, 300, 300, 0, 8},
    {"tiles", 45, 37, 0, 16, 8},        {"wide tiles", 130, 20, 0, 16, 1},
};

std::string LayoutBytes(const Layout& layout, unsigned seed) {
  TestTiff recipe;
  recipe.Columns = layout.Columns;
  recipe.Rows = layout.Rows;
  recipe.RowsPerStrip = layout.RowsPerStrip;
  recipe.TileSize = layout.TileSize;
  recipe.Compression = layout.Compression;
  recipe.Predictor = layout.Compression == 1 ? 1 : 3;
  recipe.Values = ScatteredValues(static_cast<long>(layout.Columns) * layout.Rows, seed, -9999.0);
  return TestTiffBytes(recipe);
}

// Runs of a row or a block (and, at one byte, none handed), of a few rows,
// and the default.
const std::size_t kHandedBytes[] = {1, 300, 5000, TPipelineKnobs().HandedBytes};

struct Handed {
  long First;
  long End;
  long Needed;
};

TEST(TGeoTIFFSource, SingleReadHandsEveryRowOnceWithTheReadersValues) {
  Sandbox box;
  unsigned seed = 3;
  for (const Layout& layout : kLayouts) {
    box.Write("in.tif", LayoutBytes(layout, seed++));
    std::unique_ptr<TMap> map(TGeoTIFFFileTools::LoadGeoTIFFFile(box.Path("in.tif")));
    const std::vector<double> values = MapValues(map.get());
    const long rows = layout.Rows;
    const long columns = layout.Columns;
    for (std::size_t handedBytes : kHandedBytes)
      for (long after : {0L, 1L, 5L})
        for (unsigned workers : {1u, 2u, 3u}) {
          const std::string label =
              std::string(layout.Name) + " handed=" + std::to_string(handedBytes) +
              " after=" + std::to_string(after) + " workers=" + std::to_string(workers);
          TPipelineKnobs knobs;
          knobs.HandedBytes = handedBytes;
          TGeoTIFFSource source(box.Path("in.tif"), 1, knobs);
          source.Open();
          ASSERT_TRUE(source.ReadsOnce());
          std::mutex mutex;
          std::vector<Handed> handed;
          std::string wrong;
          TGridSource::TRowUse use;
          use.EndNeeded = [&](long, long end) { return end + after; };
          use.Use = [&](long first, long end, const TGridSource& rows) {
            const auto& memory = static_cast<const TMemoryRows&>(rows);
            const long needed = std::min(end + after, layout.Rows + 0L);
            std::string difference;
            for (long row = first; row < needed; ++row)
              for (long column = 0; column < columns; ++column)
                if (!SameBits(memory.At(row, 0)[column], values[row * columns + column]))
                  difference = "row " + std::to_string(row) + " differs";
            std::lock_guard<std::mutex> lock(mutex);
            handed.push_back({first, end, needed});
            wrong += difference;
          };
          const bool all = source.CheckAndUse(workers, use);
          EXPECT_EQ("", wrong) << label;
          std::sort(handed.begin(), handed.end(),
                    [](const Handed& a, const Handed& b) { return a.First < b.First; });
          // All of them are handed, one after another, unless the runs are
          // too large for the bytes given.
          long next = 0;
          for (const Handed& range : handed) {
            EXPECT_LT(range.First, range.End) << label;
            EXPECT_TRUE(!all || next == range.First) << label;
            next = range.End;
          }
          EXPECT_TRUE(!all || next == rows) << label;
          EXPECT_TRUE(all || handedBytes != TPipelineKnobs().HandedBytes) << label;
          EXPECT_FALSE(all && handedBytes == 1) << label;
        }
  }
}

std::string Outcome(const std::string& source, const std::string& dest, double R, bool toTiff,
                    const TPipelineKnobs& knobs, unsigned workers) {
  TResampleSettings settings;
  settings.InputGeoTIFF = true;
  settings.OutputGeoTIFF = toTiff;
  settings.GeoTIFF.Compression = TGeoTIFFWriteOptions::TCompression::Deflate;
  settings.Threads = workers;
  const Thrown failure =
      CaptureThrow([&] { TFileResampling::Run(source, dest, R, settings, knobs); });
  return failure.Describe() != kNothing ? failure.Describe() : ReadFileBytes(dest);
}

// The same outcome read once (where the result is kept) and twice; the
// number of outcomes that are files.
int ExpectSameOutcome(const Sandbox& box, double R, const std::string& label) {
  int files = 0;
  for (bool toTiff : {false, true})
    for (std::size_t handedBytes : kHandedBytes)
      for (unsigned workers : {1u, 2u, 3u}) {
        TPipelineKnobs once;
        once.HandedBytes = handedBytes;
        TPipelineKnobs twice = once;
        twice.KeptBytes = 0;
        const std::string expected =
            Outcome(box.Path("in.tif"), box.Path("b"), R, toTiff, twice, workers);
        const std::string actual =
            Outcome(box.Path("in.tif"), box.Path("a"), R, toTiff, once, workers);
        EXPECT_TRUE(expected == actual) << label << " R=" << R << " tiff=" << toTiff
                                        << " handed=" << handedBytes << " workers=" << workers;
        files += expected.compare(0, 3, "II*") == 0 || expected.compare(0, 5, "ncols") == 0;
      }
  return files;
}

TEST(TGeoTIFFSource, ResamplingReadOnceWritesTheBytesOfTwoReads) {
  Sandbox box;
  unsigned seed = 20;
  for (const Layout& layout : kLayouts) {
    if (layout.Rows == 300)
      continue; // read row by row above; too slow for every ratio here
    box.Write("in.tif", LayoutBytes(layout, seed++));
    for (double R : {1.7, 2.0, 3.0, 7.5})
      EXPECT_EQ(24, ExpectSameOutcome(box, R, layout.Name)) << layout.Name << " R=" << R;
  }
}

TEST(TGeoTIFFSource, CorruptStripFailsAlikeAndLeavesTheDestination) {
  Sandbox box;
  const Layout layouts[] = {kLayouts[1], kLayouts[4]};
  const std::string kCorrupt =
      Thrown{Thrown::Text, "Strip or tile is corrupt in TGeoTIFFFileTools::LoadGeoTIFFFile"}
          .Describe();
  int corrupt = 0;
  for (const Layout& layout : layouts) {
    const std::string bytes = LayoutBytes(layout, 9);
    const std::size_t first = TiffFirstDataOffset(bytes);
    // The first strip or tile, then further on.
    for (double at : {0.0, 0.3, 0.6, 0.8}) {
      std::string broken = bytes;
      const std::size_t from = first + static_cast<std::size_t>(at * (bytes.size() - first));
      for (std::size_t i = from; i < std::min(broken.size(), from + 24); ++i)
        broken[i] = static_cast<char>(0xA5);
      box.Write("in.tif", broken);
      for (double R : {2.0, 7.5}) {
        box.Write("a", "an earlier destination\n");
        TPipelineKnobs knobs;
        TResampleSettings settings;
        settings.InputGeoTIFF = true;
        settings.OutputGeoTIFF = true;
        const Thrown failure = CaptureThrow(
            [&] { TFileResampling::Run(box.Path("in.tif"), box.Path("a"), R, settings, knobs); });
        const std::string label = std::string(layout.Name) + " at " + std::to_string(at);
        if (failure.Describe() == kCorrupt) {
          ++corrupt;
          EXPECT_EQ("an earlier destination\n", box.Read("a")) << label;
        }
        ExpectSameOutcome(box, R, label);
      }
    }
  }
  EXPECT_GT(corrupt, 4);
}
} // namespace
