// The strip writer and the row reader on their own, through a string
// buffer: strips of about kStripBytes whatever the width, each written as
// its last row arrives, the image tags the writer sets, the rows read back
// one at a time and the end of the rows, and ToFloat's rounding.
#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "gridio/TTiffHandle.h"
#include "gridio/TTiffLayout.h"
#include "gridio/TTiffRowReader.h"
#include "gridio/TTiffStripWriter.h"
#include "support/TestMaps.h"

namespace {
using TCompression = TTiffStripWriter::TCompression;
using TSample = TTiffStripWriter::TSample;

struct Shape {
  std::uint32_t Columns;
  std::uint32_t Rows;
  TSample Sample;
  TCompression Compression;
};

const Shape kShapes[] = {
    {1, 1, TSample::Float64, TCompression::None},
    {5, 300000, TSample::Float32, TCompression::Deflate},
    {32768, 3, TSample::Float64, TCompression::Zstd}, // exactly one row per strip
    {40000, 2, TSample::Float64, TCompression::Lzw},  // a row larger than a strip
    {1000, 77, TSample::Float32, TCompression::None},
};

std::vector<double> Row(std::uint32_t columns, std::uint32_t row) {
  std::vector<double> values(columns);
  for (std::uint32_t c = 0; c < columns; ++c)
    values[c] = row * 1000.0 + c + 0.125;
  return values;
}

TEST(TTiffStripsTest, StripsHoldAboutAFixedNumberOfBytesAndReadBackRowByRow) {
  for (const Shape& shape : kShapes) {
    SCOPED_TRACE(testing::Message() << shape.Columns << "x" << shape.Rows);
    std::stringbuf file(std::ios_base::in | std::ios_base::out | std::ios_base::binary);
    std::uint32_t rowsPerStrip = 0;
    {
      TTiffHandle out(&file, TTiffHandle::TMode::Write);
      ASSERT_NE(nullptr, out.Get());
      TTiffStripWriter writer(out, shape.Columns, shape.Rows, shape.Sample, shape.Compression);
      rowsPerStrip = writer.RowsPerStrip();
      const std::size_t rowBytes = shape.Columns * (shape.Sample == TSample::Float64 ? 8u : 4u);
      EXPECT_EQ(std::min<std::size_t>(
                    shape.Rows, std::max<std::size_t>(1, TTiffStripWriter::kStripBytes / rowBytes)),
                rowsPerStrip);
      for (std::uint32_t r = 0; r < shape.Rows; ++r) {
        EXPECT_EQ(r, writer.NextRow());
        writer.WriteRow(Row(shape.Columns, r).data());
        // A strip is out as soon as its last row is in, and not before.
        const bool last = (r + 1) % rowsPerStrip == 0 || r + 1 == shape.Rows;
        ASSERT_EQ(last, TIFFGetStrileByteCount(out.Get(), r / rowsPerStrip) > 0) << "row " << r;
      }
      EXPECT_TRUE(out.Flush());
    }
    std::istringstream in(file.str());
    TTiffHandle tiff(in.rdbuf(), TTiffHandle::TMode::Read);
    ASSERT_NE(nullptr, tiff.Get());
    EXPECT_EQ((shape.Rows + rowsPerStrip - 1) / rowsPerStrip, TIFFNumberOfStrips(tiff.Get()));
    std::uint16_t predictor = 0;
    TIFFGetField(tiff.Get(), TIFFTAG_PREDICTOR, &predictor);
    if (shape.Compression != TCompression::None) {
      EXPECT_EQ(PREDICTOR_FLOATINGPOINT, predictor);
    }
    const TTiffLayout layout = TTiffLayout::Read(tiff, 1);
    EXPECT_EQ(shape.Sample == TSample::Float64 ? TTiffLayout::TSample::Float64
                                               : TTiffLayout::TSample::Float32,
              layout.Sample);
    TTiffRowReader reader(tiff, layout);
    std::vector<double> row(shape.Columns);
    for (std::uint32_t r = 0; r < shape.Rows; ++r) {
      ASSERT_TRUE(reader.ReadRow(row.data()));
      std::vector<double> expected = Row(shape.Columns, r);
      if (shape.Sample == TSample::Float32)
        for (double& v : expected)
          v = static_cast<float>(v);
      ASSERT_EQ(expected, row) << "row " << r;
    }
    EXPECT_FALSE(reader.ReadRow(row.data()));
    EXPECT_EQ(shape.Rows, reader.NextRow());
  }
}

TEST(TTiffStripsTest, ToFloatRoundsToNearestAndOverflowsToInfinity) {
  const double largest = std::numeric_limits<float>::max();
  const double halfway = largest + std::ldexp(1.0, 103);
  const struct {
    double Value;
    float Expected;
  } cases[] = {
      {0.1, 0.1f},
      {-0.0, -0.0f},
      {largest, std::numeric_limits<float>::max()},
      {std::nextafter(halfway, 0.0), std::numeric_limits<float>::max()},
      {halfway, std::numeric_limits<float>::infinity()},
      {-halfway, -std::numeric_limits<float>::infinity()},
      {-std::nextafter(halfway, 0.0), -std::numeric_limits<float>::max()},
      {1e300, std::numeric_limits<float>::infinity()},
      {HUGE_VAL, std::numeric_limits<float>::infinity()},
      {1e-50, 0.0f},
      {-1e-50, -0.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Value);
    EXPECT_TRUE(SameBits(c.Expected, TTiffStripWriter::ToFloat(c.Value)));
  }
  EXPECT_TRUE(std::isnan(TTiffStripWriter::ToFloat(std::nan(""))));
}
} // namespace
