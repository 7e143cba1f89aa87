// TRowFill: the values of one result row: for each column station in turn,
// the value of the walk point (column, row) from the two source rows the row
// station names, stored into the column station's cell (so the last point in
// a cell decides it, as along the walk); cells no column station names are
// left alone. The value is the bilinear interpolation (BilinearFormula.h)
// under the corner policy (NoDataCorners.h), either from the corner values or
// from their quotients by an area every point shares (TSharedArea); both give
// the same bits.
//
// Station indices address the arrays given: a caller filling part of a row
// passes stations whose cells count from its first column and whose source
// indices count from the first source value it holds. Internal: the
// in-memory walk and the file-to-file resampling fill rows with it. Nothing
// here throws or allocates.
#ifndef QUILLMAP_MAPTOOLS_TROWFILL_H
#define QUILLMAP_MAPTOOLS_TROWFILL_H

#include "maptools/NoDataCorners.h"
#include "maptools/TWalkStation.h"

class TRowFill {
public:
  static void FromValues(TCornerPolicy policy, double noData, const double* low, const double* high,
                         const TWalkStation& row, const TWalkStation* columns, long count,
                         double* out);
  // lowQuotients and highQuotients: the two rows divided by the shared area.
  static void FromQuotients(TCornerPolicy policy, double noData, const double* low,
                            const double* high, const double* lowQuotients,
                            const double* highQuotients, const TWalkStation& row,
                            const TWalkStation* columns, long count, double* out);
};

#endif
