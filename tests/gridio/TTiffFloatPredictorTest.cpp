// The floating-point predictor applied outside libtiff against libtiff's
// own: a strip of samples differenced here and compressed without the
// predictor is stored as the bytes libtiff stores for the same samples with
// it, and the row reader, which undoes it itself, gives the samples libtiff
// stored, for both sample sizes, every codec, strips and tiles, widths of
// one column to many, one row and several, and values whose bytes vary in
// every plane (signed zeros, infinities, NaNs, subnormals).
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TTiffFloatPredictor.h"
#include "gridio/TTiffHandle.h"
#include "gridio/TTiffLayout.h"
#include "gridio/TTiffRowReader.h"
#include "gridio/TTiffStripWriter.h"
#include "support/TestMaps.h"
#include "support/TestTiffs.h"

namespace {
using TCompression = TTiffStripWriter::TCompression;
using TSample = TTiffStripWriter::TSample;

// The one strip libtiff stores for the samples, with its predictor on or
// (the samples already differenced) off.
std::string StoredStrip(const std::vector<unsigned char>& samples, std::uint32_t columns,
                        std::uint32_t rows, TSample sample, TCompression compression,
                        bool predictor) {
  std::stringbuf file(std::ios_base::in | std::ios_base::out | std::ios_base::binary);
  TTiffHandle tiff(&file, TTiffHandle::TMode::Write);
  TTiffStripWriter::SetImageTags(tiff, columns, rows, sample, compression, rows);
  if (!predictor)
    TIFFSetField(tiff.Get(), TIFFTAG_PREDICTOR, PREDICTOR_NONE);
  std::vector<unsigned char> copy = samples;
  EXPECT_GE(TIFFWriteEncodedStrip(tiff.Get(), 0, copy.data(), static_cast<tmsize_t>(copy.size())),
            0);
  const std::uint64_t offset = TIFFGetStrileOffset(tiff.Get(), 0);
  const std::uint64_t bytes = TIFFGetStrileByteCount(tiff.Get(), 0);
  return file.str().substr(offset, bytes);
}

std::vector<double> Values(std::size_t count, unsigned seed) {
  std::vector<double> values = ScatteredValues(static_cast<long>(count), seed, -9999.0);
  const double special[] = {0.0,
                            -0.0,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            std::nan(""),
                            std::numeric_limits<double>::denorm_min(),
                            1e-310,
                            std::numeric_limits<float>::denorm_min(),
                            -3.5e38,
                            1.0 / 3.0};
  for (std::size_t i = 0; i < count; i += 3)
    values[i] = special[(i / 3) % (sizeof special / sizeof special[0])];
  return values;
}

TEST(TTiffFloatPredictor, StoresTheBytesOfLibtiffsPredictor) {
  struct Shape {
    std::uint32_t Columns;
    std::uint32_t Rows;
  };
  const Shape shapes[] = {{1, 1}, {1, 9}, {2, 1}, {7, 5}, {333, 2}, {4000, 3}};
  unsigned seed = 1;
  for (const Shape& shape : shapes)
    for (TSample sample : {TSample::Float32, TSample::Float64})
      for (TCompression compression :
           {TCompression::Deflate, TCompression::Lzw, TCompression::Zstd}) {
        const std::size_t count = std::size_t(shape.Columns) * shape.Rows;
        const std::size_t bytes = count * TTiffStripWriter::SampleBytes(sample);
        std::vector<unsigned char> samples(bytes);
        TTiffStripWriter::ToSamples(sample, Values(count, seed++).data(),
                                    static_cast<std::uint32_t>(count), samples.data());
        std::vector<unsigned char> differences(bytes);
        TTiffFloatPredictor::Difference(samples.data(), shape.Columns, shape.Rows,
                                        TTiffStripWriter::SampleBytes(sample), differences.data());
        EXPECT_TRUE(StoredStrip(samples, shape.Columns, shape.Rows, sample, compression, true) ==
                    StoredStrip(differences, shape.Columns, shape.Rows, sample, compression, false))
            << shape.Columns << "x" << shape.Rows << " sample " << static_cast<int>(sample)
            << " compression " << static_cast<int>(compression);
      }
}

// The values a sample type holds of the doubles given, as doubles.
std::vector<double> AsStored(const std::vector<double>& values, std::uint16_t bits) {
  std::vector<double> stored(values);
  if (bits == 32)
    for (double& value : stored)
      value = static_cast<float>(value);
  return stored;
}

TEST(TTiffFloatPredictor, RowReaderUndoesItAsLibtiffDoes) {
  struct Case {
    std::uint32_t Columns;
    std::uint32_t Rows;
    std::uint32_t RowsPerStrip;
    std::uint32_t TileSize;
  };
  // Row strips, strips with a short last one, a strip too large to decode
  // whole (rows one at a time), tiles past the image's edges.
  const Case cases[] = {
      {9, 4, 1, 0}, {37, 21, 5, 0}, {1, 40, 7, 0}, {700, 400, 400, 0}, {37, 21, 0, 16}};
  unsigned seed = 40;
  for (const Case& shape : cases)
    for (std::uint16_t bits : {32, 64})
      for (std::uint16_t compression : {5, 8, 50000}) {
        TestTiff recipe;
        recipe.Columns = shape.Columns;
        recipe.Rows = shape.Rows;
        recipe.Bits = bits;
        recipe.RowsPerStrip = shape.RowsPerStrip;
        recipe.TileSize = shape.TileSize;
        recipe.Compression = compression;
        recipe.Predictor = 3;
        recipe.Values = Values(std::size_t(shape.Columns) * shape.Rows, seed++);
        std::stringbuf file(TestTiffBytes(recipe),
                            std::ios_base::in | std::ios_base::out | std::ios_base::binary);
        TTiffHandle tiff(&file, TTiffHandle::TMode::Read);
        ASSERT_NE(nullptr, tiff.Get());
        TTiffRowReader reader(tiff, TTiffLayout::Read(tiff, 1));
        std::vector<double> read(recipe.Values.size());
        for (std::uint32_t row = 0; row < shape.Rows; ++row)
          ASSERT_TRUE(reader.ReadRow(read.data() + std::size_t(row) * shape.Columns));
        const std::vector<double> expected = AsStored(recipe.Values, bits);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < read.size(); ++i)
          differing += !SameBits(expected[i], read[i]);
        EXPECT_EQ(0u, differing) << shape.Columns << "x" << shape.Rows << " strip "
                                 << shape.RowsPerStrip << " tile " << shape.TileSize << " bits "
                                 << bits << " compression " << compression;
      }
}
} // namespace
