#include "pipeline/TBandWalk.h"

#include <algorithm>

#include "maptools/TRowFill.h"
#include "pipeline/TWalkAxisPlan.h"

namespace {
// Moves the cursor past the stations of rows up to `row`; true, with the
// last station of `row`, where there is one.
bool DecidingStation(TRowPlan::TCursor& rows, long row, TWalkStation& deciding) {
  bool found = false;
  for (; !rows.AtEnd() && rows.Station().Cell <= row; rows.Advance())
    if (rows.Station().Cell == row) {
      deciding = rows.Station();
      found = true;
    }
  return found;
}
} // namespace

TBandWalk::TBandWalk(const TWalkPlan& plan, const TGridSource& source)
    : MbrRefPlan(plan), MbrRefSource(source) {}

bool TBandWalk::TakeColumns(long first, long end) {
  if (first == MbrLngFirstColumn && end == MbrLngEndColumn)
    return !MbrVecColumns.empty();
  MbrLngFirstColumn = first;
  MbrLngEndColumn = end;
  MbrVecColumns.clear();
  // Other columns read other source columns.
  MbrPtrReader.reset();
  MbrCache.reset();
  // Cells and pairs only move east along the walk: the first station has
  // the lowest source column, the last the highest.
  for (TColumnPlan::TCursor columns(MbrRefPlan.Columns(), first);
       !columns.AtEnd() && columns.Station().Cell < end; columns.Advance()) {
    if (MbrVecColumns.empty())
      MbrLngLowColumn = columns.Station().Low;
    MbrVecColumns.push_back(columns.Station());
    TWalkStation& column = MbrVecColumns.back();
    column.Cell -= first;
    column.Low -= MbrLngLowColumn;
    column.High -= MbrLngLowColumn;
  }
  if (MbrVecColumns.empty())
    return false;
  MbrLngEndSourceColumn = MbrVecColumns.back().High + MbrLngLowColumn + 1;
  return true;
}

void TBandWalk::Produce(const TBlock& block, TBandEncoder& encoder) {
  const double noData = MbrRefPlan.Source().NoData;
  MbrVecValues.resize(static_cast<std::size_t>(block.Width()));
  if (MbrRows)
    MbrRows->MoveTo(block.FirstRow, MbrLngRowsPassed);
  else
    MbrRows.emplace(MbrRefPlan.Rows(), block.FirstRow);
  MbrLngRowsPassed = block.EndRow;
  const auto read = [this](long row, double* buffer) { return MbrPtrReader->Row(row, buffer); };
  TWalkStation row;
  encoder.Begin(block);
  for (long d = block.FirstRow; d < block.EndRow; ++d) {
    std::fill(MbrVecValues.begin(), MbrVecValues.end(), noData);
    // Rows without a walk point, and rows of blocks without one, hold the
    // no-data value: their columns are never resolved.
    if (DecidingStation(*MbrRows, d, row) && TakeColumns(block.FirstColumn, block.EndColumn)) {
      if (!MbrPtrReader) {
        MbrPtrReader = MbrRefSource.Rows(row.Low, MbrLngLowColumn, MbrLngEndSourceColumn);
        MbrCache.emplace(MbrLngEndSourceColumn - MbrLngLowColumn, true, MbrRefPlan.UsesQuotients(),
                         MbrRefPlan.Area());
      }
      // The lower row first: rows are read in file order.
      const TRowPairCache::TRow low = MbrCache->Get(row.Low, row.High, read);
      const TRowPairCache::TRow high = MbrCache->Get(row.High, row.Low, read);
      const long count = static_cast<long>(MbrVecColumns.size());
      if (MbrRefPlan.UsesQuotients())
        TRowFill::FromQuotients(MbrRefPlan.Policy(), noData, low.Values, high.Values, low.Quotients,
                                high.Quotients, row, MbrVecColumns.data(), count,
                                MbrVecValues.data());
      else
        TRowFill::FromValues(MbrRefPlan.Policy(), noData, low.Values, high.Values, row,
                             MbrVecColumns.data(), count, MbrVecValues.data());
    }
    encoder.Row(MbrVecValues.data());
  }
  encoder.End();
}
