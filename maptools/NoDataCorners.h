// NoDataCorners: the test of the no-data-aware interpolation, a pure function
// of the four corner values of one walk point and the source's no-data value.
// A corner counts as no-data when it equals that value or is not a number
// (which also covers a no-data value that is itself not a number). Internal:
// the one corner test of every way TBilinearWalk fills a grid.
#ifndef QUILLMAP_MAPTOOLS_NODATACORNERS_H
#define QUILLMAP_MAPTOOLS_NODATACORNERS_H

inline bool IsNoDataCorner(double value, double noData) {
  return value == noData || value != value;
}

inline bool AnyNoDataCorner(double Q11, double Q21, double Q12, double Q22, double noData) {
  return IsNoDataCorner(Q11, noData) || IsNoDataCorner(Q21, noData) ||
         IsNoDataCorner(Q12, noData) || IsNoDataCorner(Q22, noData);
}

#endif
