#include "pipeline/TBandLayout.h"

#include <algorithm>

TBandLayout::TBandLayout(long columns, long rows, long rowsPerBand, long columnsPerBlock)
    : MbrLngColumns(std::max(columns, 0L)), MbrLngRows(std::max(rows, 0L)),
      MbrLngRowsPerBlock(std::max(rowsPerBand, 1L)),
      MbrLngColumnsPerBlock(std::max(columnsPerBlock, 1L)),
      MbrLngAcross((MbrLngColumns + MbrLngColumnsPerBlock - 1) / MbrLngColumnsPerBlock) {}

TBandLayout TBandLayout::WholeRows(long columns, long rows, long rowsPerBand) {
  return TBandLayout(columns, rows, rowsPerBand, columns);
}

TBandLayout TBandLayout::ColumnRuns(long columns, long rows, long columnsPerRun) {
  return TBandLayout(columns, rows, 1, std::min(columnsPerRun, columns));
}

long TBandLayout::Count() const {
  return (MbrLngRows + MbrLngRowsPerBlock - 1) / MbrLngRowsPerBlock * MbrLngAcross;
}

TBlock TBandLayout::Block(long index) const {
  TBlock block;
  block.Index = index;
  block.FirstRow = index / MbrLngAcross * MbrLngRowsPerBlock;
  block.EndRow = std::min(MbrLngRows, block.FirstRow + MbrLngRowsPerBlock);
  block.FirstColumn = index % MbrLngAcross * MbrLngColumnsPerBlock;
  block.EndColumn = std::min(MbrLngColumns, block.FirstColumn + MbrLngColumnsPerBlock);
  block.EndsRows = block.EndColumn == MbrLngColumns;
  return block;
}
