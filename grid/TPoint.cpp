#include "grid/TPoint.h"

#include <cmath>

TPoint* TPoint::Clone() {
  return new TPoint(x, y);
}

double TPoint::Distance(TPoint* o) {
  const double dx = x - o->x;
  const double dy = y - o->y;
  return std::sqrt(dx * dx + dy * dy);
}

TPoint* TMapPoint::Clone() {
  return new TMapPoint(x, y, value);
}
