#include "pipeline/TKeptResult.h"

#include <algorithm>
#include <cstring>

#include "pipeline/TBandWalk.h"

// The rows a walk produces, written in the kept values.
class TKeptResult::TFiller : public TBandEncoder {
public:
  explicit TFiller(TKeptResult& kept) : MbrRefKept(kept) {}
  void Begin(const TBlock& block) override {
    MbrLngRow = block.FirstRow;
    MbrLngWidth = block.Width();
  }
  double* RowRoom() override { return MbrRefKept.RowAt(MbrLngRow); }
  void Row(const double* values) override {
    double* row = MbrRefKept.RowAt(MbrLngRow++);
    if (values != row)
      std::memcpy(row, values, static_cast<std::size_t>(MbrLngWidth) * sizeof(double));
  }
  void End() override {}

private:
  TKeptResult& MbrRefKept;
  long MbrLngRow = 0;
  long MbrLngWidth = 0;
};

TKeptResult::TKeptResult(const TWalkPlan& plan)
    : MbrRefPlan(plan), MbrLngRows(plan.Result().Rows),
      MbrRowBounds(
          TLargeBlock::WholePages(2 * static_cast<std::size_t>(MbrLngRows) * sizeof(long))),
      MbrPtrKeys(static_cast<long*>(MbrRowBounds.Data())), MbrPtrEnds(MbrPtrKeys + MbrLngRows) {
  const TGridGeometry& result = plan.Result();
  const std::size_t rows = static_cast<std::size_t>(result.Rows);
  std::fill_n(MbrPtrKeys, rows, -1L);
  std::fill_n(MbrPtrEnds, rows, 0L);
  // The last station of a row decides it.
  for (TRowPlan::TCursor stations(plan.Rows(), 0); !stations.AtEnd(); stations.Advance()) {
    const TWalkStation& station = stations.Station();
    if (station.Fails() || station.Cell < 0 || station.Cell >= result.Rows)
      return;
    const std::size_t row = static_cast<std::size_t>(station.Cell);
    MbrPtrKeys[row] = std::min(station.Low, station.High);
    MbrPtrEnds[row] = std::max(station.Low, station.High) + 1;
  }
  long key = 0;
  for (long row = 0; row < MbrLngRows; ++row) {
    long& rowKey = MbrPtrKeys[row];
    if (rowKey < 0)
      rowKey = key;
    if (rowKey < key)
      return;
    key = rowKey;
  }
  MbrBlock.emplace(
      TLargeBlock::WholePages(rows * static_cast<std::size_t>(result.Columns) * sizeof(double)));
  MbrPtrValues = static_cast<double*>(MbrBlock->Data());
  MbrBlnHolds = true;
}

double TKeptResult::Bytes(const TGridGeometry& result) {
  const double rows = static_cast<double>(result.Rows);
  // Whole huge pages take less than one more for each block.
  return rows * static_cast<double>(result.Columns) * sizeof(double) + rows * 2 * sizeof(long) +
         2 * TLargeBlock::kHugePage;
}

TGridSource::TRowUse TKeptResult::Use() {
  return {[this](long first, long end) { return EndNeeded(first, end); },
          [this](long first, long end, const TGridSource& rows) { Fill(first, end, rows); }};
}

long TKeptResult::FirstOwned(long sourceRow) const {
  return static_cast<long>(std::lower_bound(MbrPtrKeys, MbrPtrKeys + MbrLngRows, sourceRow) -
                           MbrPtrKeys);
}

long TKeptResult::EndNeeded(long first, long end) const {
  long needed = first;
  for (long row = FirstOwned(first), last = FirstOwned(end); row < last; ++row)
    needed = std::max(needed, MbrPtrEnds[row]);
  return needed;
}

void TKeptResult::Fill(long first, long end, const TGridSource& rows) {
  TBlock block;
  block.FirstRow = FirstOwned(first);
  block.EndRow = FirstOwned(end);
  block.EndColumn = MbrRefPlan.Result().Columns;
  if (block.FirstRow >= block.EndRow)
    return;
  TBandWalk walk(MbrRefPlan, rows);
  TFiller filler(*this);
  walk.Produce(block, filler);
}

void TKeptResult::TBands::Produce(const TBlock& block, TBandEncoder& encoder) {
  encoder.Begin(block);
  for (long row = block.FirstRow; row < block.EndRow; ++row)
    encoder.Row(MbrRefKept.RowAt(row) + block.FirstColumn);
  encoder.End();
}
