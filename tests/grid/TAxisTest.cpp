#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "grid/TAxis.h"
#include "support/ExpectThrowMsg.h"
#include "support/TestMaps.h"

namespace {
// An axis of points with the given ordinates in x ('X') or y (anything else).
const std::string kOrdinateRange = "Ordinate is out of range in TAxis::GetIndex";

struct IndexCase {
  double ordinate;
  long expected; // -1: the lookup fails
};

void ExpectIndices(TAxis& axis, char selector, std::initializer_list<IndexCase> cases) {
  for (const IndexCase& c : cases) {
    if (c.expected < 0)
      EXPECT_THROW_MSG(axis.GetIndex(c.ordinate, selector), kOrdinateRange) << c.ordinate;
    else
      EXPECT_EQ(axis.GetIndex(c.ordinate, selector), c.expected) << c.ordinate;
  }
}

TEST(TAxisGetIndex, AscendingSegmentsAreClosedBelow) {
  auto axis = MakeAxis({0, 10, 20, 30}, 'X');
  ExpectIndices(*axis, 'X',
                {{0, 0}, {9.999, 0}, {10, 1}, {29.9, 2}, {-0.001, -1}, {30.001, -1}, {30, 2}});
}

TEST(TAxisGetIndex, DescendingSegmentsAreClosedAtTheirLowerOrdinate) {
  auto axis = MakeAxis({30, 20, 10, 0}, 'Y');
  ExpectIndices(*axis, 'Y', {{29.9, 0}, {20, 0}, {19.9, 1}, {10, 1}, {0, 2}, {30, 0}, {-1, -1}});
}

TEST(TAxisGetIndex, SelectorOtherThanXReadsY) {
  auto axis = std::make_unique<TAxis>(1.0);
  axis->AddPoint(new TPoint(100, 0));
  axis->AddPoint(new TPoint(200, 1));
  EXPECT_EQ(axis->GetIndex(0.5, 'Z'), 0);
  EXPECT_EQ(axis->GetIndex(150, 'X'), 0);
}

TEST(TAxisGetIndex, DegenerateAxesAndOrdinatesFail) {
  auto single = MakeAxis({5}, 'X');
  auto empty = MakeAxis({}, 'X');
  auto flat = MakeAxis({5, 5}, 'X');
  auto axis = MakeAxis({0, 10}, 'X');
  EXPECT_THROW_MSG(single->GetIndex(5, 'X'), kOrdinateRange);
  EXPECT_THROW_MSG(empty->GetIndex(5, 'X'), kOrdinateRange);
  EXPECT_THROW_MSG(flat->GetIndex(5, 'X'), kOrdinateRange);
  EXPECT_THROW_MSG(axis->GetIndex(std::nan(""), 'X'), kOrdinateRange);
  TAxis slots(1.0, 3);
  EXPECT_THROW_MSG(slots.GetIndex(0, 'X'), kOrdinateRange);
}

TEST(TAxisPoints, GetAndSetCheckTheirIndex) {
  auto axis = MakeAxis({0, 10}, 'X');
  EXPECT_THROW_MSG(axis->GetPoint(2), "Index is out of range in TAxis::GetPoint");
  EXPECT_THROW_MSG(axis->GetPoint(-1), "Index is out of range in TAxis::GetPoint");
  TPoint* unused = new TPoint(1, 1);
  EXPECT_THROW_MSG(axis->SetPoint(2, unused), "Index is out of range in TAxis::SetPoint");
  delete unused;
  EXPECT_EQ(axis->GetSize(), 2);
}

TEST(TAxisPoints, SetPointReplacesAndKeepsTheSamePoint) {
  TAxis axis(1.0, 2);
  EXPECT_EQ(axis.GetPoint(0), nullptr);
  axis.SetPoint(0, new TPoint(1, 2));
  axis.SetPoint(0, new TPoint(3, 4)); // the first point is deleted (no leak)
  EXPECT_EQ(axis.GetPoint(0)->x, 3);
  TPoint* same = axis.GetPoint(0);
  axis.SetPoint(0, same); // must not delete the point it keeps
  EXPECT_EQ(axis.GetPoint(0)->y, 4);
}

TEST(TAxisClone, DeepCopyKeepsMapPointsAndEmptySlots) {
  TAxis axis(2.5, 3);
  axis.SetPoint(0, new TMapPoint(1, 2, 42));
  axis.SetPoint(2, new TPoint(5, 6));
  std::unique_ptr<TAxis> copy(axis.Clone());
  ASSERT_EQ(copy->GetSize(), 3);
  EXPECT_EQ(copy->MbrDblResolution, 2.5);
  auto* mapPoint = dynamic_cast<TMapPoint*>(copy->GetPoint(0));
  ASSERT_NE(mapPoint, nullptr);
  EXPECT_EQ(mapPoint->value, 42);
  EXPECT_NE(copy->GetPoint(0), axis.GetPoint(0));
  EXPECT_EQ(copy->GetPoint(1), nullptr);
  EXPECT_EQ(copy->GetPoint(2)->y, 6);
  std::unique_ptr<TAxis> emptyCopy(TAxis(1.0).Clone());
  EXPECT_EQ(emptyCopy->GetSize(), 0);
}

TEST(TAxisSegment, ByIndex) {
  auto axis = MakeAxis({0, 10, 20, 30}, 'X', 7.0);
  std::unique_ptr<TAxis> one(axis->GetSegment(2, 2));
  ASSERT_EQ(one->GetSize(), 1);
  EXPECT_EQ(one->GetPoint(0)->x, 20);
  EXPECT_EQ(one->MbrDblResolution, 7.0);
  EXPECT_NE(one->GetPoint(0), axis->GetPoint(2));
  const struct {
    long start, end;
    const char* message;
  } failures[] = {
      {3, 2, "Start index is greater than end index in TAxis::GetSegment"},
      {-1, 0, "Start index is out of range in TAxis::GetSegment"},
      {-1, 9, "Start index is out of range in TAxis::GetSegment"},
      {4, 4, "Start index is out of range in TAxis::GetSegment"},
      {0, 4, "End index is out of range in TAxis::GetSegment"},
      {0, -1, "End index is out of range in TAxis::GetSegment"},
  };
  for (const auto& f : failures)
    EXPECT_THROW_MSG(delete axis->GetSegment(f.start, f.end), f.message)
        << f.start << ", " << f.end;
}

TEST(TAxisSegment, ByPointsOnADescendingAxisNeedsTheNorthernPointFirst) {
  auto axis = MakeAxis({30, 20, 10, 0}, 'Y');
  TPoint north(0, 25);
  TPoint south(0, 5);
  std::unique_ptr<TAxis> segment(axis->GetSegment(&north, &south, 'Y'));
  ASSERT_EQ(segment->GetSize(), 3);
  EXPECT_EQ(segment->GetPoint(0)->y, 30);
  EXPECT_EQ(segment->GetPoint(2)->y, 10);
  EXPECT_THROW_MSG(delete axis->GetSegment(&south, &north, 'Y'),
                   "Start index is greater than end index in TAxis::GetSegment");
}
} // namespace
