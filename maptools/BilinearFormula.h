// The bilinear interpolation formula, written once for every form of
// TMapTools::BilinearInterpolate: the public number form (and through it the
// point form), and both ways TBilinearWalk fills a grid, point by point and
// from quotients precomputed per source row.
//
// Between four corner values Q11 at (x1, y1), Q21 at (x2, y1), Q12 at
// (x1, y2) and Q22 at (x2, y2), the value at (x, y) is
//   Q11 / A * (x2 - x) * (y2 - y) + Q21 / A * (x - x1) * (y2 - y)
//   + Q12 / A * (x2 - x) * (y - y1) + Q22 / A * (x - x1) * (y - y1)
// with A = (x2 - x1) * (y2 - y1), evaluated left to right exactly as written
// (no fused multiply-add), so every caller gets the same bits. Combine is the
// sum alone, over corner quotients Q / A that a caller may compute ahead.
#ifndef QUILLMAP_MAPTOOLS_BILINEARFORMULA_H
#define QUILLMAP_MAPTOOLS_BILINEARFORMULA_H

namespace bilinear {

// A, the area of the cell between the four corners.
inline double Area(double x1, double x2, double y1, double y2) {
  return (x2 - x1) * (y2 - y1);
}

// The sum of the corner quotients q = Q / A times their weights: xHigh is
// x2 - x, xLow is x - x1, yHigh is y2 - y, yLow is y - y1.
inline double Combine(double q11, double q21, double q12, double q22, double xHigh, double xLow,
                      double yHigh, double yLow) {
  return q11 * xHigh * yHigh + q21 * xLow * yHigh + q12 * xHigh * yLow + q22 * xLow * yLow;
}

inline double Interpolate(double Q11, double Q21, double Q12, double Q22, double x, double x1,
                          double x2, double y, double y1, double y2) {
  const double A = Area(x1, x2, y1, y2);
  return Combine(Q11 / A, Q21 / A, Q12 / A, Q22 / A, x2 - x, x - x1, y2 - y, y - y1);
}

} // namespace bilinear

#endif
