// TBandLayout: how a result grid of `columns` x `rows` cells is cut into
// blocks (TBlock) in file order, so that the blocks written one after
// another give the rows in order: bands of whole rows (rowsPerBand rows
// each, the last band taking the rest), or, where a single row is too
// large for a band, runs of columns, columnsPerRun each, every row cut into
// runs from west to east. Bands and runs hold one row or column at least.
// A plain value; nothing here throws.
#ifndef QUILLMAP_PIPELINE_TBANDLAYOUT_H
#define QUILLMAP_PIPELINE_TBANDLAYOUT_H

#include "pipeline/TBlock.h"

class TBandLayout {
public:
  static TBandLayout WholeRows(long columns, long rows, long rowsPerBand);
  static TBandLayout ColumnRuns(long columns, long rows, long columnsPerRun);

  long Count() const;
  // Block index, 0 <= index < Count().
  TBlock Block(long index) const;
  // Blocks across one band: the runs of a row (1 for whole rows); block
  // index % Across() is the run a block belongs to.
  long Across() const { return MbrLngAcross; }

private:
  TBandLayout(long columns, long rows, long rowsPerBand, long columnsPerBlock);

  long MbrLngColumns;
  long MbrLngRows;
  long MbrLngRowsPerBlock;
  long MbrLngColumnsPerBlock;
  // Blocks across one band of rows.
  long MbrLngAcross;
};

#endif
