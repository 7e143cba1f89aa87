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

std::uint32_t TTiffStripWriter::RowsPerStrip(std::uint32_t columns, std::uint32_t rows,
                                             TSample sample) {
  const std::size_t rowBytes = std::size_t(columns) * static_cast<std::size_t>(SampleBytes(sample));
  const std::size_t rowsPerStrip =
      std::max<std::size_t>(1, kStripBytes / std::max<std::size_t>(rowBytes, 1));
  return static_cast<std::uint32_t>(std::min<std::size_t>(rowsPerStrip, rows));
}

TTiffHandle::TMode TTiffStripWriter::HandleMode(std::uint32_t columns, std::uint32_t rows,
                                                TSample sample) {
  const std::uint64_t kLargestClassicData = std::uint64_t(3) << 30;
  const std::uint64_t bytes =
      std::uint64_t(columns) * rows * static_cast<std::uint64_t>(SampleBytes(sample));
  return bytes > kLargestClassicData ? TTiffHandle::TMode::WriteBigTIFF : TTiffHandle::TMode::Write;
}

void TTiffStripWriter::ToSamples(TSample sample, const double* values, std::uint32_t count,
                                 unsigned char* samples) {
  if (sample == TSample::Float64)
    std::memcpy(samples, values, std::size_t(count) * sizeof(double));
  else
    ToFloats(values, count, samples);
}

TTiffStripWriter::TTiffStripWriter(TTiffHandle& tiff, std::uint32_t columns, std::uint32_t rows,
                                   TSample sample, TCompression compression)
    : MbrTiff(tiff), MbrColumns(columns), MbrRows(rows), MbrSample(sample),
      MbrRowsPerStrip(RowsPerStrip(columns, rows, sample)),
      MbrRowBytes(std::size_t(columns) * static_cast<std::size_t>(SampleBytes(sample))) {
  MbrStrip.resize(MbrRowBytes * MbrRowsPerStrip);
  SetImageTags(tiff, columns, rows, sample, compression, MbrRowsPerStrip);
}

void TTiffStripWriter::SetImageTags(TTiffHandle& tiff, std::uint32_t columns, std::uint32_t rows,
                                    TSample sample, TCompression compression,
                                    std::uint32_t rowsPerStrip) {
  TIFF* out = tiff.Get();
  TIFFSetField(out, TIFFTAG_IMAGEWIDTH, columns);
  TIFFSetField(out, TIFFTAG_IMAGELENGTH, rows);
  TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8 * SampleBytes(sample));
  TIFFSetField(out, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
  TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
  TIFFSetField(out, TIFFTAG_COMPRESSION, CompressionTag(compression));
  if (compression != TCompression::None)
    TIFFSetField(out, TIFFTAG_PREDICTOR, PREDICTOR_FLOATINGPOINT);
  if (compression == TCompression::Deflate)
    TIFFSetField(out, TIFFTAG_ZIPQUALITY, kDeflateLevel);
}

void TTiffStripWriter::WriteRow(const double* values) {
  ToSamples(MbrSample, values, MbrColumns, MbrStrip.data() + MbrRowsInStrip * MbrRowBytes);
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
