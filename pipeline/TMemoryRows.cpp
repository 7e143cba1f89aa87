#include "pipeline/TMemoryRows.h"

#include <algorithm>
#include <utility>

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
    : MbrGeometry(geometry), MbrLngFirstRow(firstRow) {
  MbrVecRows.reserve(static_cast<std::size_t>(std::max(0L, endRow - firstRow)));
  for (long row = firstRow; row < endRow; ++row)
    MbrVecRows.push_back(rows + (row - firstRow) * geometry.Columns);
}

TMemoryRows::TMemoryRows(const TGridGeometry& geometry, std::vector<const double*> rowStarts,
                         long firstRow)
    : MbrGeometry(geometry), MbrVecRows(std::move(rowStarts)), MbrLngFirstRow(firstRow) {}

std::unique_ptr<TSourceRows> TMemoryRows::Rows(long, long firstColumn, long) const {
  return std::make_unique<TMemoryRowReader>(*this, firstColumn);
}

const double* TMemoryRows::At(long row, long firstColumn) const {
  if (row < MbrLngFirstRow || row - MbrLngFirstRow >= static_cast<long>(MbrVecRows.size()))
    throw kSourceRowsMissing;
  return MbrVecRows[static_cast<std::size_t>(row - MbrLngFirstRow)] + firstColumn;
}
