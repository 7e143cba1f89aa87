// NoDataCorners: the test of the no-data-aware interpolation, a pure function
// of the four corner values of one walk point and the source's no-data value,
// and the choice it makes. A corner counts as no-data when it equals that
// value or is not a number (which also covers a no-data value that is itself
// not a number). Internal: the one corner test and the one choice of every
// way a walk fills a grid (point by point, from the corner values, from
// their quotients).
#ifndef QUILLMAP_MAPTOOLS_NODATACORNERS_H
#define QUILLMAP_MAPTOOLS_NODATACORNERS_H

// Whether the walk tests the corners (TMapTools::BilinearInterpolateNoDataAware)
// or not (TMapTools::BilinearInterpolate).
enum class TCornerPolicy { Plain, NoDataAware };

inline bool IsNoDataCorner(double value, double noData) {
  return value == noData || value != value;
}

inline bool AnyNoDataCorner(double Q11, double Q21, double Q12, double Q22, double noData) {
  return IsNoDataCorner(Q11, noData) || IsNoDataCorner(Q21, noData) ||
         IsNoDataCorner(Q12, noData) || IsNoDataCorner(Q22, noData);
}

// What a walk point stores: interpolate(), or, under the no-data-aware
// policy, the no-data value where one of its corners is no-data.
template <bool NoDataAware, class TInterpolate>
inline double CornerValue(double Q11, double Q21, double Q12, double Q22, double noData,
                          TInterpolate interpolate) {
  if (NoDataAware && AnyNoDataCorner(Q11, Q21, Q12, Q22, noData))
    return noData;
  return interpolate();
}

#endif
