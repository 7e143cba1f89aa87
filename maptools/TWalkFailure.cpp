#include "maptools/TWalkFailure.h"

#include "grid/GridMessages.h"
#include "maptools/MapToolsMessages.h"

namespace {
using TFailure = TWalkStation::TFailure;
} // namespace

const char* TWalkFailure::OfPoint(const TWalkStation& column, const TWalkStation& row) {
  if (column.Failure == TFailure::Outside || row.Failure == TFailure::Outside)
    return kOrdinateRange;
  if (column.Failure != TFailure::None)
    return column.Failure == TFailure::LowIndex ? kX1Range : kX2Range;
  if (row.Failure != TFailure::None)
    return row.Failure == TFailure::LowIndex ? kY1Range : kY2Range;
  return nullptr;
}

void TWalkFailure::RaiseFirst(const TWalkStation* firstColumn, const TWalkStation& firstRow,
                              const TWalkStation* failingRow, bool rowsStall,
                              const TWalkStation* failingColumn, bool columnsStall) {
  if (firstColumn == nullptr)
    return;
  if (firstColumn->Fails())
    throw OfPoint(*firstColumn, firstRow);
  if (failingRow != nullptr)
    throw OfPoint(*firstColumn, *failingRow);
  if (rowsStall)
    throw kStepTooSmall;
  if (failingColumn != nullptr)
    throw OfPoint(*failingColumn, firstRow);
  if (columnsStall)
    throw kStepTooSmall;
}
