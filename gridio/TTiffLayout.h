// TTiffLayout: how one band of a TIFF image is stored, read from the current
// directory and checked against what the GeoTIFF reader reads: 8- to 64-bit
// integers and 32- and 64-bit floats, one sample per pixel or one plane per
// band, in strips or tiles, every strip or tile of the band inside the file,
// and apart from the others (their bytes add up to no more than the file),
// and the image, any one strip or tile and one row of them no larger than
// kLargestExpansion times the bytes of the band's strips or tiles: four
// times what deflate gives at most, and more than the other codecs give on
// real data but for zstd on constant tiles. Nothing is allocated until these
// checks pass. Internal.
//
// Band is 1-based. Throws (as const char*) the layout, band and data
// messages of GeoTIFFMessages.h: kNoPixels, kUnreadBitDepth, kUnreadFloatSize,
// kUnreadSampleFormat, kUnreadPalette, kUnreadContiguousSamples, kNoSuchBand,
// kDataBeyondEnd, kSharedData, kImageBeyondData, kCorruptDirectory.
#ifndef QUILLMAP_GRIDIO_TTIFFLAYOUT_H
#define QUILLMAP_GRIDIO_TTIFFLAYOUT_H

#include <cstdint>

#include "gridio/TTiffHandle.h"

struct TTiffLayout {
  enum class TSample { UInt8, Int8, UInt16, Int16, UInt32, Int32, UInt64, Int64, Float32, Float64 };
  static constexpr std::uint64_t kLargestExpansion = std::uint64_t(1) << 12;

  std::uint32_t Columns = 0;
  std::uint32_t Rows = 0;
  TSample Sample = TSample::UInt8;
  int SampleBytes = 1;
  // The plane of the band (0 for a one-sample image).
  std::uint16_t Plane = 0;
  bool Tiled = false;
  // Tiles: their size; strips: RowsPerBlock rows per strip, TileColumns the
  // image's width.
  std::uint32_t TileColumns = 0;
  std::uint32_t RowsPerBlock = 0;

  static TTiffLayout Read(const TTiffHandle& tiff, long band);
};

#endif
