// TTiffStripWriter: the rows of a one-band floating-point TIFF image written
// in order, north first, as strips of RowsPerStrip rows (about kStripBytes
// of samples each; the last strip holds the rows left). A strip is encoded
// and written as soon as its last row arrives, so memory is one strip
// whatever the image's height: the GeoTIFF writer writes a map with it, and
// a file-to-file pipeline can hand it bands of result rows as they are
// made. Float32 samples are the doubles rounded to nearest; float64 keeps
// them to the bit.
//
// The constructor sets the image tags (size, sample type, strips,
// compression and, for deflate, lzw and zstd, the floating-point predictor)
// on a handle open for writing, which must outlive the writer; the caller
// adds its own tags before the first row. Throws nothing: a failure of
// libtiff marks the handle as failed (TTiffHandle::Failed), and the caller
// reports it once the rows are written.
#ifndef QUILLMAP_GRIDIO_TTIFFSTRIPWRITER_H
#define QUILLMAP_GRIDIO_TTIFFSTRIPWRITER_H

#include <cstdint>
#include <vector>

#include "gridio/TTiffHandle.h"

class TTiffStripWriter {
public:
  enum class TSample { Float64, Float32 };
  enum class TCompression { None, Deflate, Lzw, Zstd };
  static constexpr std::size_t kStripBytes = std::size_t(256) << 10;

  TTiffStripWriter(TTiffHandle& tiff, std::uint32_t columns, std::uint32_t rows, TSample sample,
                   TCompression compression);

  // A double as a float32 sample: rounded to nearest, beyond the largest
  // float an infinity of its sign.
  static float ToFloat(double value);

  std::uint32_t RowsPerStrip() const { return MbrRowsPerStrip; }
  // The next row's columns values.
  void WriteRow(const double* values);
  // The rows written so far; all of them once NextRow() equals the rows.
  std::uint32_t NextRow() const { return MbrNextRow; }

private:
  void WriteStrip();

  TTiffHandle& MbrTiff;
  std::uint32_t MbrColumns;
  std::uint32_t MbrRows;
  TSample MbrSample;
  std::uint32_t MbrRowsPerStrip;
  std::uint32_t MbrNextRow = 0;
  std::size_t MbrRowBytes;
  std::vector<unsigned char> MbrStrip;
  std::uint32_t MbrRowsInStrip = 0;
};

#endif
