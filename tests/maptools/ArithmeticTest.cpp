#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "maptools/TMapTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const char* const kOutOfRange = "Ordinate is out of range in TAxis::GetIndex";

using TwoMapOperation = std::function<TMap*(TMap*, TMap*)>;

// The cells to the bit; where `anyNaN`, any not-a-number matches another.
void ExpectValues(TMap* map, const std::vector<double>& expected, bool anyNaN = true) {
  const std::vector<double> actual = MapValues(map);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < actual.size(); ++k)
    EXPECT_TRUE(SameBits(actual[k], expected[k]) ||
                (anyNaN && std::isnan(actual[k]) && std::isnan(expected[k])))
        << "cell " << k << ": " << actual[k] << " instead of " << expected[k];
}

void ExpectSameOrdinates(TAxis* a, TAxis* b, char selector) {
  ASSERT_EQ(a->GetSize(), b->GetSize());
  for (long i = 0; i < a->GetSize(); ++i)
    EXPECT_TRUE(SameBits(TAxis::Ordinate(a->GetPoint(i), selector),
                         TAxis::Ordinate(b->GetPoint(i), selector)));
}

// Same cell size, counts, no-data value, axes and values, to the bit.
void ExpectSameMap(TMap* a, TMap* b) {
  EXPECT_TRUE(SameBits(a->MbrDblResolution, b->MbrDblResolution));
  ASSERT_EQ(a->MbrLngXDim, b->MbrLngXDim);
  ASSERT_EQ(a->MbrLngYDim, b->MbrLngYDim);
  EXPECT_TRUE(SameBits(a->MbrDblNoDataValue, b->MbrDblNoDataValue));
  ExpectSameOrdinates(a->MbrPtrXAxis, b->MbrPtrXAxis, 'X');
  ExpectSameOrdinates(a->MbrPtrYAxis, b->MbrPtrYAxis, 'Y');
  ExpectSameOrdinates(a->MbrPtrXAxisInterval, b->MbrPtrXAxisInterval, 'X');
  ExpectSameOrdinates(a->MbrPtrYAxisInterval, b->MbrPtrYAxisInterval, 'Y');
  ExpectValues(a, MapValues(b), false);
}

// The two-map combination done literally: a result on the base's grid filled
// with its no-data value, then one TMap::GetPointVal(TPoint*) (a linear scan
// of both edge axes) per cell at the base cell's centre.
template <typename Operation> TMap* LiteralCombine(TMap* base, TMap* other, Operation operation) {
  auto result = std::make_unique<TMap>(base->MbrDblResolution, base->MbrLngXDim, base->MbrLngYDim);
  result->MbrDblNoDataValue = base->MbrDblNoDataValue;
  result->InitValues(base->MbrDblNoDataValue);
  result->SetXAxis(base->MbrPtrXAxis);
  result->SetYAxis(base->MbrPtrYAxis);
  for (long i = 0; i < base->MbrLngYDim; ++i)
    for (long j = 0; j < base->MbrLngXDim; ++j) {
      const double b = base->GetPointVal(j, i);
      std::unique_ptr<TPoint> centre(
          new TPoint(base->MbrPtrXAxis->GetPoint(j)->x, base->MbrPtrYAxis->GetPoint(i)->y));
      const double o = other->GetPointVal(centre.get());
      const bool data = b != base->MbrDblNoDataValue && o != other->MbrDblNoDataValue;
      result->SetPoint(j, i, data ? operation(b, o) : base->MbrDblNoDataValue);
    }
  return result.release();
}

TMap* LiteralBase(TMap* first, TMap* second) {
  return second->MbrDblResolution < first->MbrDblResolution ? second : first;
}

TMap* LiteralAdd(TMap* first, TMap* second) {
  TMap* base = LiteralBase(first, second);
  return LiteralCombine(base, base == first ? second : first,
                        [](double b, double o) { return b + o; });
}

TMap* LiteralMultiply(TMap* first, TMap* second) {
  TMap* base = LiteralBase(first, second);
  return LiteralCombine(base, base == first ? second : first,
                        [](double b, double o) { return b * o; });
}

TMap* LiteralDivide(TMap* dividend, TMap* divisor) {
  return LiteralCombine(dividend, divisor, [](double a, double d) { return a / d; });
}

struct OracleCase {
  const char* name;
  TwoMapOperation fast;
  TwoMapOperation literal;
};

const std::vector<OracleCase>& OracleCases() {
  static const std::vector<OracleCase> cases = {
      {"Add", TMapTools::Add, LiteralAdd},
      {"Multiply", static_cast<TMap* (*)(TMap*, TMap*)>(TMapTools::Multiply), LiteralMultiply},
      {"Divide", static_cast<TMap* (*)(TMap*, TMap*)>(TMapTools::Divide), LiteralDivide},
  };
  return cases;
}

// Runs both versions on (first, second) and expects the same map or message.
void ExpectLikeLiteral(TMap* first, TMap* second, const std::string& context) {
  for (const OracleCase& c : OracleCases()) {
    SCOPED_TRACE(context + " " + c.name);
    if (std::string(c.name) == "Divide" && first->MbrDblResolution > second->MbrDblResolution)
      continue;
    const Outcome fast = Attempt([&] { return c.fast(first, second); });
    const Outcome literal = Attempt([&] { return c.literal(first, second); });
    EXPECT_EQ(fast.thrown.Describe(), literal.thrown.Describe());
    ASSERT_EQ(fast.map == nullptr, literal.map == nullptr);
    if (fast.map)
      ExpectSameMap(fast.map.get(), literal.map.get());
  }
}

std::vector<double> RandomValues(std::mt19937& random, long count) {
  std::uniform_real_distribution<double> value(-100.0, 100.0);
  std::uniform_int_distribution<int> kind(0, 19);
  std::vector<double> values;
  for (long k = 0; k < count; ++k) {
    const int pick = kind(random);
    values.push_back(pick == 0 ? -9999.0 : pick == 1 ? kNaN : pick == 2 ? 0.0 : value(random));
  }
  return values;
}

struct Layout {
  long columns;
  long rows;
  double cell;
  double west;
  double south;
};

std::unique_ptr<TMap> RandomMap(std::mt19937& random, const Layout& layout) {
  return MakeMap(layout.columns, layout.rows, layout.cell, layout.west, layout.south,
                 RandomValues(random, layout.columns * layout.rows));
}

// Replaces an edge axis of the map by one of `count` edges, as a damaged map
// would carry: lookups then reach cells past the map's counts.
void StretchEdges(TMap* map, char selector, long count) {
  TAxis*& slot = selector == 'X' ? map->MbrPtrXAxisInterval : map->MbrPtrYAxisInterval;
  const TPoint* first = slot->GetPoint(0);
  auto edges = std::make_unique<TAxis>(map->MbrDblResolution);
  double x = first->x;
  double y = first->y;
  for (long i = 0; i < count; ++i) {
    edges->AddPoint(new TPoint(x, y));
    (selector == 'X' ? x : y) += selector == 'X' ? map->MbrDblResolution : -map->MbrDblResolution;
  }
  delete slot;
  slot = edges.release();
}
} // namespace

TEST(ArithmeticScalar, MultiplyTestsAgainstMinus9999AndDivideAgainstTheSourcesNoData) {
  struct Case {
    const char* name;
    double noData;
    std::function<TMap*(TMap*)> operation;
    std::vector<double> expected;
  };
  const std::vector<double> values = {-32768.0, -9999.0, 4.0, kNaN, 1.0, -0.5};
  const std::vector<Case> cases = {
      {"multiply, -9999",
       -9999.0,
       [](TMap* m) { return TMapTools::Multiply(m, 2.0); },
       {-65536.0, -9999.0, 8.0, kNaN, 2.0, -1.0}},
      {"multiply, -32768",
       -32768.0,
       [](TMap* m) { return TMapTools::Multiply(m, 2.0); },
       {-65536.0, -9999.0, 8.0, kNaN, 2.0, -1.0}},
      {"divide, -9999",
       -9999.0,
       [](TMap* m) { return TMapTools::Divide(m, 2.0); },
       {-16384.0, -9999.0, 2.0, kNaN, 0.5, -0.25}},
      {"divide, -32768",
       -32768.0,
       [](TMap* m) { return TMapTools::Divide(m, 2.0); },
       {-32768.0, -4999.5, 2.0, kNaN, 0.5, -0.25}},
      {"divide by zero",
       -9999.0,
       [](TMap* m) { return TMapTools::Divide(m, 0.0); },
       {-kInf, -9999.0, kInf, kNaN, kInf, -kInf}},
      {"divide zero by zero",
       -32768.0,
       [](TMap* m) {
         m->MbrVecValues[0][2] = 0.0;
         return TMapTools::Divide(m, 0.0);
       },
       {-32768.0, -kInf, kNaN, kNaN, kInf, -kInf}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TMap> source = MakeMap(3, 2, 10.0, 100.0, 200.0, values, c.noData);
    std::unique_ptr<TMap> result(c.operation(source.get()));
    ExpectValues(result.get(), c.expected);
    EXPECT_EQ(result->MbrDblNoDataValue, -9999.0);
    EXPECT_EQ(result->MbrDblResolution, 10.0);
    ExpectSameOrdinates(result->MbrPtrXAxisInterval, source->MbrPtrXAxisInterval, 'X');
    ExpectSameOrdinates(result->MbrPtrYAxisInterval, source->MbrPtrYAxisInterval, 'Y');
    EXPECT_EQ(source->MbrDblNoDataValue, c.noData);
  }
}

TEST(ArithmeticScalar, SourceIsLeftUnchanged) {
  const std::vector<double> values = {1.0, -9999.0, 3.0, 4.0};
  std::unique_ptr<TMap> source = MakeMap(2, 2, 1.0, 0.0, 0.0, values);
  std::unique_ptr<TMap> product(TMapTools::Multiply(source.get(), 3.0));
  std::unique_ptr<TMap> quotient(TMapTools::Divide(source.get(), 3.0));
  ExpectValues(source.get(), values);
}

TEST(ArithmeticTwoMaps, FinerMapIsTheBaseWhicheverComesFirst) {
  std::unique_ptr<TMap> fine = MakeMap(2, 2, 1.0, 0.0, 0.0, {1.0, 2.0, 3.0, 4.0}, -1.0);
  std::unique_ptr<TMap> coarse = MakeMap(1, 1, 2.0, 0.0, 0.0, {10.0}, -2.0);
  const std::vector<std::pair<TwoMapOperation, std::vector<double>>> cases = {
      {TMapTools::Add, {11.0, 12.0, 13.0, 14.0}},
      {static_cast<TMap* (*)(TMap*, TMap*)>(TMapTools::Multiply), {10.0, 20.0, 30.0, 40.0}},
  };
  for (const auto& [operation, expected] : cases) {
    std::unique_ptr<TMap> fineFirst(operation(fine.get(), coarse.get()));
    std::unique_ptr<TMap> coarseFirst(operation(coarse.get(), fine.get()));
    ExpectValues(fineFirst.get(), expected);
    EXPECT_EQ(fineFirst->MbrDblResolution, 1.0);
    EXPECT_EQ(fineFirst->MbrDblNoDataValue, -1.0);
    ExpectSameMap(coarseFirst.get(), fineFirst.get());
    ExpectSameOrdinates(fineFirst->MbrPtrXAxis, fine->MbrPtrXAxis, 'X');
    ExpectSameOrdinates(fineFirst->MbrPtrYAxis, fine->MbrPtrYAxis, 'Y');
  }
  ExpectValues(coarse.get(), {10.0});
}

TEST(ArithmeticTwoMaps, EqualCellSizesTakeTheFirstMapsGrid) {
  // The first map's centres 0.5 and 1.5 lie on the second map's inner edges
  // and belong to the cells east and north of them.
  std::unique_ptr<TMap> first = MakeMap(2, 2, 1.0, 0.0, 0.0, {1.0, 2.0, 3.0, 4.0}, -1.0);
  std::unique_ptr<TMap> second = MakeMap(
      3, 3, 1.0, -0.5, -0.5, {100.0, 200.0, 300.0, 400.0, 500.0, 600.0, 700.0, 800.0, 900.0}, -2.0);
  std::unique_ptr<TMap> sum(TMapTools::Add(first.get(), second.get()));
  ExpectValues(sum.get(), {201.0, 302.0, 503.0, 604.0});
  EXPECT_EQ(sum->MbrDblNoDataValue, -1.0);
  ExpectSameOrdinates(sum->MbrPtrXAxisInterval, first->MbrPtrXAxisInterval, 'X');

  std::unique_ptr<TMap> elsewhere = MakeMap(2, 2, 1.0, 0.6, 0.0, {1.0, 1.0, 1.0, 1.0});
  EXPECT_THROW_MSG(delete TMapTools::Add(first.get(), elsewhere.get()), kOutOfRange);
  std::unique_ptr<TMap> shifted(TMapTools::Add(elsewhere.get(), second.get()));
  EXPECT_EQ(shifted->MbrDblNoDataValue, -9999.0);
}

TEST(ArithmeticTwoMaps, NoDataOfEitherOperandWritesTheBasesNoData) {
  // Base (finer, passed second) no-data -1; other no-data -2. A cell holding
  // the other map's no-data value counts as data in the base, and vice versa.
  std::unique_ptr<TMap> base = MakeMap(4, 1, 1.0, 0.0, 0.0, {-1.0, 5.0, -2.0, 5.0}, -1.0);
  std::unique_ptr<TMap> other = MakeMap(2, 1, 2.0, 0.0, -1.0, {3.0, -2.0}, -2.0);
  std::unique_ptr<TMap> sum(TMapTools::Add(other.get(), base.get()));
  ExpectValues(sum.get(), {-1.0, 8.0, -1.0, -1.0});
  EXPECT_EQ(sum->MbrDblNoDataValue, -1.0);
  std::unique_ptr<TMap> product(TMapTools::Multiply(other.get(), base.get()));
  ExpectValues(product.get(), {-1.0, 15.0, -1.0, -1.0});

  std::unique_ptr<TMap> otherHoldsBaseNoData = MakeMap(1, 1, 4.0, 0.0, -2.0, {-1.0}, -2.0);
  std::unique_ptr<TMap> shifted(TMapTools::Add(base.get(), otherHoldsBaseNoData.get()));
  ExpectValues(shifted.get(), {-1.0, 4.0, -3.0, 4.0});
}

TEST(ArithmeticTwoMaps, DivideKeepsTheDividendsGridAndRefusesACoarserDividend) {
  std::unique_ptr<TMap> fine = MakeMap(2, 2, 1.0, 0.0, 0.0, {1.0, -1.0, 0.0, 6.0}, -5.0);
  std::unique_ptr<TMap> coarse = MakeMap(1, 1, 2.0, 0.0, 0.0, {2.0}, -6.0);
  std::unique_ptr<TMap> zero = MakeMap(1, 1, 2.0, 0.0, 0.0, {0.0});

  EXPECT_THROW_MSG(delete TMapTools::Divide(coarse.get(), fine.get()),
                   "Divisor must be of equal of coarser resolution than the dividend in "
                   "TMapTools::Divide");
  std::unique_ptr<TMap> quotient(TMapTools::Divide(fine.get(), coarse.get()));
  ExpectValues(quotient.get(), {0.5, -0.5, 0.0, 3.0});
  EXPECT_EQ(quotient->MbrDblResolution, 1.0);
  EXPECT_EQ(quotient->MbrDblNoDataValue, -5.0);

  std::unique_ptr<TMap> byZero(TMapTools::Divide(fine.get(), zero.get()));
  ExpectValues(byZero.get(), {kInf, -kInf, kNaN, kInf});

  std::unique_ptr<TMap> sameSize = MakeMap(2, 2, 1.0, 0.0, 0.0, {-5.0, -6.0, 2.0, -9999.0}, -6.0);
  std::unique_ptr<TMap> pairwise(TMapTools::Divide(sameSize.get(), fine.get()));
  ExpectValues(pairwise.get(), {-5.0, -6.0, kInf, -9999.0 / 6.0});
  EXPECT_EQ(pairwise->MbrDblNoDataValue, -6.0);
  std::unique_ptr<TMap> reversed(TMapTools::Divide(fine.get(), sameSize.get()));
  ExpectValues(reversed.get(), {-0.2, -5.0, 0.0, 6.0 / -9999.0});
}

TEST(ArithmeticSubtract, DimensionsAreTestedXFirst) {
  struct Case {
    long columns;
    long rows;
    const char* message;
  };
  std::unique_ptr<TMap> minuend = MakeMap(3, 4, 1.0, 0.0, 0.0);
  for (const Case& c : {Case{4, 3, "X dimensions do not match in TMapTools::Subtract"},
                        Case{4, 4, "X dimensions do not match in TMapTools::Subtract"},
                        Case{3, 5, "Y dimensions do not match in TMapTools::Subtract"}}) {
    std::unique_ptr<TMap> subtrahend = MakeMap(c.columns, c.rows, 1.0, 0.0, 0.0);
    EXPECT_THROW_MSG(delete TMapTools::Subtract(minuend.get(), subtrahend.get()), c.message);
  }
}

TEST(ArithmeticSubtract, PairsCellsByIndexAndWritesTheMinuendsNoData) {
  std::unique_ptr<TMap> minuend = MakeMap(2, 2, 1.0, 0.0, 0.0, {5.0, -1.0, -2.0, 8.0}, -1.0);
  // Elsewhere and of another cell size: only the indices pair the cells.
  std::unique_ptr<TMap> subtrahend = MakeMap(2, 2, 30.0, 500.0, 900.0, {2.0, 1.0, 1.0, -2.0}, -2.0);
  std::unique_ptr<TMap> difference(TMapTools::Subtract(minuend.get(), subtrahend.get()));
  ExpectValues(difference.get(), {3.0, -1.0, -3.0, -1.0});
  EXPECT_EQ(difference->MbrDblNoDataValue, -1.0);
  EXPECT_EQ(difference->MbrDblResolution, 1.0);
  ExpectSameOrdinates(difference->MbrPtrYAxisInterval, minuend->MbrPtrYAxisInterval, 'Y');
}

TEST(ArithmeticChecks, MapsWhoseRowsDoNotMatchTheirDimensionsAreRefused) {
  struct Case {
    const char* message;
    bool twoMaps;
    std::function<TMap*(TMap*, TMap*)> operation;
  };
  const std::vector<Case> cases = {
      {"Map rows do not match its dimensions in TMapTools::Multiply", false,
       [](TMap* a, TMap*) { return TMapTools::Multiply(a, 2.0); }},
      {"Map rows do not match its dimensions in TMapTools::Divide", false,
       [](TMap* a, TMap*) { return TMapTools::Divide(a, 2.0); }},
      {"Map rows do not match its dimensions in TMapTools::Add", true, TMapTools::Add},
      {"Map rows do not match its dimensions in TMapTools::Multiply", true,
       static_cast<TMap* (*)(TMap*, TMap*)>(TMapTools::Multiply)},
      {"Map rows do not match its dimensions in TMapTools::Divide", true,
       static_cast<TMap* (*)(TMap*, TMap*)>(TMapTools::Divide)},
      {"Map rows do not match its dimensions in TMapTools::Subtract", true, TMapTools::Subtract},
  };
  const std::vector<std::function<void(TMap*)>> damages = {
      [](TMap* m) { m->MbrVecValues[1].pop_back(); },
      [](TMap* m) { m->MbrVecValues[0].push_back(7.0); },
      [](TMap* m) { m->MbrVecValues.pop_back(); },
  };
  for (const Case& c : cases)
    for (std::size_t d = 0; d < damages.size(); ++d) {
      SCOPED_TRACE(c.message + std::string(", damage ") + std::to_string(d));
      std::unique_ptr<TMap> sound = MakeMap(2, 2, 1.0, 0.0, 0.0, {1.0, 2.0, 3.0, 4.0});
      std::unique_ptr<TMap> damaged = MakeMap(2, 2, 1.0, 0.0, 0.0, {1.0, 2.0, 3.0, 4.0});
      damages[d](damaged.get());
      EXPECT_THROW_MSG(delete c.operation(damaged.get(), sound.get()), c.message);
      if (c.twoMaps) {
        EXPECT_THROW_MSG(delete c.operation(sound.get(), damaged.get()), c.message);
      }
    }
}

TEST(ArithmeticChecks, MapsWithoutAxesAreRefusedBeforeAnythingIsBuilt) {
  TMap bare(1.0, 2, 2);
  std::unique_ptr<TMap> coarse = MakeMap(1, 1, 2.0, 0.0, 0.0, {1.0});
  EXPECT_THROW_MSG(delete TMapTools::Multiply(&bare, 2.0),
                   "Map has no axes in TMapTools::Multiply");
  EXPECT_THROW_MSG(delete TMapTools::Divide(&bare, 2.0), "Map has no axes in TMapTools::Divide");
  EXPECT_THROW_MSG(delete TMapTools::Add(coarse.get(), &bare), "Map has no axes in TMapTools::Add");
  EXPECT_THROW_MSG(delete TMapTools::Subtract(&bare, &bare),
                   "Map has no axes in TMapTools::Subtract");
  // The other map is only read through its coordinate lookup, which reports
  // its own missing axes.
  TMap bareCoarse(4.0, 1, 1);
  std::unique_ptr<TMap> fine = MakeMap(2, 2, 1.0, 0.0, 0.0, {1.0, 2.0, 3.0, 4.0});
  EXPECT_THROW_MSG(delete TMapTools::Add(fine.get(), &bareCoarse),
                   "Map has no axes in TMap::GetPointVal");
}

TEST(ArithmeticChecks, AxesOfDifferentCellSizesFailInTheConstructor) {
  std::unique_ptr<TMap> map = MakeMap(2, 2, 1.0, 0.0, 0.0, {1.0, 2.0, 3.0, 4.0});
  map->MbrPtrYAxis->MbrDblResolution = 2.0;
  const char* message = "Axes resolutions do not match in TMap::TMap";
  EXPECT_THROW_MSG(delete TMapTools::Multiply(map.get(), 2.0), message);
  EXPECT_THROW_MSG(delete TMapTools::Divide(map.get(), 2.0), message);
  EXPECT_THROW_MSG(delete TMapTools::Subtract(map.get(), map.get()), message);
}

TEST(ArithmeticOracle, MatchesTheLiteralLookupOnGeneratedMaps) {
  // Finer and coarser, aligned and offset (centres on edges, on the outer
  // edges, off every edge), covering and partly outside.
  const std::vector<std::pair<Layout, Layout>> layouts = {
      {{20, 15, 1.0, 0.0, 0.0}, {4, 3, 5.0, 0.0, 0.0}},
      {{20, 15, 1.0, 0.0, 0.0}, {12, 9, 2.0, -0.5, -0.5}},
      {{17, 11, 0.3, 1.1, 2.3}, {9, 7, 0.7, 0.9, 2.0}},
      {{10, 10, 1.0, 0.0, 0.0}, {12, 12, 1.0, -1.25, -0.75}},
      {{10, 10, 1.0, 0.0, 0.0}, {3, 3, 3.0, 0.0, 0.0}},
      {{10, 10, 1.0, 0.0, 0.0}, {3, 3, 3.0, 0.5, 0.5}},
      {{1, 1, 1.0, 0.0, 0.0}, {2, 2, 2.0, -3.5, -3.5}},
      {{6, 5, 2.0, 0.0, 0.0}, {6, 5, 2.0, 0.0, 0.0}},
      {{6, 5, 2.0, 0.0, 0.0}, {2, 2, 7.0, 1.0, 1.0}},
  };
  std::mt19937 random(20240611);
  for (std::size_t k = 0; k < layouts.size(); ++k) {
    std::unique_ptr<TMap> a = RandomMap(random, layouts[k].first);
    std::unique_ptr<TMap> b = RandomMap(random, layouts[k].second);
    ExpectLikeLiteral(a.get(), b.get(), "layout " + std::to_string(k));
    ExpectLikeLiteral(b.get(), a.get(), "layout " + std::to_string(k) + " swapped");
  }

  const std::vector<double> cells = {0.25, 0.3, 0.5, 0.7, 1.0, 1.5, 2.0, 3.0};
  std::uniform_int_distribution<std::size_t> cell(0, cells.size() - 1);
  std::uniform_int_distribution<long> count(1, 12);
  std::uniform_real_distribution<double> offset(-2.0, 2.0);
  std::uniform_int_distribution<int> quarter(-8, 8);
  std::uniform_int_distribution<long> margin(0, 2);
  for (int trial = 0; trial < 300; ++trial) {
    // A third of the trials put the corners on a quarter-unit lattice, where
    // centres often fall exactly on the other map's edges; a third make the
    // second map cover the first from a lattice corner.
    const int mode = trial % 3;
    auto corner = [&] { return mode == 0 ? quarter(random) * 0.25 : offset(random); };
    const Layout first{count(random), count(random), cells[cell(random)], corner(), corner()};
    Layout second{count(random), count(random), cells[cell(random)], corner(), corner()};
    if (mode == 2) {
      second.west = first.west - std::abs(quarter(random)) * 0.25;
      second.south = first.south - std::abs(quarter(random)) * 0.25;
      const double east = first.west + first.columns * first.cell;
      const double north = first.south + first.rows * first.cell;
      second.columns =
          static_cast<long>(std::ceil((east - second.west) / second.cell)) + margin(random);
      second.rows =
          static_cast<long>(std::ceil((north - second.south) / second.cell)) + margin(random);
    }
    std::unique_ptr<TMap> a = RandomMap(random, first);
    std::unique_ptr<TMap> b = RandomMap(random, second);
    ExpectLikeLiteral(a.get(), b.get(), "trial " + std::to_string(trial));
  }
}

TEST(ArithmeticOracle, FirstFailingCellInRowMajorOrderDecidesTheMessage) {
  // Base centres x 0.5 .. 3.5, y 2.5, 1.5, 0.5. Some other maps are damaged
  // so that their lookups reach past their counts.
  struct Case {
    const char* name;
    long otherColumns;
    long otherRows;
    double otherSouth;
    long xEdges;
    long yEdges;
    const char* message;
  };
  const char* const columnPast = "LngX is out of range in TMap::GetPointVal";
  const char* const rowPast = "LngY is out of range in TMap::GetPointVal";
  const std::vector<Case> cases = {
      {"columns 2, 3 past the count", 2, 3, 0.0, 5, 4, columnPast},
      {"row 2 past the count", 4, 2, 1.0, 5, 4, rowPast},
      {"columns past the count in row 0 before row 2", 2, 2, 1.0, 5, 4, columnPast},
      {"row 0 outside before columns past the count", 2, 2, 0.0, 5, 3, kOutOfRange},
      {"row 1 outside", 4, 1, 2.0, 5, 2, kOutOfRange},
      {"columns past the count in row 0 before row 1 outside", 2, 1, 2.0, 5, 2, columnPast},
      {"column 2 outside in row 0 before row 2 past the count", 2, 2, 1.0, 3, 4, kOutOfRange},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TMap> base = MakeMap(4, 3, 1.0, 0.0, 0.0, std::vector<double>(12, 1.0));
    std::unique_ptr<TMap> other = MakeMap(c.otherColumns, c.otherRows, 1.0, 0.0, c.otherSouth,
                                          std::vector<double>(c.otherColumns * c.otherRows, 2.0));
    StretchEdges(other.get(), 'X', c.xEdges);
    StretchEdges(other.get(), 'Y', c.yEdges);
    ExpectLikeLiteral(base.get(), other.get(), c.name);
    EXPECT_THROW_MSG(delete TMapTools::Add(base.get(), other.get()), c.message);
  }
}
