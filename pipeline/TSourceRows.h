// TSourceRows: one worker's reader of a run of columns of a source's rows
// (TGridSource::Rows), row after row in increasing order: Row gives the
// run's values of a row at or after the row it gave before, in the buffer
// given (room for the run) or wherever the source holds them, valid while
// that buffer is not reused and the source lives. One call per row.
// Restart turns the reader to another run of columns, from a row at or after
// firstRow (before or after the rows it gave), keeping its buffers.
#ifndef QUILLMAP_PIPELINE_TSOURCEROWS_H
#define QUILLMAP_PIPELINE_TSOURCEROWS_H

class TSourceRows {
public:
  virtual ~TSourceRows() = default;
  virtual const double* Row(long row, double* buffer) = 0;
  virtual void Restart(long firstRow, long firstColumn, long endColumn) = 0;
};

#endif
