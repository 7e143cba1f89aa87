#include "maptools/TRowFill.h"

#include "maptools/BilinearFormula.h"

namespace {
template <bool NoDataAware>
void FillFromValues(double noData, const double* low, const double* high, const TWalkStation& row,
                    const TWalkStation* columns, long count, double* out) {
  for (const TWalkStation* column = columns; column != columns + count; ++column) {
    const double Q11 = low[column->Low];
    const double Q21 = low[column->High];
    const double Q12 = high[column->Low];
    const double Q22 = high[column->High];
    out[column->Cell] = CornerValue<NoDataAware>(Q11, Q21, Q12, Q22, noData, [&] {
      return bilinear::Interpolate(Q11, Q21, Q12, Q22, column->At, column->LowCentre,
                                   column->HighCentre, row.At, row.LowCentre, row.HighCentre);
    });
  }
}

template <bool NoDataAware>
void FillFromQuotients(double noData, const double* low, const double* high,
                       const double* lowQuotients, const double* highQuotients,
                       const TWalkStation& row, const TWalkStation* columns, long count,
                       double* out) {
  const double yHigh = row.HighCentre - row.At;
  const double yLow = row.At - row.LowCentre;
  for (const TWalkStation* column = columns; column != columns + count; ++column) {
    const double xHigh = column->HighCentre - column->At;
    const double xLow = column->At - column->LowCentre;
    out[column->Cell] = CornerValue<NoDataAware>(
        low[column->Low], low[column->High], high[column->Low], high[column->High], noData, [&] {
          return bilinear::Combine(lowQuotients[column->Low], lowQuotients[column->High],
                                   highQuotients[column->Low], highQuotients[column->High], xHigh,
                                   xLow, yHigh, yLow);
        });
  }
}
} // namespace

void TRowFill::FromValues(TCornerPolicy policy, double noData, const double* low,
                          const double* high, const TWalkStation& row, const TWalkStation* columns,
                          long count, double* out) {
  if (policy == TCornerPolicy::NoDataAware)
    FillFromValues<true>(noData, low, high, row, columns, count, out);
  else
    FillFromValues<false>(noData, low, high, row, columns, count, out);
}

void TRowFill::FromQuotients(TCornerPolicy policy, double noData, const double* low,
                             const double* high, const double* lowQuotients,
                             const double* highQuotients, const TWalkStation& row,
                             const TWalkStation* columns, long count, double* out) {
  if (policy == TCornerPolicy::NoDataAware)
    FillFromQuotients<true>(noData, low, high, lowQuotients, highQuotients, row, columns, count,
                            out);
  else
    FillFromQuotients<false>(noData, low, high, lowQuotients, highQuotients, row, columns, count,
                             out);
}
