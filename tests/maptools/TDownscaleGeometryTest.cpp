// TDownscaleGeometry against a model of its contract: the counts are
// S x count / R, product first, truncated toward zero; the centres are
// repeated additions from the first edge plus or minus R / 2; a count that
// does not fit a signed 32-bit value throws the message given, whatever
// the other count. Cell sizes off the binary grid (0.1, 0.3, 1/3) are where
// "S / R x count" or "first + k x step" would differ.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "maptools/TDownscaleGeometry.h"
#include "support/ExpectThrowMsg.h"

namespace {
const char* const kTooLarge = "too large";

struct Case {
  double CellSize;
  long Columns, Rows;
  double Resolution;
};

const std::vector<Case> kCases = {{1.0, 4, 4, 0.5},      {0.1, 30, 7, 0.3},     {0.3, 7, 30, 0.1},
                                  {30.0, 4000, 3, 15.0}, {1.0 / 3, 9, 11, 0.7}, {2.5, 1, 1, 2.5},
                                  {0.1, 3, 3, 0.2},      {1e-3, 12345, 5, 7e-4}};

std::vector<double> Terms(const TStepSequence& sequence) {
  std::vector<double> terms;
  sequence.ForEach([&](double term) { terms.push_back(term); });
  return terms;
}

std::vector<double> ModelCentres(double from, double step, long count) {
  std::vector<double> terms;
  for (double term = from; static_cast<long>(terms.size()) < count; term = term + step)
    terms.push_back(term);
  return terms;
}

TEST(TDownscaleGeometryTest, CountsAndCentresFollowTheRule) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.CellSize) + " x " + std::to_string(c.Columns) + " at " +
                 std::to_string(c.Resolution));
    const TDownscaleGeometry geometry(c.CellSize, c.Columns, c.Rows, c.Resolution, kTooLarge);
    const double columns = c.CellSize * c.Columns / c.Resolution;
    const double rows = c.CellSize * c.Rows / c.Resolution;
    EXPECT_EQ(geometry.ExactColumns(), columns);
    EXPECT_EQ(geometry.Columns(), static_cast<long>(std::trunc(columns)));
    EXPECT_EQ(geometry.Rows(), static_cast<long>(std::trunc(rows)));
    const double half = c.Resolution / 2;
    EXPECT_EQ(Terms(geometry.XCentres(100.1)),
              ModelCentres(100.1 + half, c.Resolution, geometry.Columns()));
    EXPECT_EQ(Terms(geometry.YCentres(50.3, 10.0)),
              ModelCentres(50.3 - half, -c.Resolution, geometry.Rows()));
    EXPECT_EQ(Terms(geometry.YCentres(10.0, 50.3)),
              ModelCentres(10.0 + half, c.Resolution, geometry.Rows()));
    // Kept terms change how a term is found, never its bits.
    EXPECT_EQ(Terms(geometry.XCentres(100.1, 3)), Terms(geometry.XCentres(100.1)));
  }
}

TEST(TDownscaleGeometryTest, CountsBeyondThirtyTwoBitsThrowTheGivenMessage) {
  const double limit = static_cast<double>(INT32_MAX);
  EXPECT_TRUE(TDownscaleGeometry::FitsCount(limit));
  EXPECT_TRUE(TDownscaleGeometry::FitsCount(limit + 0.5));
  EXPECT_FALSE(TDownscaleGeometry::FitsCount(limit + 1.0));
  EXPECT_FALSE(TDownscaleGeometry::FitsCount(std::nan("")));
  EXPECT_FALSE(TDownscaleGeometry::FitsCount(INFINITY));
  EXPECT_EQ(TDownscaleGeometry(1.0, INT32_MAX, 1, 1.0, kTooLarge).Columns(), INT32_MAX);
  EXPECT_THROW_MSG(TDownscaleGeometry(1.0, 4, 4, 1e-9, kTooLarge), kTooLarge);
  EXPECT_THROW_MSG(TDownscaleGeometry(1.0, 1L << 31, 1, 1.0, kTooLarge), kTooLarge);
  EXPECT_THROW_MSG(TDownscaleGeometry(1.0, 1, 1L << 31, 1.0, kTooLarge), kTooLarge);
}
} // namespace
