// TBlock: one block of a result grid as the pipeline produces and writes it:
// result rows [FirstRow, EndRow) by columns [FirstColumn, EndColumn), the
// Index-th in file order (TBandLayout), and whether it reaches the last
// column of its rows (a text sink ends each row there). A plain value.
#ifndef QUILLMAP_PIPELINE_TBLOCK_H
#define QUILLMAP_PIPELINE_TBLOCK_H

struct TBlock {
  long Index = 0;
  long FirstRow = 0;
  long EndRow = 0;
  long FirstColumn = 0;
  long EndColumn = 0;
  bool EndsRows = true;

  long Width() const { return EndColumn - FirstColumn; }
  long Height() const { return EndRow - FirstRow; }
};

#endif
