#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "numeric/TPointTools.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Owns a list of points for the duration of a test.
class PointList {
public:
  PointList(std::initializer_list<std::pair<double, double>> coordinates) {
    for (const auto& c : coordinates)
      Add(c.first, c.second);
  }
  void Add(double x, double y) {
    owned.emplace_back(new TPoint(x, y));
    raw.push_back(owned.back().get());
  }
  std::vector<TPoint*> raw;

private:
  std::vector<std::unique_ptr<TPoint>> owned;
};

struct Hull {
  explicit Hull(std::vector<TPoint*> corners) {
    for (TPoint* c : corners)
      owned.emplace_back(c);
  }
  std::vector<std::pair<double, double>> Coordinates() const {
    std::vector<std::pair<double, double>> result;
    for (const auto& c : owned)
      result.emplace_back(c->x, c->y);
    return result;
  }
  std::vector<std::unique_ptr<TPoint>> owned;
};

using Coordinates = std::vector<std::pair<double, double>>;

// The plain package-wrapping walk over pseudo-angles, valid for points in
// general position; the hull must agree with it there.
Coordinates WrapByAngles(const std::vector<TPoint*>& points) {
  std::vector<TPoint*> w(points);
  std::size_t m = 0;
  for (std::size_t i = 1; i < w.size(); ++i)
    if (w[i]->y < w[m]->y)
      m = i;
  w.push_back(w[m]);
  const std::size_t n = points.size();
  double previous = 0.0;
  std::size_t k = 0;
  for (;;) {
    std::swap(w[k], w[m]);
    double best = 360.0;
    std::size_t winner = n + 1;
    for (std::size_t j = k + 1; j <= n; ++j) {
      const double a = TPointTools::Theta(w[j], w[k]);
      if (a > previous && a < best) {
        best = a;
        winner = j;
      }
    }
    if (winner > n || winner == n)
      break;
    previous = best;
    m = winner;
    ++k;
  }
  Coordinates result;
  for (std::size_t i = 0; i <= k; ++i)
    result.emplace_back(w[i]->x, w[i]->y);
  return result;
}
} // namespace

TEST(TPointToolsMaxMin, TakeTheSecondOrdinateOnlyWhenStrictlyBeyond) {
  struct Case {
    TPoint a, b;
    double maxX, maxY, minX, minY;
  } cases[] = {
      {{1, 5}, {3, 2}, 3, 5, 1, 2},
      {{3, 2}, {1, 5}, 3, 5, 1, 2},
      {{1, 5}, {kNaN, kNaN}, 1, 5, 1, 5},
  };
  for (Case& c : cases) {
    std::unique_ptr<TPoint> max(TPointTools::Max(&c.a, &c.b));
    std::unique_ptr<TPoint> min(TPointTools::Min(&c.a, &c.b));
    EXPECT_EQ(max->x, c.maxX);
    EXPECT_EQ(max->y, c.maxY);
    EXPECT_EQ(min->x, c.minX);
    EXPECT_EQ(min->y, c.minY);
  }
  TPoint nanFirst(kNaN, kNaN), other(1, 1);
  std::unique_ptr<TPoint> max(TPointTools::Max(&nanFirst, &other));
  EXPECT_TRUE(std::isnan(max->x));
  EXPECT_TRUE(std::isnan(max->y));
}

TEST(TPointToolsFindCentroid, MeanOfTheOrdinates) {
  PointList square{{0, 0}, {2, 0}, {2, 2}, {0, 2}};
  std::unique_ptr<TPoint> c(TPointTools::FindCentroid(square.raw));
  EXPECT_EQ(c->x, 1.0);
  EXPECT_EQ(c->y, 1.0);

  std::unique_ptr<TPoint> none(TPointTools::FindCentroid({}));
  EXPECT_TRUE(std::isnan(none->x));
  EXPECT_TRUE(std::isnan(none->y));
}

TEST(TPointToolsTheta, PseudoAngleOfTheDirectionFromSecondToFirst) {
  struct Case {
    double dx, dy, expected;
  } cases[] = {
      {1, 0, 0},     {1, 1, 45},   {0, 1, 90},   {-1, 1, 135}, {-1, 0, 180},
      {-1, -1, 225}, {0, -1, 270}, {1, -1, 315}, {0, 0, 0},
  };
  for (const Case& c : cases) {
    TPoint from(10, 20), to(10 + c.dx, 20 + c.dy);
    EXPECT_EQ(TPointTools::Theta(&to, &from), c.expected) << c.dx << ", " << c.dy;
  }
  TPoint origin(0, 0), east(1, 0);
  EXPECT_EQ(TPointTools::Theta(&origin, &east), 180.0);
  TPoint a(3, 1), b(1, 3);
  EXPECT_LT(TPointTools::Theta(&a, &origin), 45.0);
  EXPECT_GT(TPointTools::Theta(&b, &origin), 45.0);
  EXPECT_LT(TPointTools::Theta(&b, &origin), 90.0);
}

TEST(TPointToolsHeron, AreaFromSideLengths) {
  TPoint a(0, 0), b(4, 0), c(0, 3);
  EXPECT_EQ(TPointTools::Heron(&a, &b, &c), 6.0);
}

TEST(TPointToolsHeron, PointsOnOneLineGiveZeroNeverNaN) {
  // The first line rounds its distances so that the product turns negative.
  const double lines[][6] = {
      {0, 0, 0.5, 1.5, 4, 12},
      {0, 0, 0.1, 0.1, 0.3, 0.3},
      {0.7, 0.7, 0.7, 0.7, 0.7, 0.7},
  };
  bool sawNegativeProduct = false;
  for (const auto& l : lines) {
    TPoint a(l[0], l[1]), b(l[2], l[3]), c(l[4], l[5]);
    const double d1 = a.Distance(&b), d2 = a.Distance(&c), d3 = b.Distance(&c);
    const double s = (d1 + d2 + d3) * 0.5;
    sawNegativeProduct = sawNegativeProduct || s * (s - d1) * (s - d2) * (s - d3) < 0;
    const double area = TPointTools::Heron(&a, &b, &c);
    EXPECT_FALSE(std::isnan(area));
    EXPECT_GE(area, 0.0);
    EXPECT_LT(area, 1e-6);
  }
  EXPECT_TRUE(sawNegativeProduct) << "no case exercises the negative product";
}

TEST(TPointToolsFindConvexPolygonArea, FanAroundTheCentroid) {
  PointList closed{{0, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}};
  EXPECT_DOUBLE_EQ(TPointTools::FindConvexPolygonArea(closed.raw), 4.0);
  PointList open{{0, 0}, {2, 0}, {2, 2}, {0, 2}};
  EXPECT_NEAR(TPointTools::FindConvexPolygonArea(open.raw), 3.0, 1e-12);
  PointList single{{5, 5}};
  EXPECT_EQ(TPointTools::FindConvexPolygonArea(single.raw), 0.0);
  EXPECT_EQ(TPointTools::FindConvexPolygonArea({}), 0.0);
}

TEST(TPointToolsFindConvexHull, CornersCounterClockwiseFromTheLowestPoint) {
  struct Case {
    const char* name;
    Coordinates input;
    Coordinates hull;
  } cases[] = {
      {"example",
       {{3, 1}, {0, 0}, {4, 4}, {1, 3}, {2, 2}, {5, 0.5}},
       {{0, 0}, {5, 0.5}, {4, 4}, {1, 3}}},
      {"one point", {{2, 7}}, {{2, 7}}},
      {"two points", {{1, 1}, {0, 0}}, {{0, 0}, {1, 1}}},
      {"empty", {}, {}},
      {"several lowest points",
       {{2, 0}, {0, 2}, {1, 0}, {0, 0}, {2, 2}},
       {{0, 0}, {2, 0}, {2, 2}, {0, 2}}},
      {"collinear on every edge",
       {{1, 0}, {0, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}, {1, 1}},
       {{0, 0}, {2, 0}, {2, 2}, {0, 2}}},
      {"nearer collinear candidate listed first",
       {{0, 0}, {1, 1}, {2, 2}, {3, 0}},
       {{0, 0}, {3, 0}, {2, 2}}},
      {"all on one line", {{2, 2}, {0, 0}, {1, 1}, {3, 3}}, {{0, 0}, {3, 3}}},
      {"duplicates", {{0, 0}, {1, 0}, {0, 0}, {0, 1}, {1, 0}, {0, 1}}, {{0, 0}, {1, 0}, {0, 1}}},
      {"all the same point", {{4, 4}, {4, 4}, {4, 4}}, {{4, 4}}},
      {"not-a-number ignored",
       {{0, 0}, {kNaN, 5}, {1, 0}, {0, 1}, {5, kNaN}},
       {{0, 0}, {1, 0}, {0, 1}}},
  };
  for (const Case& c : cases) {
    PointList input{};
    for (const auto& p : c.input)
      input.Add(p.first, p.second);
    Hull hull(TPointTools::FindConvexHull(input.raw));
    EXPECT_EQ(hull.Coordinates(), c.hull) << c.name;
  }
}

TEST(TPointToolsFindConvexHull, CopiesKeepTheirTypeAndTheFirstOfCoincidentPoints) {
  TMapPoint a(0, 0, 1), b(1, 0, 2), duplicate(1, 0, 3), c(0, 1, 4);
  Hull hull(TPointTools::FindConvexHull({&a, &b, &duplicate, &c}));
  ASSERT_EQ(hull.owned.size(), 3u);
  const double expectedValues[] = {1, 2, 4};
  for (std::size_t i = 0; i < 3; ++i) {
    auto* corner = dynamic_cast<TMapPoint*>(hull.owned[i].get());
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->value, expectedValues[i]);
  }
  EXPECT_NE(hull.owned[0].get(), &a);
}

TEST(TPointToolsFindConvexHull, AgreesWithAngleWrappingInGeneralPosition) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> ordinate(-100.0, 100.0);
  for (int trial = 0; trial < 200; ++trial) {
    PointList input{};
    const int count = 3 + trial % 40;
    for (int i = 0; i < count; ++i)
      input.Add(ordinate(random), ordinate(random));
    Hull hull(TPointTools::FindConvexHull(input.raw));
    EXPECT_EQ(hull.Coordinates(), WrapByAngles(input.raw)) << "trial " << trial;
  }
}
