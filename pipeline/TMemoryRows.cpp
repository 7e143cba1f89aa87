#include "pipeline/TMemoryRows.h"

#include "pipeline/PipelineMessages.h"

namespace {
class TMemoryRowReader : public TSourceRows {
public:
  TMemoryRowReader(const TMemoryRows& rows, long firstColumn)
      : MbrRefRows(rows), MbrLngFirstColumn(firstColumn) {}
  const double* Row(long row, double*) override { return MbrRefRows.At(row, MbrLngFirstColumn); }
  void Restart(long, long firstColumn, long) override { MbrLngFirstColumn = firstColumn; }

private:
  const TMemoryRows& MbrRefRows;
  long MbrLngFirstColumn;
};
} // namespace

TMemoryRows::TMemoryRows(const TGridGeometry& geometry, const double* rows, long firstRow,
                         long endRow)
    : MbrGeometry(geometry), MbrPtrRows(rows), MbrLngFirstRow(firstRow), MbrLngEndRow(endRow) {}

std::unique_ptr<TSourceRows> TMemoryRows::Rows(long, long firstColumn, long) const {
  return std::make_unique<TMemoryRowReader>(*this, firstColumn);
}

const double* TMemoryRows::At(long row, long firstColumn) const {
  if (row < MbrLngFirstRow || row >= MbrLngEndRow)
    throw kSourceRowsMissing;
  return MbrPtrRows + (row - MbrLngFirstRow) * MbrGeometry.Columns + firstColumn;
}
