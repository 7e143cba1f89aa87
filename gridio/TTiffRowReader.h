// TTiffRowReader: the rows of one band of a TIFF image as doubles, north
// first, decoded a block at a time: a whole strip of at most
// kWholeStripBytes, or a row of tiles, into one buffer of that many image
// rows in the file's own sample type, converted a row at a time as the rows
// are taken (libtiff's codecs decode a whole strip faster than row by row).
// Larger strips are decoded a row at a time (libtiff keeps the strip's
// stored bytes). So memory is one image row, one small strip or one row of
// tiles, whatever the image's height: the
// GeoTIFF reader fills a map with it, and a file-to-file pipeline can take
// rows as it needs them. Integers convert exactly up to 2^53 and round to
// the nearest double beyond; floats convert exactly.
//
// Floating-point samples stored with the floating-point predictor are
// decoded by libtiff's codec alone and the predictor undone here, faster
// (TTiffFloatPredictor): the reader tells the handle there is no predictor,
// so the handle must not have decoded anything before and serves this
// reader alone. The layout must have been checked (TTiffLayout::Read); the
// handle must outlive the reader. Throws (as const char*) kCorruptData when libtiff
// cannot decode a strip or tile.
#ifndef QUILLMAP_GRIDIO_TTIFFROWREADER_H
#define QUILLMAP_GRIDIO_TTIFFROWREADER_H

#include <cstdint>
#include <vector>

#include "gridio/TTiffHandle.h"
#include "gridio/TTiffLayout.h"

class TTiffRowReader {
public:
  static constexpr std::size_t kWholeStripBytes = std::size_t(2) << 20;

  TTiffRowReader(TTiffHandle& tiff, const TTiffLayout& layout);

  // The next row's Columns values into values; false after the last row.
  bool ReadRow(double* values);
  std::uint32_t NextRow() const { return MbrNextRow; }
  // The row ReadRow reads next, before or after the rows read (libtiff
  // decodes a strip again from its start for a row before the last one).
  void Seek(std::uint32_t row) { MbrNextRow = row; }

private:
  // The samples of image row `row` in the file's own type.
  const unsigned char* DecodeRow(std::uint32_t row);
  const unsigned char* DecodeStripRow(std::uint32_t row);
  void DecodeBlock(std::uint32_t firstRow);
  void DecodeStrip(std::uint32_t firstRow);
  void DecodeTileRow(std::uint32_t firstRow);
  void UndoPredictor(unsigned char* row, std::uint32_t columns);

  TTiffHandle& MbrTiff;
  TTiffLayout MbrLayout;
  std::uint32_t MbrNextRow = 0;
  std::size_t MbrRowBytes;
  // Strips decoded whole, and tiles: RowsPerBlock rows of the image from
  // MbrFirstBufferedRow (once MbrBuffered), and for tiles one tile. Other
  // strips: one row.
  std::vector<unsigned char> MbrRows;
  std::vector<unsigned char> MbrTile;
  bool MbrBlnWholeBlocks;
  // The floating-point predictor, undone here (TTiffFloatPredictor) on a
  // scratch row of the image or of a tile.
  bool MbrBlnPredictor;
  std::vector<unsigned char> MbrScratch;
  std::uint32_t MbrFirstBufferedRow = 0;
  bool MbrBuffered = false;
};

#endif
