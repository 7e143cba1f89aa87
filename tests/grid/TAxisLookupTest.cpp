#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid/TAxisLookup.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
// The outcome of one lookup: the index, or what it threw.
std::string Outcome(const std::function<long()>& lookup) {
  long index = 0;
  const Thrown thrown = CaptureThrow([&] { index = lookup(); });
  return thrown.kind == Thrown::Nothing ? std::to_string(index) : thrown.Describe();
}

// Ordinates worth asking about: every point, its neighbours in the last bit,
// the midpoints, values outside, and not-a-number.
std::vector<double> Probes(const std::vector<double>& ordinates, std::mt19937_64& random) {
  std::vector<double> probes = {std::nan(""), -1e300, 1e300};
  const double inf = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < ordinates.size(); ++i) {
    const double o = ordinates[i];
    probes.insert(probes.end(), {o, std::nextafter(o, inf), std::nextafter(o, -inf)});
    if (i + 1 < ordinates.size())
      probes.push_back((o + ordinates[i + 1]) / 2);
  }
  std::uniform_int_distribution<std::size_t> pick(0, probes.size() - 1);
  for (int i = 0; i < 20; ++i)
    probes.push_back(probes[pick(random)]);
  return probes;
}

std::vector<double> RandomAxis(std::mt19937_64& random, int kind) {
  std::uniform_int_distribution<int> count(0, 12);
  std::uniform_real_distribution<double> step(0.001, 100.0);
  std::uniform_real_distribution<double> start(-1e7, 1e7);
  const int n = count(random);
  std::vector<double> ordinates;
  double o = start(random);
  for (int i = 0; i < n; ++i) {
    ordinates.push_back(o);
    switch (kind) {
    case 0:
      o += step(random);
      break; // ascending
    case 1:
      o -= step(random);
      break; // descending
    case 2:
      o += (random() % 3 == 0 ? 0.0 : step(random));
      break; // with repeats
    default:
      o += (random() % 2 ? 1 : -1) * step(random);
      break; // zigzag
    }
  }
  return ordinates;
}

TEST(TAxisLookup, AgreesWithTheLinearScanEverywhere) {
  std::mt19937_64 random(20261208);
  for (int round = 0; round < 4000; ++round) {
    const char selector = round % 2 ? 'X' : 'Y';
    const std::vector<double> ordinates = RandomAxis(random, round % 4);
    auto axis = MakeAxis(ordinates, selector, 1.0, -1.0);
    const TAxisLookup lookup(axis.get(), selector);
    long hint = 0;
    for (double probe : Probes(ordinates, random)) {
      const std::string expected = Outcome([&] { return axis->GetIndex(probe, selector); });
      ASSERT_EQ(Outcome([&] { return lookup.GetIndex(probe); }), expected) << probe;
      ASSERT_EQ(Outcome([&] { return lookup.GetIndex(probe, hint); }), expected) << probe;
      hint = static_cast<long>(random() % 16) - 2;
    }
  }
}

TEST(TAxisLookup, RecognisesTheDirection) {
  auto up = MakeAxis({0, 1, 2}, 'X', 1.0, -1.0);
  auto down = MakeAxis({2, 1, 0}, 'Y', 1.0, -1.0);
  auto flat = MakeAxis({0, 1, 1}, 'X', 1.0, -1.0);
  auto single = MakeAxis({0}, 'X', 1.0, -1.0);
  EXPECT_TRUE(TAxisLookup(up.get(), 'X').IsAscending());
  EXPECT_TRUE(TAxisLookup(down.get(), 'Y').IsMonotonic());
  EXPECT_FALSE(TAxisLookup(down.get(), 'Y').IsAscending());
  EXPECT_FALSE(TAxisLookup(flat.get(), 'X').IsMonotonic());
  EXPECT_FALSE(TAxisLookup(single.get(), 'X').IsMonotonic());
  // The selector chooses the ordinate: the x of this Y axis is constant.
  EXPECT_FALSE(TAxisLookup(down.get(), 'X').IsMonotonic());
}
} // namespace
