#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "grid/TAxisTools.h"
#include "grid/TMap.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
struct ConversionCase {
  std::vector<double> centres;
  char selector;
  std::vector<double> edges;
};

TEST(TAxisTools, PointsToIntervals) {
  const ConversionCase cases[] = {
      {{5, 15, 25}, 'X', {0, 10, 20, 30}},
      {{25, 15, 5}, 'Y', {30, 20, 10, 0}},
      {{5, 15, 25}, 'Y', {0, 10, 20, 30}},
      {{25, 15, 5}, 'X', {20, 30, 40, 50}}, // X edges always run upward
      {{5}, 'X', {0, 10}},
      // One centre carries no direction: a Y axis takes the map's orientation.
      {{5}, 'Y', {10, 0}},
      // Any other selector reads y with the general rule: ascending edges.
      {{5}, 'y', {0, 10}},
  };
  for (const ConversionCase& c : cases) {
    auto centres = MakeAxis(c.centres, c.selector);
    std::unique_ptr<TAxis> edges(TAxisTools::PointsToIntervals(centres.get(), c.selector));
    EXPECT_EQ(AxisOrdinates(edges.get(), c.selector), c.edges);
    EXPECT_EQ(edges->MbrDblResolution, 10.0);
  }
}

TEST(TAxisTools, OtherOrdinateOfTheEdges) {
  auto xCentres = std::make_unique<TAxis>(10.0);
  xCentres->AddPoint(new TPoint(5, 25));
  xCentres->AddPoint(new TPoint(15, 15));
  std::unique_ptr<TAxis> xEdges(TAxisTools::PointsToIntervals(xCentres.get(), 'X'));
  EXPECT_EQ(xEdges->GetPoint(0)->y, 30); // first.y + half when the ys descend
  EXPECT_EQ(xEdges->GetPoint(2)->y, 30);
  auto yCentres = std::make_unique<TAxis>(10.0);
  yCentres->AddPoint(new TPoint(5, 25));
  yCentres->AddPoint(new TPoint(7, 15));
  std::unique_ptr<TAxis> yEdges(TAxisTools::PointsToIntervals(yCentres.get(), 'Y'));
  EXPECT_EQ(yEdges->GetPoint(2)->x, 0);
}

TEST(TAxisTools, IntervalsToPoints) {
  const ConversionCase cases[] = {
      {{5, 15, 25}, 'X', {0, 10, 20, 30}},
      {{25, 15, 5}, 'Y', {30, 20, 10, 0}},
      // Ascending Y edges give centres half a gap below each lower edge.
      {{-5, 5, 15}, 'Y', {0, 10, 20, 30}},
      {{}, 'X', {7}},
  };
  for (const ConversionCase& c : cases) {
    auto edges = MakeAxis(c.edges, c.selector);
    std::unique_ptr<TAxis> centres(TAxisTools::IntervalsToPoints(edges.get(), c.selector));
    EXPECT_EQ(AxisOrdinates(centres.get(), c.selector), c.centres);
  }
}

TEST(TAxisTools, RoundTripGivesBackTheCentres) {
  for (char selector : {'X', 'Y'}) {
    auto centres =
        MakeAxis(selector == 'X' ? std::vector<double>{5, 15, 25} : std::vector<double>{25, 15, 5},
                 selector);
    std::unique_ptr<TAxis> edges(TAxisTools::PointsToIntervals(centres.get(), selector));
    std::unique_ptr<TAxis> back(TAxisTools::IntervalsToPoints(edges.get(), selector));
    EXPECT_EQ(AxisOrdinates(back.get(), selector), AxisOrdinates(centres.get(), selector));
  }
}

TEST(TAxisTools, EdgesAreAccumulatedByRepeatedAddition) {
  auto centres = MakeAxis({0.05, 0.15, 0.25, 0.35, 0.45, 0.55, 0.65, 0.75, 0.85, 0.95}, 'X', 0.1);
  std::unique_ptr<TAxis> edges(TAxisTools::PointsToIntervals(centres.get(), 'X'));
  double expected = 0.05 - 0.1 * 0.5;
  for (long i = 0; i < edges->GetSize(); ++i, expected += 0.1)
    EXPECT_EQ(edges->GetPoint(i)->x, expected) << i;
}

TEST(TAxisTools, EmptyAxisFails) {
  TAxis empty(1.0);
  for (auto* convert : {&TAxisTools::PointsToIntervals, &TAxisTools::IntervalsToPoints}) {
    EXPECT_THROW_MSG(delete convert(&empty, 'X'), "Index is out of range in TAxis::GetPoint");
  }
}
} // namespace

namespace {
// Axes made with TAxis(double, long) have empty slots until SetPoint fills
// them; converting one fails with a message, and a map keeps its old axes.
TEST(TAxisTools, AxesWithEmptySlotsAreRefused) {
  TAxis centres(10.0, 2);
  centres.SetPoint(0, new TPoint(5, 0));
  TAxis edges(10.0, 3);
  edges.SetPoint(0, new TPoint(0, 0));
  edges.SetPoint(2, new TPoint(20, 0));
  EXPECT_THROW_MSG(delete TAxisTools::PointsToIntervals(&centres, 'X'),
                   "Axis has an empty slot in TAxisTools::PointsToIntervals");
  EXPECT_THROW_MSG(delete TAxisTools::IntervalsToPoints(&edges, 'X'),
                   "Axis has an empty slot in TAxisTools::IntervalsToPoints");

  TMap map(10.0, 2, 1);
  EXPECT_THROW_MSG(map.SetXAxisInterval(&edges),
                   "Axis has an empty slot in TAxisTools::IntervalsToPoints");
  EXPECT_EQ(map.MbrPtrXAxisInterval, nullptr);
}
} // namespace
