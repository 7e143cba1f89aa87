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

#include "maptools/BilinearFormula.h"
#include "maptools/NoDataCorners.h"
#include "maptools/TWalkStation.h"

class TRowFill {
public:
  // What one result row is filled from: its row station, the two source
  // rows it names (with their quotients by the shared area, when filled
  // from quotients; the rows themselves may then be null under the plain
  // policy) and the source's no-data value.
  struct TSource {
    const TWalkStation& Row;
    const double* Low;
    const double* High;
    const double* LowQuotients;
    const double* HighQuotients;
    double NoData;
  };

  // The value of the walk point of a column station and the row station,
  // the column's source indices counted from `first`: the one formula of
  // every fill, for callers that stream their column stations.
  template <bool Quotients, bool NoDataAware>
  static double Point(const TSource& source, const TWalkStation& column, long first) {
    const TWalkStation& row = source.Row;
    const long low = column.Low - first;
    const long high = column.High - first;
    const auto fromQuotients = [&] {
      return bilinear::Combine(source.LowQuotients[low], source.LowQuotients[high],
                               source.HighQuotients[low], source.HighQuotients[high],
                               column.HighCentre - column.At, column.At - column.LowCentre,
                               row.HighCentre - row.At, row.At - row.LowCentre);
    };
    // Only the no-data test reads the values beside their quotients.
    if (Quotients && !NoDataAware)
      return fromQuotients();
    const double Q11 = source.Low[low];
    const double Q21 = source.Low[high];
    const double Q12 = source.High[low];
    const double Q22 = source.High[high];
    return CornerValue<NoDataAware>(Q11, Q21, Q12, Q22, source.NoData, [&] {
      if (Quotients)
        return fromQuotients();
      return bilinear::Interpolate(Q11, Q21, Q12, Q22, column.At, column.LowCentre,
                                   column.HighCentre, row.At, row.LowCentre, row.HighCentre);
    });
  }

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
