#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "grid/TPoint.h"

TEST(TPoint, CloneKeepsTheDynamicTypeAndValue) {
  std::unique_ptr<TPoint> mapPoint(new TMapPoint(1.0, 2.0, 7.5));
  std::unique_ptr<TPoint> copy(mapPoint->Clone());
  auto* asMapPoint = dynamic_cast<TMapPoint*>(copy.get());
  ASSERT_NE(asMapPoint, nullptr);
  EXPECT_EQ(asMapPoint->x, 1.0);
  EXPECT_EQ(asMapPoint->y, 2.0);
  EXPECT_EQ(asMapPoint->value, 7.5);

  TPoint plain(3.0, 4.0);
  std::unique_ptr<TPoint> plainCopy(plain.Clone());
  EXPECT_EQ(dynamic_cast<TMapPoint*>(plainCopy.get()), nullptr);
}

TEST(TPoint, CloneIsADistinctObject) {
  TMapPoint source(1.0, 2.0, 3.0);
  std::unique_ptr<TPoint> copy(source.Clone());
  copy->x = 10.0;
  static_cast<TMapPoint*>(copy.get())->value = 30.0;
  EXPECT_EQ(source.x, 1.0);
  EXPECT_EQ(source.value, 3.0);
}

// Deleting a TMapPoint through TPoint* must run the derived destructor; the
// sanitizer build reports a mismatched delete otherwise.
TEST(TPoint, MapPointDeletedThroughBasePointer) {
  TPoint* point = new TMapPoint(0.0, 0.0, 1.0);
  delete point;
  SUCCEED();
}

TEST(TPoint, Distance) {
  TPoint a(0.0, 0.0);
  TPoint b(3.0, 4.0);
  TMapPoint c(3.0, 4.0, 99.0);
  TPoint nan(std::nan(""), 0.0);
  EXPECT_EQ(a.Distance(&a), 0.0);
  EXPECT_EQ(a.Distance(&b), 5.0);
  EXPECT_EQ(b.Distance(&a), 5.0);
  EXPECT_EQ(b.Distance(&c), 0.0);
  EXPECT_TRUE(std::isnan(a.Distance(&nan)));
}
