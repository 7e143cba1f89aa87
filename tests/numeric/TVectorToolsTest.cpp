#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "numeric/TVectorTools.h"
#include "support/ExpectThrowMsg.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TEST(TVectorTools, SumsAndMeans) {
  EXPECT_EQ(TVectorTools::SumVector({}), 0.0);
  EXPECT_EQ(TVectorTools::SumVector({1.5, 2.5, -1.0}), 3.0);
  // Index order: (1e16 + 1) + 1 loses both ones.
  EXPECT_EQ(TVectorTools::SumVector({1e16, 1.0, 1.0}), 1e16);
  EXPECT_TRUE(std::isnan(TVectorTools::VectorMean({})));
  EXPECT_EQ(TVectorTools::VectorMean({1.0, 2.0, 6.0}), 3.0);
}

TEST(TVectorTools, WeightedMeanDividesByTheCountNotByTheWeights) {
  EXPECT_EQ(TVectorTools::VectorWeightedMean({1, 2, 3}, {1, 1, 1}), 2.0);
  EXPECT_EQ(TVectorTools::VectorWeightedMean({1, 2}, {3, 1}), 2.5);
  EXPECT_TRUE(std::isnan(TVectorTools::VectorWeightedMean({}, {})));
  EXPECT_THROW_MSG(TVectorTools::VectorWeightedMean({1, 2, 3}, {1, 1}),
                   "Length of value and weight vectors do not match in TVectorTools::WeightedMean");
}

TEST(TVectorTools, ProductIsElementWise) {
  EXPECT_EQ(TVectorTools::VectorProduct({1, 2, 3}, {4, 5, -6}), (std::vector<double>{4, 10, -18}));
  EXPECT_TRUE(TVectorTools::VectorProduct({}, {}).empty());
  EXPECT_THROW_MSG(TVectorTools::VectorProduct({1}, {}),
                   "Length of vectors does not match in TVectorTools::VectorProduct");
}

TEST(TVectorTools, HasValueComparesExactly) {
  const std::vector<double> values{1, 2, 3};
  EXPECT_TRUE(TVectorTools::HasValue(values, 2.0));
  EXPECT_FALSE(TVectorTools::HasValue(values, 2.5));
  EXPECT_FALSE(TVectorTools::HasValue(values, kNaN));
  EXPECT_FALSE(TVectorTools::HasValue({kNaN}, kNaN));
  EXPECT_TRUE(TVectorTools::HasValue({0.0}, -0.0));
  EXPECT_FALSE(TVectorTools::HasValue(std::vector<double>{}, 0.0));
  EXPECT_TRUE(TVectorTools::HasValue(std::vector<int>{4, -2}, -2));
  EXPECT_FALSE(TVectorTools::HasValue(std::vector<int>{4, -2}, 2));
  EXPECT_FALSE(TVectorTools::HasValue(std::vector<int>{}, 0));
}

TEST(TVectorTools, StringToIntReadsTheDecimalPrefixAndSaturates) {
  const std::vector<std::string> texts{"12",
                                       "abc",
                                       "7x",
                                       "  -42",
                                       "+5",
                                       "+-5",
                                       "",
                                       "3.9",
                                       "0x1F",
                                       "2147483647",
                                       "2147483648",
                                       "-2147483648",
                                       "-2147483649",
                                       "99999999999999999999999",
                                       "\t\n8"};
  const std::vector<int> expected{12, 0,       7,       -42,     5,       0,       0, 3,
                                  0,  INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, 8};
  EXPECT_EQ(TVectorTools::StringToInt(texts), expected);
}

TEST(TVectorTools, StringToDoubleReadsPlainDecimalOnly) {
  const std::vector<double> got =
      TVectorTools::StringToDouble({"2.5", "-1e3", "x", " .5kg", "inf", "nan", "0x10", "1e400"});
  EXPECT_EQ(got, (std::vector<double>{2.5, -1000.0, 0.0, 0.5, 0.0, 0.0, 0.0, kInf}));
}

TEST(TVectorTools, IntToDoubleIsExact) {
  EXPECT_EQ(TVectorTools::IntToDouble({INT_MIN, -1, 0, INT_MAX}),
            (std::vector<double>{-2147483648.0, -1.0, 0.0, 2147483647.0}));
}

TEST(TVectorTools, SeriesAccumulatesTheStep) {
  EXPECT_EQ(TVectorTools::VectorSeries(0, 1, 0.25), (std::vector<double>{0, 0.25, 0.5, 0.75, 1}));
  EXPECT_EQ(TVectorTools::VectorSeries(1, 1, 5), (std::vector<double>{1}));
  EXPECT_TRUE(TVectorTools::VectorSeries(2, 1, 1).empty());
  // 0.1 added ten times falls short of 1 and so ends at the ninth sum;
  // computing start + k * step would have reached 1 exactly.
  const std::vector<double> tenths = TVectorTools::VectorSeries(0, 1, 0.1);
  ASSERT_EQ(tenths.size(), 11u);
  double term = 0.0;
  for (double got : tenths) {
    EXPECT_EQ(got, term);
    term += 0.1;
  }
  EXPECT_NE(tenths.back(), 1.0);
}

TEST(TVectorTools, SeriesRefusesStepsThatCannotReachTheEnd) {
  struct Case {
    double start, end, step;
    const char* message;
  };
  const char* notPositive = "Step must be greater than 0.0 in TVectorTools::VectorSeries";
  const char* tooSmall = "Step is too small to advance the series in TVectorTools::VectorSeries";
  const Case cases[] = {
      {0, 1, 0, notPositive},    {0, 1, -1, notPositive},      {1, 1, -0.0, notPositive},
      {0, 1, kNaN, notPositive}, {1e20, 1e20, 1, tooSmall},    {0, kInf, 1, tooSmall},
      {-kInf, 0, 1, tooSmall},   {0, 1e300, 1e-300, tooSmall}, {1, 1, 1e-20, tooSmall}};
  for (const Case& c : cases)
    EXPECT_THROW_MSG(TVectorTools::VectorSeries(c.start, c.end, c.step), c.message)
        << c.start << " " << c.end << " " << c.step;
  // Nothing to produce: no step is examined.
  EXPECT_TRUE(TVectorTools::VectorSeries(2, 1, 0).empty());
  EXPECT_TRUE(TVectorTools::VectorSeries(2, 1, -1).empty());
  EXPECT_TRUE(TVectorTools::VectorSeries(kNaN, 1, 0).empty());
  EXPECT_TRUE(TVectorTools::VectorSeries(0, kNaN, 1).empty());
}

TEST(TVectorTools, GradientIsTheLeastSquaresSlope) {
  EXPECT_EQ(TVectorTools::Gradient({1, 2, 3}, {2, 4, 6}), 2.0);
  EXPECT_EQ(TVectorTools::Gradient({1, 2, 3}, {5, 5, 5}), 0.0);
  EXPECT_EQ(TVectorTools::Gradient({0, 2}, {5, 7}), 1.0);
  EXPECT_TRUE(std::isnan(TVectorTools::Gradient({2, 2, 2}, {1, 2, 3})));
  EXPECT_TRUE(std::isnan(TVectorTools::Gradient({4}, {1})));
  EXPECT_TRUE(std::isnan(TVectorTools::Gradient({}, {})));
  EXPECT_THROW_MSG(TVectorTools::Gradient({1, 2, 3}, {1, 2}),
                   "Length of vectors does not match in TVectorTools::VectorProduct");
}

} // namespace
