// TMemoryRows: a grid whose rows [FirstRow, EndRow) lie in memory, Columns
// values each, row after row or each where a table of rows says, as a
// source (TGridSource): its readers point into the rows, copying nothing.
// Check checks nothing. A row outside the rows given fails. The rows must
// outlive the source and its readers.
//
// Throws "Source rows do not cover the result rows in
// TResamplePlan::FillRows" for a row outside the rows given.
#ifndef QUILLMAP_PIPELINE_TMEMORYROWS_H
#define QUILLMAP_PIPELINE_TMEMORYROWS_H

#include <vector>

#include "pipeline/TGridSource.h"

class TMemoryRows : public TGridSource {
public:
  TMemoryRows(const TGridGeometry& geometry, const double* rows, long firstRow, long endRow);
  // Row firstRow + i at rowStarts[i].
  TMemoryRows(const TGridGeometry& geometry, std::vector<const double*> rowStarts, long firstRow);

  void Open() override {}
  void Check(unsigned, const std::function<void()>& meanwhile) override { meanwhile(); }
  const TGridGeometry& Geometry() const override { return MbrGeometry; }
  std::unique_ptr<TSourceRows> Rows(long firstRow, long firstColumn, long endColumn) const override;

  // The values of a row from firstColumn on.
  const double* At(long row, long firstColumn) const;

private:
  TGridGeometry MbrGeometry;
  std::vector<const double*> MbrVecRows;
  long MbrLngFirstRow;
};

#endif
