// TPoint: a planar coordinate pair (x west-east, y south-north) in map units.
// TMapPoint: a TPoint that also carries the value of a map cell.
//
// Points are small heap objects handled through TPoint*. Whoever receives a
// point from Clone or from a map lookup owns it and deletes it; deleting a
// TMapPoint through a TPoint* is safe (virtual destructor). Nothing here throws.
#ifndef QUILLMAP_GRID_TPOINT_H
#define QUILLMAP_GRID_TPOINT_H

class TPoint {
public:
  TPoint(double x, double y) : x(x), y(y) {}
  virtual ~TPoint() = default;

  // A new point of the same dynamic type and ordinates; the caller owns it.
  virtual TPoint* Clone();

  // Euclidean distance over x and y only (a map point's value plays no part).
  double Distance(TPoint* o);

  double x;
  double y;

protected:
  TPoint(const TPoint&) = default;
  TPoint& operator=(const TPoint&) = default;
};

class TMapPoint : public TPoint {
public:
  TMapPoint(double x, double y) : TPoint(x, y), value(0.0) {}
  TMapPoint(double x, double y, double value) : TPoint(x, y), value(value) {}

  TPoint* Clone() override;

  double value;
};

#endif
