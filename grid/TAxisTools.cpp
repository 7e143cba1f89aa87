#include "grid/TAxisTools.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
bool HasEmptySlot(const TAxis* axis) {
  return std::find(axis->MbrVecPoints.begin(), axis->MbrVecPoints.end(), nullptr) !=
         axis->MbrVecPoints.end();
}
} // namespace

TAxis* TAxisTools::PointsToIntervals(TAxis* centres, char selector) {
  const double r = centres->MbrDblResolution;
  const double half = r * 0.5;
  const long n = centres->GetSize();
  TPoint* first = centres->GetPoint(0);
  TPoint* last = centres->GetPoint(n - 1);
  if (first == nullptr || last == nullptr)
    throw "Axis has an empty slot in TAxisTools::PointsToIntervals";

  const double x0 = first->x - half;
  double y0 = first->y - half;
  double step = r;
  if (first->y > last->y || (n == 1 && selector == 'Y')) {
    y0 = first->y + half;
    step = selector == 'Y' ? -r : r;
  }

  auto edges = std::make_unique<TAxis>(r);
  edges->MbrVecPoints.reserve(n + 1);
  if (selector == 'X') {
    double x = x0;
    for (long i = 0; i <= n; ++i, x += r)
      edges->AddPoint(new TPoint(x, y0));
  } else {
    double y = y0;
    for (long i = 0; i <= n; ++i, y += step)
      edges->AddPoint(new TPoint(x0, y));
  }
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
        new TPoint(a->x + std::fabs(b->x - a->x) * 0.5, a->y - std::fabs(b->y - a->y) * 0.5));
  }
  return centres.release();
}
