// Broken and hostile files: whatever the bytes, the reader ends with one of
// its messages, never a crash or a hang, and never allocates far beyond the
// file: every allocation of this program is counted while a refused file is
// read.
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "gridio/TGeoTIFFFileTools.h"
#include "support/AllocationCount.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"
#include "support/TestTiffs.h"

namespace {
const std::string kIn = " in TGeoTIFFFileTools::LoadGeoTIFFFile";
const std::string kNotATiff = "File is not a TIFF file" + kIn;
const std::string kCorruptDirectory = "TIFF directory is corrupt" + kIn;
const std::string kBeyondEnd = "Strip or tile lies beyond the end of the file" + kIn;
const std::string kBeyondData = "Image is larger than its data can hold" + kIn;
const std::string kCorruptData = "Strip or tile is corrupt" + kIn;

// What reading the bytes gives: "" for a map, else the message; and the
// bytes this program allocated meanwhile.
std::string Outcome(const std::string& bytes, std::size_t* allocated = nullptr) {
  std::istringstream in(bytes);
  const std::size_t before = AllocatedBytes();
  std::string outcome;
  const Thrown thrown =
      CaptureThrow([&] { delete TGeoTIFFFileTools::LoadGeoTIFFFile(in, 1, nullptr); });
  if (allocated != nullptr)
    *allocated = AllocatedBytes() - before;
  return thrown.kind == Thrown::Nothing ? "" : thrown.message;
}

// A refused file allocates no more than a few times its own length.
void ExpectRefusedCheaply(const std::string& bytes, const std::string& message) {
  std::size_t allocated = 0;
  EXPECT_EQ(message, Outcome(bytes, &allocated));
  EXPECT_LE(allocated, 64 * 1024 + 16 * bytes.size());
}

std::string Made(std::uint16_t compression, std::uint32_t tile = 0) {
  TestTiff recipe;
  recipe.Columns = 40;
  recipe.Rows = 30;
  recipe.RowsPerStrip = 30;
  recipe.TileSize = tile;
  recipe.Compression = compression;
  recipe.Values = TestTiffValues(recipe);
  return TestTiffBytes(recipe);
}

TEST(TGeoTIFFHostileTest, BytesThatAreNoTiff) {
  const std::string cases[] = {
      "", "II", "II*", "ncols 3\nnrows 3\n", "MM\0+", "IIII", std::string("\x89PNG\r\n\x1a\n", 8)};
  for (const std::string& bytes : cases)
    ExpectRefusedCheaply(bytes, kNotATiff);
  // A TIFF start whose first directory lies outside the file, or holds nothing.
  ExpectRefusedCheaply(std::string("II*\0\xF0\xFF\xFF\x7F", 8), kCorruptDirectory);
  ExpectRefusedCheaply(std::string("II*\0\x08\0\0\0\0\0\0\0\0\0", 14), kCorruptDirectory);
  ExpectRefusedCheaply(std::string("MM\0*\0\0\0\x08", 8) + std::string(64, '\xFF'),
                       kCorruptDirectory);
}

// Every prefix of a valid file, in strips and in tiles, uncompressed and
// deflated, is refused with one of the reader's messages: none passes for a
// whole file.
TEST(TGeoTIFFHostileTest, EveryTruncationIsRefusedWithAMessage) {
  const std::set<std::string> expected = {kNotATiff,
                                          kCorruptDirectory,
                                          kBeyondEnd,
                                          kBeyondData,
                                          kCorruptData,
                                          "No georeferencing (ModelPixelScale with ModelTiepoint, "
                                          "or ModelTransformation)" +
                                              kIn};
  for (std::uint32_t tile : {0u, 16u})
    for (std::uint16_t compression : {1, 8}) {
      SCOPED_TRACE(testing::Message() << "tile " << tile << ", compression " << compression);
      const std::string bytes = Made(compression, tile);
      ASSERT_EQ("", Outcome(bytes));
      for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::string outcome = Outcome(bytes.substr(0, length));
        EXPECT_EQ(1u, expected.count(outcome)) << length << " bytes: " << outcome;
      }
    }
}

// (libtiff itself mends the byte count of a single uncompressed strip that
// runs past the end, from the image's size: that file reads.)
TEST(TGeoTIFFHostileTest, StripsOutsideTheFileAreRefusedBeforeReading) {
  std::string mended = Made(1);
  ASSERT_TRUE(SetTiffEntry(mended, 279, 0x7FFFFFF0)); // StripByteCounts
  EXPECT_EQ("", Outcome(mended));
  std::string longStrip = Made(8);
  ASSERT_TRUE(SetTiffEntry(longStrip, 279, 0x7FFFFFF0));
  ExpectRefusedCheaply(longStrip, kBeyondEnd);
  std::string farStrip = Made(8);
  ASSERT_TRUE(SetTiffEntry(farStrip, 273, 0xFFFFFF00)); // StripOffsets
  ExpectRefusedCheaply(farStrip, kBeyondEnd);
  std::string farTile = Made(8, 16);
  ASSERT_TRUE(SetTiffEntry(farTile, 325, 0x7FFFFFF0)); // TileByteCounts
  ExpectRefusedCheaply(farTile, kBeyondEnd);
}

// A small file claiming a huge image, strip or tile.
TEST(TGeoTIFFHostileTest, SizesFarBeyondTheDataAreRefusedBeforeAllocating) {
  std::string wide = Made(8);
  ASSERT_TRUE(SetTiffEntry(wide, 256, 1u << 30)); // ImageWidth
  ExpectRefusedCheaply(wide, kBeyondData);
  std::string huge = Made(8);
  ASSERT_TRUE(SetTiffEntry(huge, 256, 1u << 20));
  ASSERT_TRUE(SetTiffEntry(huge, 257, 1u << 20)); // ImageLength
  ASSERT_TRUE(SetTiffEntry(huge, 278, 1u << 20)); // RowsPerStrip: still one strip
  ExpectRefusedCheaply(huge, kBeyondData);
  std::string bigTile = Made(8, 16);
  ASSERT_TRUE(SetTiffEntry(bigTile, 322, 1u << 28)); // TileWidth
  ASSERT_TRUE(SetTiffEntry(bigTile, 323, 1u << 28)); // TileLength
  const std::string outcome = Outcome(bigTile);
  EXPECT_TRUE(outcome == kBeyondData || outcome == kCorruptDirectory) << outcome;
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// Found by the fuzzer: 406 bytes whose directory gives two of its 983,000
// tiles, so that libtiff estimates the others at offset 0; they would all
// read the same bytes, a map of 15 million cells that took seconds.
TEST(TGeoTIFFHostileTest, TilesSharingTheirBytesAreRefused) {
  const std::string bytes =
      FromHex("49492a0084000000789c636047018b795178ecec26283c767675141e3bbb090a8f9ddd1185c7"
              "ceee87ca658f46e1b1b3b3a05acfce4067000091210a9e789cc5c7a11540600006c0ff3de18a"
              "a05ac00216b080050ca78816b080055441b5802efa3670ed6a5ce5d3e28877d8243db6f88035"
              "3e628e4f164fbcc21d6f7096ffbc41fb0a010f000001030001000000e7000000010103000100"
              "0000fcff0000020103000100000008000000036f030001000000080000000601030001000000"
              "010000001501030001000000010000001c01030001000000010000003d010300010000000200"
              "000042010300010000001000000043010300010000000100000044010400020000003e010000"
              "4501030002000000350047005301030001000000020000000e830c0003000000460100008284"
              "0c00060000005e01000000000000080000003d00000000000000000024400000000000002440"
              "0000000000000000000000000000000000000000000000000000000000000000000000000000"
              "000000000000000059400000000000c06c400000000000000000");
  ExpectRefusedCheaply(bytes, "Strips or tiles share their bytes" + kIn);
}

TEST(TGeoTIFFHostileTest, CorruptCompressedDataIsRefused) {
  for (std::uint32_t tile : {0u, 16u}) {
    SCOPED_TRACE(tile);
    std::string bytes = Made(8, tile);
    const std::uint32_t offset = TiffFirstDataOffset(bytes);
    const std::uint32_t length = TiffFirstDataLength(bytes);
    bytes.replace(offset, length, length, '\xFF');
    ExpectRefusedCheaply(bytes, kCorruptData);
  }
}

// The reader never follows the chain of directories, so a loop cannot hold
// it; the first directory reads as it is.
TEST(TGeoTIFFHostileTest, ALoopingDirectoryChainReadsTheFirstDirectory) {
  TestTiff recipe;
  recipe.Values = TestTiffValues(recipe);
  std::string bytes = TestTiffBytes(recipe);
  const std::uint32_t first =
      static_cast<unsigned char>(bytes[4]) | static_cast<unsigned char>(bytes[5]) << 8;
  SetNextDirectory(bytes, first);
  std::istringstream in(bytes);
  std::unique_ptr<TMap> map(TGeoTIFFFileTools::LoadGeoTIFFFile(in, 1, nullptr));
  EXPECT_EQ(recipe.Values, MapValues(map.get()));
}
} // namespace
