#include "gridio/TTiffStripWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
std::uint16_t CompressionTag(TTiffStripWriter::TCompression compression) {
  switch (compression) {
  case TTiffStripWriter::TCompression::Deflate:
    return COMPRESSION_ADOBE_DEFLATE;
  case TTiffStripWriter::TCompression::Lzw:
    return COMPRESSION_LZW;
  case TTiffStripWriter::TCompression::Zstd:
    return COMPRESSION_ZSTD;
  default:
    return COMPRESSION_NONE;
  }
}

int SampleBytes(TTiffStripWriter::TSample sample) {
  return sample == TTiffStripWriter::TSample::Float64 ? 8 : 4;
}

void ToFloats(const double* values, std::uint32_t count, unsigned char* samples) {
  for (std::uint32_t i = 0; i < count; ++i) {
    const float sample = TTiffStripWriter::ToFloat(values[i]);
    std::memcpy(samples + i * sizeof sample, &sample, sizeof sample);
  }
}
} // namespace

float TTiffStripWriter::ToFloat(double value) {
  const double largest = std::numeric_limits<float>::max();
  if (!(std::fabs(value) > largest))
    return static_cast<float>(value);
  // Half a unit in the last place above the largest float still rounds to
  // it; from there on (the tie included, the largest float being odd) the
  // sample is infinite.
  const double overflow = largest + std::ldexp(1.0, 103);
  const float bound = std::fabs(value) < overflow ? std::numeric_limits<float>::max()
                                                  : std::numeric_limits<float>::infinity();
  return std::signbit(value) ? -bound : bound;
}

TTiffStripWriter::TTiffStripWriter(TTiffHandle& tiff, std::uint32_t columns, std::uint32_t rows,
                                   TSample sample, TCompression compression)
    : MbrTiff(tiff), MbrColumns(columns), MbrRows(rows), MbrSample(sample),
      MbrRowBytes(std::size_t(columns) * static_cast<std::size_t>(SampleBytes(sample))) {
  const std::size_t rowsPerStrip = std::max<std::size_t>(1, kStripBytes / MbrRowBytes);
  MbrRowsPerStrip = static_cast<std::uint32_t>(std::min<std::size_t>(rowsPerStrip, rows));
  MbrStrip.resize(MbrRowBytes * MbrRowsPerStrip);
  TIFF* out = tiff.Get();
  TIFFSetField(out, TIFFTAG_IMAGEWIDTH, columns);
  TIFFSetField(out, TIFFTAG_IMAGELENGTH, rows);
  TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8 * SampleBytes(sample));
  TIFFSetField(out, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
  TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, MbrRowsPerStrip);
  TIFFSetField(out, TIFFTAG_COMPRESSION, CompressionTag(compression));
  if (compression != TCompression::None)
    TIFFSetField(out, TIFFTAG_PREDICTOR, PREDICTOR_FLOATINGPOINT);
}

void TTiffStripWriter::WriteRow(const double* values) {
  unsigned char* row = MbrStrip.data() + MbrRowsInStrip * MbrRowBytes;
  if (MbrSample == TSample::Float64)
    std::memcpy(row, values, MbrRowBytes);
  else
    ToFloats(values, MbrColumns, row);
  ++MbrRowsInStrip;
  ++MbrNextRow;
  if (MbrRowsInStrip == MbrRowsPerStrip || MbrNextRow == MbrRows)
    WriteStrip();
}

void TTiffStripWriter::WriteStrip() {
  const std::uint32_t strip = (MbrNextRow - 1) / MbrRowsPerStrip;
  const tmsize_t size = static_cast<tmsize_t>(MbrRowsInStrip * MbrRowBytes);
  if (TIFFWriteEncodedStrip(MbrTiff.Get(), strip, MbrStrip.data(), size) < 0)
    TIFFErrorExtR(MbrTiff.Get(), "TTiffStripWriter", "strip %u not written", strip);
  MbrRowsInStrip = 0;
}
