// TPointTools: planar point geometry over TPoint: componentwise maximum and
// minimum, centroids, a trigonometry-free pseudo-angle, triangle areas from
// side lengths, convex polygon areas and convex hulls. Only x and y take part;
// a map point's value is carried along by the hull's copies and nothing else.
//
// Ownership: point and list arguments are only read and stay the caller's.
// Every TPoint* returned (also inside a returned vector) is a new object that
// the caller deletes. Nothing here throws a message of its own; an exhausted
// heap passes on as std::bad_alloc.
#ifndef QUILLMAP_NUMERIC_TPOINTTOOLS_H
#define QUILLMAP_NUMERIC_TPOINTTOOLS_H

#include <vector>

#include "grid/TPoint.h"

class TPointTools {
public:
  // New point with the larger x and the larger y. The second point's ordinate
  // is taken only when it is strictly greater, so on equality or a
  // not-a-number ordinate the first point's ordinate is kept.
  static TPoint* Max(TPoint* a, TPoint* b);
  // New point with the smaller x and y; the same tie rule as Max.
  static TPoint* Min(TPoint* a, TPoint* b);

  // New point at the mean x and mean y, summed in list order. An empty list
  // gives not-a-number in both ordinates.
  static TPoint* FindCentroid(std::vector<TPoint*> points);

  // Pseudo-angle of the direction from b to a, in [0, 360): dy / (|dx| + |dy|)
  // mapped onto the four quadrants and scaled by 90. It grows with the true
  // angle counter-clockwise from +X and equals it at multiples of 45 degrees;
  // the direction of a point to itself is 0.
  static double Theta(TPoint* a, TPoint* b);

  // Area of the triangle abc from its side lengths (Heron). When rounding
  // makes the product under the root negative (points on one line) the area
  // is 0, never not-a-number.
  static double Heron(TPoint* a, TPoint* b, TPoint* c);

  // Sum of the triangles (point k, point k - 1, centroid) for k = 1 .. n - 1,
  // each by Heron. A closed polygon must repeat its first vertex at the end;
  // an open list leaves out the closing triangle. An empty list or a single
  // point gives 0.
  static double FindConvexPolygonArea(std::vector<TPoint*> points);

  // Copies (Clone) of the extreme points of the convex hull, counter-clockwise,
  // starting at the lowest point (the westernmost of several lowest points),
  // the start not repeated at the end. Points on a hull edge between two
  // corners are not corners and are left out; of coincident points the first
  // in the list is copied. One distinct point gives that point, collinear
  // points give the two ends, an empty list gives an empty hull. Points with a
  // not-a-number or infinite ordinate are not locations and are ignored.
  // Package wrapping: O(n h) for n points and h corners.
  static std::vector<TPoint*> FindConvexHull(std::vector<TPoint*> points);
};

#endif
