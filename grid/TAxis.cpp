#include "grid/TAxis.h"

#include <algorithm>
#include <memory>

#include "grid/GridMessages.h"

namespace {
const char* const kSetPointRange = "Index is out of range in TAxis::SetPoint";
const char* const kSegmentStart = "Start index is out of range in TAxis::GetSegment";
const char* const kSegmentEnd = "End index is out of range in TAxis::GetSegment";
const char* const kSegmentOrder = "Start index is greater than end index in TAxis::GetSegment";
} // namespace

TAxis::TAxis(double resolution) : MbrDblResolution(resolution) {}

TAxis::TAxis(double resolution, long size)
    : MbrDblResolution(resolution), MbrVecPoints(size > 0 ? size : 0, nullptr) {}

TAxis::~TAxis() {
  for (TPoint* point : MbrVecPoints)
    delete point;
}

void TAxis::AddPoint(TPoint* point) {
  std::unique_ptr<TPoint> owned(point);
  MbrVecPoints.push_back(point);
  owned.release();
}

long TAxis::GetSize() {
  return static_cast<long>(MbrVecPoints.size());
}

TPoint* TAxis::GetPoint(long index) {
  if (index < 0 || index >= GetSize())
    throw kGetPointRange;
  return MbrVecPoints[index];
}

void TAxis::SetPoint(long index, TPoint* point) {
  if (index < 0 || index >= GetSize())
    throw kSetPointRange;
  if (MbrVecPoints[index] != point) {
    delete MbrVecPoints[index];
    MbrVecPoints[index] = point;
  }
}

TAxis* TAxis::Clone() {
  auto copy = std::make_unique<TAxis>(MbrDblResolution, GetSize());
  for (std::size_t i = 0; i < MbrVecPoints.size(); ++i)
    if (MbrVecPoints[i] != nullptr)
      copy->MbrVecPoints[i] = MbrVecPoints[i]->Clone();
  return copy.release();
}

long TAxis::GetIndex(double ordinate, char selector) {
  const long n = GetSize();
  if (n < 2 || std::find(MbrVecPoints.begin(), MbrVecPoints.end(), nullptr) != MbrVecPoints.end())
    throw kOrdinateRange;
  const double first = Ordinate(MbrVecPoints.front(), selector);
  const double last = Ordinate(MbrVecPoints.back(), selector);
  const double lo = std::min(first, last);
  const double hi = std::max(first, last);
  if (ordinate < lo || ordinate > hi)
    throw kOrdinateRange;
  // The first segment that holds the ordinate, closed at its lower end; only
  // the larger end ordinate of the axis falls in none, and it gets the first
  // segment whose upper end it is.
  long upperEnd = -1;
  double a = first;
  for (long i = 0; i + 1 < n; ++i) {
    const double b = Ordinate(MbrVecPoints[i + 1], selector);
    const double low = std::min(a, b);
    const double high = std::max(a, b);
    if (low <= ordinate && ordinate < high)
      return i;
    if (upperEnd < 0 && low < ordinate && ordinate == high)
      upperEnd = i;
    a = b;
  }
  if (upperEnd >= 0)
    return upperEnd;
  throw kOrdinateRange;
}

TAxis* TAxis::GetSegment(long start, long end) {
  if (start < 0 || start >= GetSize())
    throw kSegmentStart;
  if (end < 0 || end >= GetSize())
    throw kSegmentEnd;
  if (start > end)
    throw kSegmentOrder;
  auto segment = std::make_unique<TAxis>(MbrDblResolution, end - start + 1);
  for (long i = start; i <= end; ++i)
    if (MbrVecPoints[i] != nullptr)
      segment->MbrVecPoints[i - start] = MbrVecPoints[i]->Clone();
  return segment.release();
}

TAxis* TAxis::GetSegment(TPoint* start, TPoint* end, char selector) {
  const long first = GetIndex(Ordinate(start, selector), selector);
  const long last = GetIndex(Ordinate(end, selector), selector);
  return GetSegment(first, last);
}
