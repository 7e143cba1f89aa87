#include "gridio/TTiffLayout.h"

#include <algorithm>
#include <limits>

#include "gridio/GeoTIFFMessages.h"

namespace {
using TSample = TTiffLayout::TSample;

TSample IntegerSample(std::uint16_t bits, bool isSigned) {
  switch (bits) {
  case 8:
    return isSigned ? TSample::Int8 : TSample::UInt8;
  case 16:
    return isSigned ? TSample::Int16 : TSample::UInt16;
  case 32:
    return isSigned ? TSample::Int32 : TSample::UInt32;
  case 64:
    return isSigned ? TSample::Int64 : TSample::UInt64;
  default:
    throw kUnreadBitDepth;
  }
}

// Unsigned integers are also what a sample format of "undefined" holds.
TSample SampleOf(TIFF* tiff) {
  std::uint16_t bits = 1;
  std::uint16_t format = SAMPLEFORMAT_UINT;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
  if (format == SAMPLEFORMAT_IEEEFP) {
    if (bits == 32)
      return TSample::Float32;
    if (bits == 64)
      return TSample::Float64;
    throw bits == 8 || bits == 16 || bits == 24 ? kUnreadFloatSize : kUnreadBitDepth;
  }
  if (format != SAMPLEFORMAT_UINT && format != SAMPLEFORMAT_INT && format != SAMPLEFORMAT_VOID)
    throw kUnreadSampleFormat;
  return IntegerSample(bits, format == SAMPLEFORMAT_INT);
}

int BytesOf(TSample sample) {
  switch (sample) {
  case TSample::UInt8:
  case TSample::Int8:
    return 1;
  case TSample::UInt16:
  case TSample::Int16:
    return 2;
  case TSample::UInt32:
  case TSample::Int32:
  case TSample::Float32:
    return 4;
  default:
    return 8;
  }
}

// The band's plane: a one-sample image has band 1 only; several samples per
// pixel are read one plane per band.
std::uint16_t PlaneOf(TIFF* tiff, long band) {
  std::uint16_t samples = 1;
  std::uint16_t planar = PLANARCONFIG_CONTIG;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  if (samples > 1 && planar != PLANARCONFIG_SEPARATE)
    throw kUnreadContiguousSamples;
  if (band < 1 || band > samples)
    throw kNoSuchBand;
  return static_cast<std::uint16_t>(band - 1);
}

void ReadBlocks(TIFF* tiff, TTiffLayout& layout) {
  layout.Tiled = TIFFIsTiled(tiff) != 0;
  if (layout.Tiled) {
    TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &layout.TileColumns);
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &layout.RowsPerBlock);
  } else {
    layout.TileColumns = layout.Columns;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &layout.RowsPerBlock);
    if (layout.RowsPerBlock > layout.Rows)
      layout.RowsPerBlock = layout.Rows;
  }
  if (layout.TileColumns == 0 || layout.RowsPerBlock == 0)
    throw kCorruptDirectory;
}

// The strips or tiles of the band, which libtiff numbers plane after plane.
void CheckData(const TTiffHandle& handle, const TTiffLayout& layout) {
  TIFF* tiff = handle.Get();
  const std::uint32_t blocks = layout.Tiled ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
  std::uint16_t samples = 1;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  const std::uint32_t perPlane = blocks / samples;
  if (perPlane == 0)
    throw kCorruptDirectory;
  std::uint64_t stored = 0;
  for (std::uint32_t block = layout.Plane * perPlane; block < (layout.Plane + 1u) * perPlane;
       ++block) {
    int failed = 0;
    const std::uint64_t offset = TIFFGetStrileOffsetWithErr(tiff, block, &failed);
    const std::uint64_t bytes = TIFFGetStrileByteCountWithErr(tiff, block, &failed);
    if (failed)
      throw kCorruptDirectory;
    if (offset > handle.FileLength() || bytes > handle.FileLength() - offset)
      throw kDataBeyondEnd;
    stored += bytes;
  }
  // Strips and tiles lie apart in a file: more bytes than the file holds
  // means they share them, as libtiff's estimates for a damaged directory
  // may, so that a few bytes would stand for a whole image.
  if (stored > handle.FileLength())
    throw kSharedData;
  // The image, one strip or tile, and one row of them as the row reader
  // buffers it.
  const std::uint64_t image = std::uint64_t(layout.Columns) * layout.Rows;
  const std::uint64_t block = std::uint64_t(layout.TileColumns) * layout.RowsPerBlock;
  const std::uint64_t blockRow = std::uint64_t(layout.Columns) * layout.RowsPerBlock;
  const std::uint64_t cells = std::max({image, block, blockRow});
  const std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
  const std::uint64_t allowed = stored > most / TTiffLayout::kLargestExpansion
                                    ? most
                                    : stored * TTiffLayout::kLargestExpansion;
  if (cells > allowed / static_cast<std::uint64_t>(layout.SampleBytes))
    throw kImageBeyondData;
}
} // namespace

TTiffLayout TTiffLayout::Read(const TTiffHandle& handle, long band) {
  TIFF* tiff = handle.Get();
  TTiffLayout layout;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.Columns);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.Rows);
  if (layout.Columns == 0 || layout.Rows == 0)
    throw kNoPixels;
  std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  if (photometric == PHOTOMETRIC_PALETTE)
    throw kUnreadPalette;
  layout.Sample = SampleOf(tiff);
  layout.SampleBytes = BytesOf(layout.Sample);
  layout.Plane = PlaneOf(tiff, band);
  ReadBlocks(tiff, layout);
  CheckData(handle, layout);
  return layout;
}
