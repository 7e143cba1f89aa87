#include "grid/TAxisTools.h"

#include <algorithm>
#include <memory>

#include "grid/TAxisRules.h"

namespace {
bool HasEmptySlot(const TAxis* axis) {
  return std::find(axis->MbrVecPoints.begin(), axis->MbrVecPoints.end(), nullptr) !=
         axis->MbrVecPoints.end();
}
} // namespace

TAxis* TAxisTools::PointsToIntervals(TAxis* centres, char selector) {
  const double r = centres->MbrDblResolution;
  const long n = centres->GetSize();
  TPoint* first = centres->GetPoint(0);
  TPoint* last = centres->GetPoint(n - 1);
  if (first == nullptr || last == nullptr)
    throw "Axis has an empty slot in TAxisTools::PointsToIntervals";

  // Every edge point carries the first edge of the other ordinate.
  const TStepSequence xs = TAxisRules::XEdgesOf(first->x, r, n);
  const TStepSequence ys = TAxisRules::YEdgesOf(first->y, last->y, r, n, selector);
  auto edges = std::make_unique<TAxis>(r);
  edges->MbrVecPoints.reserve(n + 1);
  if (selector == 'X')
    xs.ForEach([&](double x) { edges->AddPoint(new TPoint(x, ys.First())); });
  else
    ys.ForEach([&](double y) { edges->AddPoint(new TPoint(xs.First(), y)); });
  return edges.release();
}

TAxis* TAxisTools::IntervalsToPoints(TAxis* edges, char) {
  const long n = edges->GetSize();
  edges->GetPoint(0);
  edges->GetPoint(n - 1);
  if (HasEmptySlot(edges))
    throw "Axis has an empty slot in TAxisTools::IntervalsToPoints";

  auto centres = std::make_unique<TAxis>(edges->MbrDblResolution);
  centres->MbrVecPoints.reserve(n - 1);
  for (long i = 0; i + 1 < n; ++i) {
    const TPoint* a = edges->MbrVecPoints[i];
    const TPoint* b = edges->MbrVecPoints[i + 1];
    centres->AddPoint(
        new TPoint(TAxisRules::XCentreOf(a->x, b->x), TAxisRules::YCentreOf(a->y, b->y)));
  }
  return centres.release();
}
