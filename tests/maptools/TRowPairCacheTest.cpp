// The two-row cache of the walks: a row held is not filled again, the row
// to keep stays held, the quotients are the values divided by the area to
// the bit, and a walk that moves through the rows in order fills each row
// once.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "maptools/TRowPairCache.h"

namespace {
class Rows {
public:
  explicit Rows(long width) : MbrLngWidth(width) {}
  // Row r holds r + x / 7 in column x.
  const double* Fill(long row, double* buffer) {
    ++MbrLngFills;
    for (long x = 0; x < MbrLngWidth; ++x)
      buffer[x] = static_cast<double>(row) + static_cast<double>(x) / 7.0;
    return buffer;
  }
  long Fills() const { return MbrLngFills; }

private:
  long MbrLngWidth;
  long MbrLngFills = 0;
};

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(TRowPairCache, HeldRowsAreNotFilledAgain) {
  const long width = 9;
  Rows rows(width);
  TRowPairCache cache(width, true, true, 0.3);
  const auto fill = [&rows](long row, double* buffer) { return rows.Fill(row, buffer); };
  // (row, keep, fills so far afterwards)
  const long steps[][3] = {{4, 5, 1}, {5, 4, 2}, {4, 5, 2}, {5, 6, 2}, {6, 5, 3},
                           {5, 6, 3}, {8, 5, 4}, {5, 8, 4}, {9, 8, 5}, {8, 9, 5}};
  for (const auto& step : steps) {
    const TRowPairCache::TRow row = cache.Get(step[0], step[1], fill);
    EXPECT_EQ(rows.Fills(), step[2]) << step[0];
    for (long x = 0; x < width; ++x) {
      ASSERT_EQ(row.Values[x], static_cast<double>(step[0]) + static_cast<double>(x) / 7.0);
      ASSERT_TRUE(SameBits(row.Quotients[x], row.Values[x] / 0.3));
    }
  }
  cache.Clear();
  cache.Get(9, 8, fill);
  EXPECT_EQ(rows.Fills(), 6);
}

TEST(TRowPairCache, ValuesHeldElsewhereAndNoQuotients) {
  const std::vector<std::vector<double>> map = {{1, 2}, {3, 4}, {5, 6}};
  long fills = 0;
  TRowPairCache cache(2, false, false, 0.0);
  const auto fill = [&](long row, double* buffer) {
    EXPECT_EQ(buffer, nullptr);
    ++fills;
    return map[row].data();
  };
  for (long row = 0; row + 1 < 3; ++row) {
    EXPECT_EQ(cache.Get(row, row + 1, fill).Values, map[row].data());
    const TRowPairCache::TRow next = cache.Get(row + 1, row, fill);
    EXPECT_EQ(next.Values, map[row + 1].data());
    EXPECT_EQ(next.Quotients, nullptr);
  }
  EXPECT_EQ(fills, 3);
}
} // namespace
