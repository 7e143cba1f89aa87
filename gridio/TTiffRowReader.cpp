#include "gridio/TTiffRowReader.h"

#include <algorithm>
#include <cstring>

#include "gridio/GeoTIFFMessages.h"
#include "gridio/TTiffFloatPredictor.h"

namespace {
using TSample = TTiffLayout::TSample;

template <typename Sample>
void Convert(const unsigned char* samples, std::uint32_t count, double* values) {
  for (std::uint32_t i = 0; i < count; ++i) {
    Sample sample;
    std::memcpy(&sample, samples + i * sizeof(Sample), sizeof(Sample));
    values[i] = static_cast<double>(sample);
  }
}

void ConvertRow(TSample type, const unsigned char* samples, std::uint32_t count, double* values) {
  switch (type) {
  case TSample::UInt8:
    return Convert<std::uint8_t>(samples, count, values);
  case TSample::Int8:
    return Convert<std::int8_t>(samples, count, values);
  case TSample::UInt16:
    return Convert<std::uint16_t>(samples, count, values);
  case TSample::Int16:
    return Convert<std::int16_t>(samples, count, values);
  case TSample::UInt32:
    return Convert<std::uint32_t>(samples, count, values);
  case TSample::Int32:
    return Convert<std::int32_t>(samples, count, values);
  case TSample::UInt64:
    return Convert<std::uint64_t>(samples, count, values);
  case TSample::Int64:
    return Convert<std::int64_t>(samples, count, values);
  case TSample::Float32:
    return Convert<float>(samples, count, values);
  case TSample::Float64:
    return Convert<double>(samples, count, values);
  }
}

// Floating-point samples with the floating-point predictor: libtiff is told
// there is none before it decodes anything, and the reader undoes it.
bool TakeOverPredictor(TTiffHandle& tiff, const TTiffLayout& layout) {
  if (layout.Sample != TSample::Float32 && layout.Sample != TSample::Float64)
    return false;
  std::uint16_t predictor = PREDICTOR_NONE;
  if (TIFFGetField(tiff.Get(), TIFFTAG_PREDICTOR, &predictor) != 1 ||
      predictor != PREDICTOR_FLOATINGPOINT)
    return false;
  return TIFFSetField(tiff.Get(), TIFFTAG_PREDICTOR, PREDICTOR_NONE) == 1;
}
} // namespace

TTiffRowReader::TTiffRowReader(TTiffHandle& tiff, const TTiffLayout& layout)
    : MbrTiff(tiff), MbrLayout(layout),
      MbrRowBytes(std::size_t(layout.Columns) * static_cast<std::size_t>(layout.SampleBytes)),
      MbrBlnWholeBlocks(layout.Tiled || layout.RowsPerBlock == 1 ||
                        TIFFStripSize64(tiff.Get()) <= kWholeStripBytes),
      MbrBlnPredictor(TakeOverPredictor(tiff, layout)) {
  if (layout.Tiled) {
    MbrRows.resize(MbrRowBytes * layout.RowsPerBlock);
    MbrTile.resize(TIFFTileSize64(tiff.Get()));
  } else {
    // libtiff decodes whole rows of the strip, whatever they hold.
    const std::size_t rowBytes = std::max<std::size_t>(MbrRowBytes, TIFFScanlineSize64(tiff.Get()));
    MbrRows.resize(MbrBlnWholeBlocks ? std::max<std::size_t>(rowBytes * layout.RowsPerBlock,
                                                             TIFFStripSize64(tiff.Get()))
                                     : rowBytes);
  }
  if (MbrBlnPredictor)
    MbrScratch.resize(std::size_t(std::max(layout.Columns, layout.TileColumns)) *
                      static_cast<std::size_t>(layout.SampleBytes));
}

void TTiffRowReader::UndoPredictor(unsigned char* row, std::uint32_t columns) {
  if (MbrBlnPredictor)
    TTiffFloatPredictor::Accumulate(row, columns, static_cast<std::size_t>(MbrLayout.SampleBytes),
                                    MbrScratch.data());
}

bool TTiffRowReader::ReadRow(double* values) {
  if (MbrNextRow >= MbrLayout.Rows)
    return false;
  ConvertRow(MbrLayout.Sample, DecodeRow(MbrNextRow), MbrLayout.Columns, values);
  ++MbrNextRow;
  return true;
}

const unsigned char* TTiffRowReader::DecodeRow(std::uint32_t row) {
  if (!MbrBlnWholeBlocks)
    return DecodeStripRow(row);
  const std::uint32_t firstRow = row - row % MbrLayout.RowsPerBlock;
  if (!MbrBuffered || firstRow != MbrFirstBufferedRow)
    DecodeBlock(firstRow);
  return MbrRows.data() + (row - firstRow) * MbrRowBytes;
}

void TTiffRowReader::DecodeBlock(std::uint32_t firstRow) {
  MbrBuffered = false;
  if (MbrLayout.Tiled)
    DecodeTileRow(firstRow);
  else
    DecodeStrip(firstRow);
  MbrFirstBufferedRow = firstRow;
  MbrBuffered = true;
}

// Decoded at once, in any order.
void TTiffRowReader::DecodeStrip(std::uint32_t firstRow) {
  const tstrip_t strip = TIFFComputeStrip(MbrTiff.Get(), firstRow, MbrLayout.Plane);
  if (TIFFReadEncodedStrip(MbrTiff.Get(), strip, MbrRows.data(),
                           static_cast<tmsize_t>(MbrRows.size())) < 0)
    throw kCorruptData;
  const std::uint32_t rows = std::min(MbrLayout.RowsPerBlock, MbrLayout.Rows - firstRow);
  for (std::uint32_t r = 0; r < rows; ++r)
    UndoPredictor(MbrRows.data() + r * MbrRowBytes, MbrLayout.Columns);
}

// libtiff's codecs decode a large strip's rows in order from its first: a
// row further on, or one before the last decoded, is reached by decoding
// from the last row, or from the strip's first, one row at a time.
const unsigned char* TTiffRowReader::DecodeStripRow(std::uint32_t row) {
  if (MbrBuffered && row == MbrFirstBufferedRow)
    return MbrRows.data();
  const std::uint32_t stripStart = row - row % MbrLayout.RowsPerBlock;
  const bool onward = MbrBuffered && row > MbrFirstBufferedRow && MbrFirstBufferedRow >= stripStart;
  MbrBuffered = false;
  for (std::uint32_t next = onward ? MbrFirstBufferedRow + 1 : stripStart; next <= row; ++next)
    if (TIFFReadScanline(MbrTiff.Get(), MbrRows.data(), next, MbrLayout.Plane) != 1)
      throw kCorruptData;
  UndoPredictor(MbrRows.data(), MbrLayout.Columns);
  MbrFirstBufferedRow = row;
  MbrBuffered = true;
  return MbrRows.data();
}

// Each tile of the row, its part inside the image copied into the rows.
void TTiffRowReader::DecodeTileRow(std::uint32_t firstRow) {
  const std::size_t sampleBytes = static_cast<std::size_t>(MbrLayout.SampleBytes);
  const std::size_t tileRowBytes = std::size_t(MbrLayout.TileColumns) * sampleBytes;
  const std::uint32_t rows = std::min(MbrLayout.RowsPerBlock, MbrLayout.Rows - firstRow);
  for (std::uint32_t column = 0; column < MbrLayout.Columns; column += MbrLayout.TileColumns) {
    const ttile_t tile = TIFFComputeTile(MbrTiff.Get(), column, firstRow, 0, MbrLayout.Plane);
    const tmsize_t size = static_cast<tmsize_t>(MbrTile.size());
    if (TIFFReadEncodedTile(MbrTiff.Get(), tile, MbrTile.data(), size) < 0)
      throw kCorruptData;
    const std::size_t width = std::min(MbrLayout.TileColumns, MbrLayout.Columns - column);
    for (std::uint32_t r = 0; r < rows; ++r) {
      UndoPredictor(MbrTile.data() + r * tileRowBytes, MbrLayout.TileColumns);
      std::memcpy(MbrRows.data() + r * MbrRowBytes + column * sampleBytes,
                  MbrTile.data() + r * tileRowBytes, width * sampleBytes);
    }
  }
}
