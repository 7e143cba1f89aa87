#include "pipeline/TBandWalk.h"

#include <algorithm>
#include <mutex>

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
// Streams the column stations of [first, end) from the cursor into the
// values of one row.
template <bool Quotients, bool NoDataAware>
void FillStreamed(TColumnPlan::TCursor& columns, long first, long end,
                  const TRowFill::TSource& source, long firstSource, double* out) {
  for (; !columns.AtEnd() && columns.Station().Cell < end; columns.Advance()) {
    const TWalkStation& column = columns.Station();
    out[column.Cell - first] = TRowFill::Point<Quotients, NoDataAware>(source, column, firstSource);
  }
}
} // namespace

TBandWalk::TBandWalk(const TWalkPlan& plan, const TGridSource& source, TRunRowCache* runRows)
    : MbrRefPlan(plan), MbrRefSource(source), MbrPtrRunRows(runRows) {}

void TBandWalk::UseSourceColumns(long low, long end) {
  if (low == MbrLngLowColumn && end == MbrLngEndSourceColumn)
    return;
  MbrBlnRestart = MbrPtrReader != nullptr;
  MbrLngLowColumn = low;
  MbrLngEndSourceColumn = end;
}

TSourceRows& TBandWalk::ReaderFrom(long firstRow) {
  if (!MbrPtrReader) {
    MbrPtrReader = MbrRefSource.Rows(firstRow, MbrLngLowColumn, MbrLngEndSourceColumn);
    MbrCache.emplace(MbrLngEndSourceColumn - MbrLngLowColumn, true, MbrRefPlan.UsesQuotients(),
                     MbrRefPlan.Area());
  } else if (MbrBlnRestart) {
    // Other source columns: the same reader and buffers, turned to them.
    MbrPtrReader->Restart(firstRow, MbrLngLowColumn, MbrLngEndSourceColumn);
    MbrCache->Resize(MbrLngEndSourceColumn - MbrLngLowColumn);
  }
  MbrBlnRestart = false;
  return *MbrPtrReader;
}

TRowFill::TSource TBandWalk::SourceRowsOf(const TWalkStation& row) {
  TSourceRows& reader = ReaderFrom(row.Low);
  const auto read = [this, &reader](long index, double* buffer) {
    MbrLngLastRow = index;
    return reader.Row(index, buffer);
  };
  // The lower row first: rows are read in file order.
  const TRowPairCache::TRow low = MbrCache->Get(row.Low, row.High, read);
  const TRowPairCache::TRow high = MbrCache->Get(row.High, row.Low, read);
  return TRowFill::TSource{row,           low.Values,     high.Values,
                           low.Quotients, high.Quotients, MbrRefPlan.Source().NoData};
}

TRowFill::TSource TBandWalk::SlotRowsOf(TRunRowCache::TSlot& slot, const TWalkStation& row) {
  MbrVecScratch.resize(static_cast<std::size_t>(slot.Width()));
  // Only the rows the slot lacks are read, and in file order: rows only move
  // south from one result row to the next.
  const auto read = [this](long index, double* buffer) {
    // Two runs may read the same source columns: the reader turns back to
    // the rows another run's slot needs.
    if (index < MbrLngLastRow)
      MbrBlnRestart = MbrPtrReader != nullptr;
    MbrLngLastRow = index;
    return ReaderFrom(index).Row(index, buffer);
  };
  const TRowPairCache::TRow low = slot.Get(row.Low, row.High, read, MbrVecScratch.data());
  const TRowPairCache::TRow high = slot.Get(row.High, row.Low, read, MbrVecScratch.data());
  return TRowFill::TSource{row,           low.Values,     high.Values,
                           low.Quotients, high.Quotients, MbrRefPlan.Source().NoData};
}

void TBandWalk::FillRun(const TBlock& block, const TWalkStation& row, double* out) {
  // No other block of this worker has these columns in this row: nothing
  // is kept but in the run's slot.
  MbrLngFirstColumn = MbrLngEndColumn = -1;
  TRunRowCache::TSlot* slot = MbrPtrRunRows ? MbrPtrRunRows->SlotOf(block) : nullptr;
  long low = 0, end = 0;
  if (slot) {
    low = slot->Low();
    end = slot->High();
  } else if (!MbrRefPlan.SourceColumnsOf(block.FirstColumn, block.EndColumn, low, end))
    return;
  UseSourceColumns(low, end);
  if (!slot) {
    StreamRun(block, SourceRowsOf(row), low, out);
    return;
  }
  const std::lock_guard<std::mutex> hold(slot->Mutex());
  StreamRun(block, SlotRowsOf(*slot, row), low, out);
}

void TBandWalk::StreamRun(const TBlock& block, const TRowFill::TSource& source, long low,
                          double* out) {
  TColumnPlan::TCursor columns(MbrRefPlan.Columns(), block.FirstColumn);
  const bool noDataAware = MbrRefPlan.Policy() == TCornerPolicy::NoDataAware;
  if (MbrRefPlan.UsesQuotients())
    noDataAware
        ? FillStreamed<true, true>(columns, block.FirstColumn, block.EndColumn, source, low, out)
        : FillStreamed<true, false>(columns, block.FirstColumn, block.EndColumn, source, low, out);
  else
    noDataAware
        ? FillStreamed<false, true>(columns, block.FirstColumn, block.EndColumn, source, low, out)
        : FillStreamed<false, false>(columns, block.FirstColumn, block.EndColumn, source, low, out);
}

bool TBandWalk::TakeColumns(long first, long end) {
  if (first == MbrLngFirstColumn && end == MbrLngEndColumn)
    return !MbrVecColumns.empty();
  MbrLngFirstColumn = first;
  MbrLngEndColumn = end;
  MbrVecColumns.clear();
  // Cells and pairs only move east along the walk: the first station has
  // the lowest source column, the last the highest.
  long low = 0;
  for (TColumnPlan::TCursor columns(MbrRefPlan.Columns(), first);
       !columns.AtEnd() && columns.Station().Cell < end; columns.Advance()) {
    if (MbrVecColumns.empty())
      low = columns.Station().Low;
    MbrVecColumns.push_back(columns.Station());
    TWalkStation& column = MbrVecColumns.back();
    column.Cell -= first;
    column.Low -= low;
    column.High -= low;
  }
  if (MbrVecColumns.empty())
    return false;
  TakeGaps(end - first);
  UseSourceColumns(low, MbrVecColumns.back().High + low + 1);
  return true;
}

void TBandWalk::TakeGaps(long width) {
  MbrVecGaps.clear();
  long next = 0;
  for (const TWalkStation& column : MbrVecColumns) {
    if (column.Cell > next)
      MbrVecGaps.emplace_back(next, std::min(column.Cell, width));
    next = std::max(next, column.Cell + 1);
  }
  if (next < width)
    MbrVecGaps.emplace_back(next, width);
}

void TBandWalk::Produce(const TBlock& block, TBandEncoder& encoder) {
  const double noData = MbrRefPlan.Source().NoData;
  MbrVecValues.resize(static_cast<std::size_t>(block.Width()));
  if (MbrRows)
    MbrRows->MoveTo(block.FirstRow, MbrLngRowsPassed);
  else
    MbrRows.emplace(MbrRefPlan.Rows(), block.FirstRow);
  MbrLngRowsPassed = block.EndRow;
  // A run of columns of one row streams its column stations: no other block
  // needs them.
  const bool run = block.Height() == 1 && !(block.FirstColumn == 0 && block.EndsRows);
  TWalkStation row;
  encoder.Begin(block);
  for (long d = block.FirstRow; d < block.EndRow; ++d) {
    double* values = encoder.RowRoom();
    if (values == nullptr)
      values = MbrVecValues.data();
    // Rows without a walk point, and rows of blocks without one, hold the
    // no-data value: their columns are never resolved. Where column
    // stations fill the row, only the cells they do not name get it.
    const bool decided = DecidingStation(*MbrRows, d, row);
    if (decided && !run && TakeColumns(block.FirstColumn, block.EndColumn)) {
      for (const std::pair<long, long>& gap : MbrVecGaps)
        std::fill(values + gap.first, values + gap.second, noData);
      FillColumns(row, values);
    } else {
      std::fill(values, values + block.Width(), noData);
      if (decided && run)
        FillRun(block, row, values);
    }
    encoder.Row(values);
  }
  encoder.End();
}

void TBandWalk::FillColumns(const TWalkStation& row, double* out) {
  const TRowFill::TSource source = SourceRowsOf(row);
  const long count = static_cast<long>(MbrVecColumns.size());
  if (MbrRefPlan.UsesQuotients())
    TRowFill::FromQuotients(MbrRefPlan.Policy(), source.NoData, source.Low, source.High,
                            source.LowQuotients, source.HighQuotients, row, MbrVecColumns.data(),
                            count, out);
  else
    TRowFill::FromValues(MbrRefPlan.Policy(), source.NoData, source.Low, source.High, row,
                         MbrVecColumns.data(), count, out);
}
