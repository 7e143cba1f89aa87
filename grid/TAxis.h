// TAxis: the ordered coordinates along one direction of a map, either one
// point per cell centre or one point per cell edge, with the cell size
// (MbrDblResolution). An axis is read through one ordinate chosen by a selector
// character: 'X' reads x, any other character (by convention 'Y') reads y.
//
// Invariants: in every map the X axes ascend west to east and the Y axes
// descend north to south; GetIndex relies on the points being monotonic in the
// selected ordinate. A slot may be null until SetPoint fills it.
//
// Ownership: the axis owns every point stored in it and deletes them when it
// is destroyed; GetPoint hands out a pointer that stays the axis's. Clone and
// GetSegment return new axes that the caller owns. Axes are not copyable.
//
// Throws (as const char*): "Index is out of range in TAxis::GetPoint",
// "Index is out of range in TAxis::SetPoint", "Ordinate is out of range in
// TAxis::GetIndex", "Start index is out of range in TAxis::GetSegment",
// "End index is out of range in TAxis::GetSegment", "Start index is greater
// than end index in TAxis::GetSegment". A failed operation leaves the axis as
// it was.
#ifndef QUILLMAP_GRID_TAXIS_H
#define QUILLMAP_GRID_TAXIS_H

#include <vector>

#include "grid/TPoint.h"

class TAxis {
public:
  explicit TAxis(double resolution);
  // An axis of `size` empty slots, to be filled with SetPoint.
  TAxis(double resolution, long size);
  ~TAxis();
  TAxis(const TAxis&) = delete;
  TAxis& operator=(const TAxis&) = delete;

  // Appends the point; the axis takes ownership.
  void AddPoint(TPoint* point);
  long GetSize();
  TPoint* GetPoint(long index);
  // Stores the point at the index and deletes the one it replaces; storing the
  // point already held there keeps it.
  void SetPoint(long index, TPoint* point);
  // Deep copy: each point is cloned, so a TMapPoint stays a TMapPoint.
  TAxis* Clone();

  // The segment (the stretch between point i and point i + 1) that holds the
  // ordinate: the first segment i in index order with
  // min(o(i), o(i+1)) <= v < max(o(i), o(i+1)). An ordinate equal to the larger
  // end ordinate of the axis belongs to the segment that ends there (the last
  // column of an ascending X axis, row 0 of a descending Y axis). An ordinate
  // outside the two end points, a not-a-number ordinate, and an axis of fewer
  // than two points fail with "Ordinate is out of range in TAxis::GetIndex".
  long GetIndex(double ordinate, char selector);

  // Clones of the points from start to end, both included.
  TAxis* GetSegment(long start, long end);
  // The segment between the indices of the two points' ordinates, the first
  // point's looked up first.
  TAxis* GetSegment(TPoint* start, TPoint* end, char selector);

  // The ordinate the selector reads: x for 'X', y for anything else.
  static double Ordinate(const TPoint* point, char selector) {
    return selector == 'X' ? point->x : point->y;
  }

  double MbrDblResolution;
  std::vector<TPoint*> MbrVecPoints;
};

#endif
