#include "numeric/TPointTools.h"

#include <cmath>
#include <cstddef>
#include <memory>

namespace {
bool IsLocation(const TPoint* p) {
  return std::isfinite(p->x) && std::isfinite(p->y);
}

bool SameLocation(const TPoint* a, const TPoint* b) {
  return a->x == b->x && a->y == b->y;
}

// Positive when c lies left of the directed line a -> b, negative when right.
double Turn(const TPoint* a, const TPoint* b, const TPoint* c) {
  return (b->x - a->x) * (c->y - a->y) - (b->y - a->y) * (c->x - a->x);
}

double SquaredDistance(const TPoint* a, const TPoint* b) {
  const double dx = b->x - a->x;
  const double dy = b->y - a->y;
  return dx * dx + dy * dy;
}

// The lowest point, the westernmost of several; of coincident ones the first.
std::size_t LowestPoint(const std::vector<TPoint*>& points) {
  std::size_t lowest = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const TPoint* p = points[i];
    const TPoint* best = points[lowest];
    if (p->y < best->y || (p->y == best->y && p->x < best->x))
      lowest = i;
  }
  return lowest;
}

// The corner that follows `current` counter-clockwise: the point with no other
// point to its right as seen from `current`, the farthest one when several
// lie on that line. Returns points.size() when every point sits on `current`.
std::size_t NextCorner(const std::vector<TPoint*>& points, std::size_t current) {
  const TPoint* from = points[current];
  std::size_t best = points.size();
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (SameLocation(points[i], from))
      continue;
    if (best == points.size()) {
      best = i;
      continue;
    }
    const double turn = Turn(from, points[best], points[i]);
    if (turn < 0 ||
        (turn == 0 && SquaredDistance(from, points[i]) > SquaredDistance(from, points[best])))
      best = i;
  }
  return best;
}
} // namespace

TPoint* TPointTools::Max(TPoint* a, TPoint* b) {
  return new TPoint(b->x > a->x ? b->x : a->x, b->y > a->y ? b->y : a->y);
}

TPoint* TPointTools::Min(TPoint* a, TPoint* b) {
  return new TPoint(b->x < a->x ? b->x : a->x, b->y < a->y ? b->y : a->y);
}

TPoint* TPointTools::FindCentroid(std::vector<TPoint*> points) {
  double sumX = 0.0;
  double sumY = 0.0;
  for (const TPoint* p : points) {
    sumX += p->x;
    sumY += p->y;
  }
  const double count = static_cast<double>(points.size());
  return new TPoint(sumX / count, sumY / count);
}

double TPointTools::Theta(TPoint* a, TPoint* b) {
  const double dx = a->x - b->x;
  const double dy = a->y - b->y;
  double t = 0.0;
  if (!(dx == 0.0 && dy == 0.0))
    t = dy / (std::fabs(dx) + std::fabs(dy));
  if (dx < 0.0)
    t = 2.0 - t;
  else if (dy < 0.0)
    t = t + 4.0;
  return t * 90.0;
}

double TPointTools::Heron(TPoint* a, TPoint* b, TPoint* c) {
  const double d1 = a->Distance(b);
  const double d2 = a->Distance(c);
  const double d3 = b->Distance(c);
  const double s = (d1 + d2 + d3) * 0.5;
  const double product = s * (s - d1) * (s - d2) * (s - d3);
  return product < 0.0 ? 0.0 : std::sqrt(product);
}

double TPointTools::FindConvexPolygonArea(std::vector<TPoint*> points) {
  if (points.empty())
    return 0.0;
  std::unique_ptr<TPoint> centroid(FindCentroid(points));
  double area = 0.0;
  for (std::size_t k = 1; k < points.size(); ++k)
    area += Heron(points[k], points[k - 1], centroid.get());
  return area;
}

std::vector<TPoint*> TPointTools::FindConvexHull(std::vector<TPoint*> points) {
  std::vector<TPoint*> locations;
  locations.reserve(points.size());
  for (TPoint* p : points)
    if (IsLocation(p))
      locations.push_back(p);
  if (locations.empty())
    return {};

  std::vector<std::unique_ptr<TPoint>> hull;
  const std::size_t start = LowestPoint(locations);
  std::size_t current = start;
  // A hull has at most as many corners as there are points, which also bounds
  // the walk should rounding ever make the turns inconsistent.
  while (hull.size() < locations.size()) {
    hull.emplace_back(locations[current]->Clone());
    const std::size_t next = NextCorner(locations, current);
    if (next == locations.size() || SameLocation(locations[next], locations[start]))
      break;
    current = next;
  }

  std::vector<TPoint*> corners;
  corners.reserve(hull.size());
  for (std::unique_ptr<TPoint>& corner : hull)
    corners.push_back(corner.release());
  return corners;
}
