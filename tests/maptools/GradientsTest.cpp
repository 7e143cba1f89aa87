#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "maptools/TMapTools.h"
#include "numeric/TVectorTools.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
using TMaps = std::vector<std::unique_ptr<TMap>>;

TMaps Own(const std::vector<TMap*>& maps) {
  TMaps owned;
  for (TMap* map : maps)
    owned.emplace_back(map);
  return owned;
}

// The maps a series operation made, or what it threw.
struct SeriesOutcome {
  TMaps maps;
  Thrown thrown;
};

template <typename Operation> SeriesOutcome Gradients(Operation operation) {
  SeriesOutcome outcome;
  outcome.thrown = CaptureThrow([&] { outcome.maps = Own(operation()); });
  return outcome;
}

// The trend operation spelled out step by step with the sampling and vector
// operations it is defined by: the oracle of the buffered implementation.
std::vector<TMap*> LiteralValueGradients(std::vector<TMap*> maps, int window) {
  const long n = static_cast<long>(maps.size());
  if (window > n)
    throw "Window size must be < number of maps in TMapTools::ValueGradients";
  for (long m = 1; m < n; ++m)
    if (maps[m]->MbrLngXDim != maps[0]->MbrLngXDim || maps[m]->MbrLngYDim != maps[0]->MbrLngYDim)
      throw "Map dimensions do not match in TMapTools::ValueGradients";
  TMaps built;
  for (int i = 0; i < n - window; ++i) {
    const std::vector<double> positions = TVectorTools::VectorSeries(i, i + window, 1);
    auto gradient = std::make_unique<TMap>(maps[0]->MbrPtrXAxis, maps[0]->MbrPtrYAxis);
    for (long j = 0; j < maps[0]->MbrLngXDim; ++j) {
      for (long k = 0; k < maps[0]->MbrLngYDim; ++k) {
        if (maps[i]->GetPointVal(j, k) == 0)
          continue;
        std::vector<double> values = TMapTools::GetValuesVector(maps, j, k, i, i + window);
        for (int l = 0; l < window; ++l)
          if (values[l] == 0)
            values[l] = TMapTools::FindNonzeroNeighbourVal(maps[i + l], j, k);
        std::vector<double> x;
        std::vector<double> y;
        for (int l = 0; l <= window; ++l) {
          if (values[l] != maps[i + l]->MbrDblNoDataValue) {
            x.push_back(positions[l]);
            y.push_back(values[l]);
          }
        }
        gradient->SetPoint(j, k, TVectorTools::Gradient(x, y));
      }
    }
    built.push_back(std::move(gradient));
  }
  std::vector<TMap*> result;
  for (auto& map : built)
    result.push_back(map.release());
  return result;
}

void ExpectSameAxis(TAxis* got, TAxis* expected) {
  ASSERT_EQ(got->GetSize(), expected->GetSize());
  for (long i = 0; i < got->GetSize(); ++i) {
    EXPECT_EQ(got->GetPoint(i)->x, expected->GetPoint(i)->x);
    EXPECT_EQ(got->GetPoint(i)->y, expected->GetPoint(i)->y);
  }
}

void ExpectSameOutcome(const SeriesOutcome& got, const SeriesOutcome& expected) {
  EXPECT_EQ(got.thrown.Describe(), expected.thrown.Describe());
  ASSERT_EQ(got.maps.size(), expected.maps.size());
  for (std::size_t m = 0; m < got.maps.size(); ++m) {
    TMap* a = got.maps[m].get();
    TMap* b = expected.maps[m].get();
    ASSERT_EQ(a->MbrLngXDim, b->MbrLngXDim);
    ASSERT_EQ(a->MbrLngYDim, b->MbrLngYDim);
    EXPECT_EQ(a->MbrDblNoDataValue, b->MbrDblNoDataValue);
    ExpectSameAxis(a->MbrPtrXAxis, b->MbrPtrXAxis);
    ExpectSameAxis(a->MbrPtrYAxis, b->MbrPtrYAxis);
    const std::vector<double> va = MapValues(a);
    const std::vector<double> vb = MapValues(b);
    ASSERT_EQ(va.size(), vb.size());
    for (std::size_t c = 0; c < va.size(); ++c)
      ASSERT_TRUE(SameBits(va[c], vb[c]))
          << "map " << m << " cell " << c << ": " << va[c] << " != " << vb[c];
  }
}

void ExpectAsLiteral(const std::vector<TMap*>& maps, int window) {
  SCOPED_TRACE("window " + std::to_string(window));
  ExpectSameOutcome(Gradients([&] { return TMapTools::ValueGradients(maps, window); }),
                    Gradients([&] { return LiteralValueGradients(maps, window); }));
}

std::vector<TMap*> Pointers(const TMaps& maps) {
  std::vector<TMap*> pointers;
  for (const auto& map : maps)
    pointers.push_back(map.get());
  return pointers;
}

// Three 3 x 3 maps of cells of 10; each cell of the table holds its values in
// maps 0, 1 and 2.
TMaps ThreeMaps(const std::vector<std::vector<double>>& cells) {
  TMaps maps;
  for (int m = 0; m < 3; ++m) {
    std::vector<double> values;
    for (const auto& cell : cells)
      values.push_back(cell[m]);
    maps.push_back(MakeMap(3, 3, 10.0, 0.0, 0.0, values));
  }
  return maps;
}

TEST(ValueGradients, FitsTheSlopeOfEachCellOverTheWindow) {
  // Cell 4 (the centre) holds 4, 0, 0 with map 1's block holding 6 in cell 8:
  // the fit uses 4, 6 and the last map's 0.
  const TMaps maps = ThreeMaps({{1, 2, 3},
                                {3, 2, 1},
                                {4, 4, 4},
                                {5, -9999, 7},
                                {4, 0, 0},
                                {0, 5, 9},
                                {-9999, -9999, 8},
                                {-9999, -9999, -9999},
                                {2, 6, 2}});
  const SeriesOutcome outcome =
      Gradients([&] { return TMapTools::ValueGradients(Pointers(maps), 2); });
  ASSERT_EQ(outcome.thrown.Describe(), "nothing");
  ASSERT_EQ(outcome.maps.size(), 1u);
  const std::vector<double> values = MapValues(outcome.maps[0].get());
  EXPECT_EQ(values[0], 1.0);
  EXPECT_EQ(values[1], -1.0);
  EXPECT_EQ(values[2], 0.0);
  EXPECT_EQ(values[3], 1.0);
  EXPECT_EQ(values[4], -2.0);
  EXPECT_EQ(values[5], -9999.0);
  EXPECT_TRUE(std::isnan(values[6]));
  EXPECT_TRUE(std::isnan(values[7]));
  EXPECT_EQ(outcome.maps[0]->MbrDblNoDataValue, -9999.0);
  ExpectAsLiteral(Pointers(maps), 2);
}

TEST(ValueGradients, WindowSizes) {
  const TMaps maps = ThreeMaps(std::vector<std::vector<double>>(9, {1, 2, 4}));
  const std::vector<TMap*> series = Pointers(maps);
  const SeriesOutcome one = Gradients([&] { return TMapTools::ValueGradients(series, 1); });
  ASSERT_EQ(one.maps.size(), 2u);
  EXPECT_EQ(one.maps[0]->GetPointVal(1, 1), 1.0);
  EXPECT_EQ(one.maps[1]->GetPointVal(1, 1), 2.0);
  EXPECT_EQ(Gradients([&] { return TMapTools::ValueGradients(series, 3); }).maps.size(), 0u);
  EXPECT_THROW_MSG(Own(TMapTools::ValueGradients(series, 4)),
                   "Window size must be < number of maps in TMapTools::ValueGradients");
  EXPECT_THROW_MSG(Own(TMapTools::ValueGradients(series, -1)),
                   "Window size must not be negative in TMapTools::ValueGradients");
  EXPECT_EQ(Gradients([&] { return TMapTools::ValueGradients({}, 0); }).maps.size(), 0u);
  for (int window = 1; window <= 3; ++window)
    ExpectAsLiteral(series, window);
}

TEST(ValueGradients, AWindowOfZeroFailsAtTheFirstNonzeroCell) {
  TMaps maps;
  maps.push_back(MakeMap(2, 2, 1.0, 0.0, 0.0, {0, 0, 0, 0}));
  maps.push_back(MakeMap(2, 2, 1.0, 0.0, 0.0, {0, 0, 0, 0}));
  const SeriesOutcome zeros =
      Gradients([&] { return TMapTools::ValueGradients(Pointers(maps), 0); });
  ASSERT_EQ(zeros.maps.size(), 2u);
  EXPECT_EQ(MapValues(zeros.maps[1].get()), std::vector<double>(4, -9999.0));
  // The map built for the all-zero first map is released when the second fails.
  maps[1]->SetPoint(1, 1, 3.0);
  EXPECT_THROW_MSG(Own(TMapTools::ValueGradients(Pointers(maps), 0)),
                   "Stat map number must be less than end map number");
  ExpectAsLiteral(Pointers(maps), 0);
}

TEST(ValueGradients, RefusesSeriesItCannotRead) {
  TMaps maps;
  maps.push_back(MakeMap(3, 2, 1.0, 0.0, 0.0, {1, 2, 3, 4, 5, 6}));
  maps.push_back(MakeMap(2, 2, 1.0, 0.0, 0.0, {1, 2, 3, 4}));
  maps.push_back(MakeMap(3, 3, 1.0, 0.0, 0.0));
  const char* dimensions = "Map dimensions do not match in TMapTools::ValueGradients";
  EXPECT_THROW_MSG(Own(TMapTools::ValueGradients({maps[0].get(), maps[1].get()}, 1)), dimensions);
  EXPECT_THROW_MSG(Own(TMapTools::ValueGradients({maps[0].get(), maps[2].get()}, 1)), dimensions);

  // Stored rows that disagree with the dimensions are never read.
  auto ragged = MakeMap(3, 2, 1.0, 0.0, 0.0, {1, 2, 3, 4, 5, 6});
  ragged->MbrVecValues[1].pop_back();
  EXPECT_THROW_MSG(Own(TMapTools::ValueGradients({maps[0].get(), ragged.get()}, 1)),
                   "Map rows do not match its dimensions in TMapTools::ValueGradients");

  TMap bare(1.0, 3, 2);
  bare.InitValues(1.0);
  EXPECT_THROW_MSG(Own(TMapTools::ValueGradients({&bare, maps[0].get()}, 1)),
                   "Map has no axes in TMapTools::ValueGradients");
  // No result is due, so nothing needs the axes.
  EXPECT_EQ(Gradients([&] {
              return TMapTools::ValueGradients({&bare, maps[0].get()}, 2);
            }).maps.size(),
            0u);
}

TEST(ValueGradients, ResultsLieOnTheFirstMapsGrid) {
  TMaps maps;
  maps.push_back(MakeMap(2, 2, 10.0, 100.0, 200.0, {1, 2, 3, 4}));
  maps.push_back(MakeMap(2, 2, 5.0, -7.0, 3.0, {2, 4, 6, 8}));
  maps.push_back(MakeMap(2, 2, 1.0, 0.0, 0.0, {3, 6, 9, 12}));
  const SeriesOutcome outcome =
      Gradients([&] { return TMapTools::ValueGradients(Pointers(maps), 1); });
  ASSERT_EQ(outcome.maps.size(), 2u);
  for (const auto& map : outcome.maps) {
    EXPECT_EQ(map->MbrDblResolution, 10.0);
    ExpectSameAxis(map->MbrPtrXAxis, maps[0]->MbrPtrXAxis);
    ExpectSameAxis(map->MbrPtrYAxis, maps[0]->MbrPtrYAxis);
  }
  EXPECT_EQ(MapValues(outcome.maps[1].get()), (std::vector<double>{1, 2, 3, 4}));
}

TEST(ValueGradients, AgreesWithTheStepByStepFitOnMixedSeries) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> pick(0, 9);
  const double noData[] = {-9999, -9999, 0, -1, -9999, 3};
  TMaps maps;
  for (double mapNoData : noData) {
    std::vector<double> values;
    for (int c = 0; c < 7 * 5; ++c) {
      const int kind = pick(random);
      values.push_back(kind < 3    ? 0.0
                       : kind == 3 ? mapNoData
                       : kind == 4 ? -0.0
                       : kind == 5 ? kNaN
                                   : std::ldexp(pick(random) - 4.5, pick(random) - 5));
    }
    maps.push_back(MakeMap(7, 5, 0.5, 1.0, 2.0, values, mapNoData));
  }
  for (int window = 0; window <= 6; ++window)
    ExpectAsLiteral(Pointers(maps), window);
}

TEST(ValueGradients, AgreesWithTheStepByStepFitWhenTheAxesDisagreeWithTheRows) {
  // A row added after the axes were set: map 0's axes lend the results one row
  // fewer than the maps hold.
  TMaps maps;
  for (int m = 0; m < 3; ++m) {
    maps.push_back(MakeMap(2, 2, 1.0, 0.0, 0.0, {1.0 + m, 2, 3, 4.0 * m}));
    maps.back()->AddRow({0, 0});
  }
  ExpectAsLiteral(Pointers(maps), 1);
  maps[0]->SetPoint(1, 2, 5.0);
  EXPECT_THROW_MSG(Own(TMapTools::ValueGradients(Pointers(maps), 1)),
                   "Y-ordinate is out of range in TMap::SetPoint");
  ExpectAsLiteral(Pointers(maps), 1);
}
} // namespace
