#include "maptools/TRowFill.h"

namespace {
template <bool Quotients, bool NoDataAware>
void Fill(const TRowFill::TSource& source, const TWalkStation* columns, long count, double* out) {
  for (const TWalkStation* column = columns; column != columns + count; ++column)
    out[column->Cell] = TRowFill::Point<Quotients, NoDataAware>(source, *column, 0);
}
} // namespace

void TRowFill::FromValues(TCornerPolicy policy, double noData, const double* low,
                          const double* high, const TWalkStation& row, const TWalkStation* columns,
                          long count, double* out) {
  const TSource source{row, low, high, nullptr, nullptr, noData};
  if (policy == TCornerPolicy::NoDataAware)
    Fill<false, true>(source, columns, count, out);
  else
    Fill<false, false>(source, columns, count, out);
}

void TRowFill::FromQuotients(TCornerPolicy policy, double noData, const double* low,
                             const double* high, const double* lowQuotients,
                             const double* highQuotients, const TWalkStation& row,
                             const TWalkStation* columns, long count, double* out) {
  const TSource source{row, low, high, lowQuotients, highQuotients, noData};
  if (policy == TCornerPolicy::NoDataAware)
    Fill<true, true>(source, columns, count, out);
  else
    Fill<true, false>(source, columns, count, out);
}
