#include "grid/TAxisLookup.h"

#include <algorithm>

TAxisLookup::TAxisLookup(TAxis* axis, char selector)
    : MbrPtrAxis(axis), MbrChrSelector(selector), MbrIntDirection(0) {
  MbrVecOrdinates.reserve(axis->MbrVecPoints.size());
  for (const TPoint* point : axis->MbrVecPoints) {
    if (point == nullptr)
      return;
    MbrVecOrdinates.push_back(TAxis::Ordinate(point, selector));
  }
  const long n = GetSize();
  if (n < 2)
    return;
  bool ascending = true;
  bool descending = true;
  for (long i = 0; i + 1 < n; ++i) {
    ascending = ascending && MbrVecOrdinates[i] < MbrVecOrdinates[i + 1];
    descending = descending && MbrVecOrdinates[i] > MbrVecOrdinates[i + 1];
  }
  MbrIntDirection = ascending ? 1 : (descending ? -1 : 0);
}

bool TAxisLookup::SegmentHolds(long segment, double ordinate) const {
  const long last = GetSize() - 2;
  if (segment < 0 || segment > last)
    return false;
  double lo = MbrVecOrdinates[segment];
  double hi = MbrVecOrdinates[segment + 1];
  bool closedAtTop = segment == last;
  if (MbrIntDirection < 0) {
    std::swap(lo, hi);
    closedAtTop = segment == 0;
  }
  return lo <= ordinate && (ordinate < hi || (closedAtTop && ordinate == hi));
}

long TAxisLookup::GetIndex(double ordinate) const {
  const long n = GetSize();
  if (MbrIntDirection == 0 ||
      !(ordinate >= std::min(MbrVecOrdinates.front(), MbrVecOrdinates.back()) &&
        ordinate <= std::max(MbrVecOrdinates.front(), MbrVecOrdinates.back())))
    return MbrPtrAxis->GetIndex(ordinate, MbrChrSelector);
  long segment = 0;
  if (MbrIntDirection > 0)
    segment = std::upper_bound(MbrVecOrdinates.begin(), MbrVecOrdinates.end(), ordinate) -
              MbrVecOrdinates.begin() - 1;
  else
    segment = std::partition_point(MbrVecOrdinates.begin(), MbrVecOrdinates.end(),
                                   [ordinate](double o) { return o > ordinate; }) -
              MbrVecOrdinates.begin() - 1;
  return std::clamp(segment, 0L, n - 2);
}

long TAxisLookup::GetIndex(double ordinate, long hint) const {
  if (MbrIntDirection != 0) {
    for (long segment : {hint, hint + 1, hint - 1})
      if (SegmentHolds(segment, ordinate))
        return segment;
  }
  return GetIndex(ordinate);
}
