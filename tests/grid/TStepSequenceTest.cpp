// Repeated-addition sequences: every way of reaching a term (ForEach, Term,
// a cursor forward or backward from any index, with any spacing of kept
// terms) gives the bits of the plain loop that adds the step once per term;
// and the order of the terms is told right, stalls and not-a-number
// included.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "grid/TStepSequence.h"
#include "support/TestMaps.h"

namespace {
struct Rule {
  double First;
  double Step;
  long Count;
};

const Rule kRules[] = {{0.0, 0.1, 37},        {350000.0, 30.0, 12}, {-3.3, 1.0 / 3.0, 50},
                       {1e7 + 0.3, -0.7, 41}, {4.18e6, 1e-3, 25},   {512000.5, 2.5, 1},
                       {1.0, -1.0 / 7.0, 19}, {-1e-300, 1e-301, 9}};

std::vector<double> PlainTerms(const Rule& rule) {
  std::vector<double> terms;
  double term = rule.First;
  for (long k = 0; k < rule.Count; ++k) {
    terms.push_back(term);
    term += rule.Step;
  }
  return terms;
}

TEST(TStepSequence, EveryWayGivesThePlainLoopsBits) {
  for (const Rule& rule : kRules) {
    const std::vector<double> expected = PlainTerms(rule);
    for (long spacing : {0L, 1L, 2L, 3L, 7L, 1000L}) {
      SCOPED_TRACE(testing::Message() << rule.First << " + " << rule.Step << " x " << rule.Count
                                      << ", spacing " << spacing);
      const TStepSequence sequence(rule.First, rule.Step, rule.Count, spacing);
      std::vector<double> visited;
      sequence.ForEach([&](double term) { visited.push_back(term); });
      ASSERT_EQ(visited.size(), expected.size());
      for (long k = 0; k < rule.Count; ++k) {
        ASSERT_TRUE(SameBits(visited[k], expected[k])) << k;
        ASSERT_TRUE(SameBits(sequence.Term(k), expected[k])) << k;
        for (TStepSequence::TCursor forward(sequence, k, 1); forward.Index() < rule.Count;
             forward.Advance())
          ASSERT_TRUE(SameBits(forward.Value(), expected[forward.Index()])) << k;
        if (spacing == 0)
          continue;
        TStepSequence::TCursor backward(sequence, k, -1);
        for (; backward.Index() >= 0; backward.Advance())
          ASSERT_TRUE(SameBits(backward.Value(), expected[backward.Index()])) << k;
        EXPECT_EQ(backward.Index(), -1);
      }
    }
  }
}

TEST(TStepSequence, TheOrderOfTheTerms) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    Rule Terms;
    bool Ascends;
    bool Descends;
  };
  const Case cases[] = {
      {{0.0, 0.1, 10}, true, false},
      {{10.0, -0.1, 10}, false, true},
      // Adding 1 to 1e17 leaves it unchanged: the terms stall.
      {{1e17, 1.0, 3}, false, false},
      {{1e17, 4.0, 3}, false, false},
      {{1e17, 32.0, 3}, true, false},
      {{0.0, nan, 3}, false, false},
      {{nan, 1.0, 2}, false, false},
      {{5.0, 1.0, 1}, true, true},
      {{std::numeric_limits<double>::max(), 1e300, 3}, false, false},
  };
  for (const Case& test : cases) {
    const TStepSequence sequence(test.Terms.First, test.Terms.Step, test.Terms.Count, 2);
    EXPECT_EQ(sequence.Ascends(), test.Ascends) << test.Terms.First << " + " << test.Terms.Step;
    EXPECT_EQ(sequence.Descends(), test.Descends) << test.Terms.First << " + " << test.Terms.Step;
  }
}
} // namespace
