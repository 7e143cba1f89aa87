// TAxisLookup: a read-only snapshot of one ordinate of an axis, for bulk
// lookups (resampling walks, cell-wise arithmetic, point tables).
//
// GetIndex gives exactly the result of TAxis::GetIndex on the same axis and
// selector, failures included: when the ordinates are strictly monotonic the
// first-match scan has a single answer, found here by binary search (or in
// O(1) from a hint); otherwise, and for every failure, the call is handed to
// TAxis::GetIndex itself, which also supplies the message.
//
// Ownership: the axis stays the caller's and must outlive the lookup and stay
// unchanged while it is used. Throws what TAxis::GetIndex throws.
#ifndef QUILLMAP_GRID_TAXISLOOKUP_H
#define QUILLMAP_GRID_TAXISLOOKUP_H

#include <vector>

#include "grid/TAxis.h"

class TAxisLookup {
public:
  TAxisLookup(TAxis* axis, char selector);

  long GetIndex(double ordinate) const;
  // The same answer as GetIndex, in O(1) when the segment is the hint or one
  // of its two neighbours (a hint outside the axis is ignored).
  long GetIndex(double ordinate, long hint) const;

  bool IsMonotonic() const { return MbrIntDirection != 0; }
  bool IsAscending() const { return MbrIntDirection > 0; }
  long GetSize() const { return static_cast<long>(MbrVecOrdinates.size()); }
  double Ordinate(long index) const { return MbrVecOrdinates[index]; }

private:
  bool SegmentHolds(long segment, double ordinate) const;

  TAxis* MbrPtrAxis;
  char MbrChrSelector;
  std::vector<double> MbrVecOrdinates;
  // +1 strictly ascending, -1 strictly descending, 0 otherwise (or fewer than
  // two points, or an empty slot).
  int MbrIntDirection;
};

#endif
