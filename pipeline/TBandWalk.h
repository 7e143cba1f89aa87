// TBandWalk: one worker's walk over blocks of the result, from a plan
// (TWalkPlan) and a source (TGridSource): for each result row of a block,
// the station that decides it (the last walk y in that row), the block's
// column stations, the two source rows that station names, read as runs of
// the block's source columns (TSourceRows, TRowPairCache), and the row's
// values filled (TRowFill), the no-data value wherever no walk point falls.
// The rows have the bits TMapTools::BilinearInterpolate
// (BilinearInterpolateNoDataAware) gives them. Blocks come in increasing
// order; the walk keeps its row stations' cursor, and, while blocks keep
// their columns, their column stations, reader and source rows, so that
// consecutive blocks continue where the last one stopped. A block that is a
// run of one row takes its two source rows from the run's slot of the
// cache shared by the workers (TRunRowCache), where it has one, reading
// only those the slot lacks into it.
//
// Rows are written where the encoder offers room for them (RowRoom), else
// into the walk's own row of values.
//
// Memory: a block's column stations (and the runs of cells they leave),
// one row of values and two rows of the source run (with their quotients):
// O(block width), nothing per result row or source row. The plan, the
// source and the cache must outlive the walk. Throws what the source's reader throws.
#ifndef QUILLMAP_PIPELINE_TBANDWALK_H
#define QUILLMAP_PIPELINE_TBANDWALK_H

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "maptools/TRowFill.h"
#include "maptools/TRowPairCache.h"
#include "maptools/TWalkStation.h"
#include "pipeline/TBandProducer.h"
#include "pipeline/TGridSource.h"
#include "pipeline/TRunRowCache.h"
#include "pipeline/TWalkPlan.h"

class TBandWalk : public TBandProducer {
public:
  // runRows: the cache of the runs' source rows, or null.
  TBandWalk(const TWalkPlan& plan, const TGridSource& source, TRunRowCache* runRows = nullptr);
  void Produce(const TBlock& block, TBandEncoder& encoder) override;

private:
  // The column stations of result columns [first, end), cells counted from
  // first and source indices from the first source column they read; false
  // where there is none.
  bool TakeColumns(long first, long end);
  // Reads source columns [low, end) from now on (the reader and the rows it
  // gave kept while they stay the same).
  void UseSourceColumns(long low, long end);
  // The reader of the current source columns, turned to them from firstRow
  // on when they changed.
  TSourceRows& ReaderFrom(long firstRow);
  // The two source rows of a row station, read if need be.
  TRowFill::TSource SourceRowsOf(const TWalkStation& row);
  // The same from a run's slot, its Mutex() held.
  TRowFill::TSource SlotRowsOf(TRunRowCache::TSlot& slot, const TWalkStation& row);
  // The values of a row from the stations taken, into out.
  void FillColumns(const TWalkStation& row, double* out);
  // The values of a block that is a run of one row, its column stations
  // streamed into out.
  void FillRun(const TBlock& block, const TWalkStation& row, double* out);
  // Streams the run's column stations with its source rows, whose first
  // column is source column `low`.
  void StreamRun(const TBlock& block, const TRowFill::TSource& source, long low, double* out);
  // The runs of the block's width cells that no column station taken names.
  void TakeGaps(long width);

  const TWalkPlan& MbrRefPlan;
  const TGridSource& MbrRefSource;
  TRunRowCache* MbrPtrRunRows;
  // Where rows read for a slot that keeps only their quotients go.
  std::vector<double> MbrVecScratch;
  std::vector<TWalkStation> MbrVecColumns;
  std::vector<std::pair<long, long>> MbrVecGaps;
  long MbrLngFirstColumn = -1;
  long MbrLngEndColumn = -1;
  // The source columns [MbrLngLowColumn, MbrLngEndSourceColumn) they read.
  long MbrLngLowColumn = -1;
  long MbrLngEndSourceColumn = -1;
  // The reader is to turn to those columns before its next row.
  bool MbrBlnRestart = false;
  std::vector<double> MbrVecValues;
  // The row stations, all before the cursor lying in rows before
  // MbrLngRowsPassed.
  std::optional<TRowPlan::TCursor> MbrRows;
  long MbrLngRowsPassed = 0;
  // The reader of the current source columns, the last row it gave, and
  // the rows it gave.
  std::unique_ptr<TSourceRows> MbrPtrReader;
  long MbrLngLastRow = -1;
  std::optional<TRowPairCache> MbrCache;
};

#endif
