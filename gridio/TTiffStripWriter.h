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
// compression and, for deflate, lzw and zstd, the floating-point predictor;
// deflate at kDeflateLevel, the fastest: on elevation grids its strips take
// 3 to 8 percent more room than at level 6, and it compresses them in
// about a third of the time)
// on a handle open for writing, which must outlive the writer; the caller
// adds its own tags before the first row. Throws nothing: a failure of
// libtiff marks the handle as failed (TTiffHandle::Failed), and the caller
// reports it once the rows are written.
#ifndef QUILLMAP_GRIDIO_TTIFFSTRIPWRITER_H
#define QUILLMAP_GRIDIO_TTIFFSTRIPWRITER_H

#include <cstdint>
#include <vector>

#include "gridio/TGeoTIFFWriteOptions.h"
#include "gridio/TTiffHandle.h"

class TTiffStripWriter {
public:
  using TSample = TGeoTIFFWriteOptions::TSampleType;
  using TCompression = TGeoTIFFWriteOptions::TCompression;
  static constexpr std::size_t kStripBytes = std::size_t(256) << 10;
  static constexpr int kDeflateLevel = 1;

  static int SampleBytes(TSample sample) { return sample == TSample::Float64 ? 8 : 4; }
  // The rows of each strip of an image of that width and height.
  static std::uint32_t RowsPerStrip(std::uint32_t columns, std::uint32_t rows, TSample sample);
  // Classic TIFF, or BigTIFF for more than 3 GiB of samples (room below
  // 4 GiB for strips that compress badly and for the directory).
  static TTiffHandle::TMode HandleMode(std::uint32_t columns, std::uint32_t rows, TSample sample);
  // Sets the image tags on a handle open for writing, strips of
  // rowsPerStrip rows.
  static void SetImageTags(TTiffHandle& tiff, std::uint32_t columns, std::uint32_t rows,
                           TSample sample, TCompression compression, std::uint32_t rowsPerStrip);
  // count doubles as samples, in the machine's byte order.
  static void ToSamples(TSample sample, const double* values, std::uint32_t count,
                        unsigned char* samples);

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
