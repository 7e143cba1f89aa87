// TKeptResult: the values of a downscaled result held in memory while its
// source is read once (TGridSource::CheckAndUse): each source piece's
// rows fill the result rows whose station's first source row starts in
// them (TBandWalk over TMemoryRows, so the rows have the bits of the walk
// over the file), on the worker that read the piece; once the whole source
// has passed, TBands produces the kept rows for the sink.
//
// Invariants: the result rows a row range owns are contiguous and every
// result row is owned by exactly one range, since the stations' first
// source rows do not decrease along the result's rows (Holds() is false,
// and no values are allocated, where they would). Memory: the result's
// values (8 bytes a cell, rounded up to whole huge pages where they take one
// or more) and two longs per result row, likewise rounded. The plan must
// outlive it. Throws what TBandWalk throws.
#ifndef QUILLMAP_PIPELINE_TKEPTRESULT_H
#define QUILLMAP_PIPELINE_TKEPTRESULT_H

#include <optional>

#include "pipeline/TBandProducer.h"
#include "pipeline/TGridSource.h"
#include "pipeline/TWalkPlan.h"
#include "platform/TLargeBlock.h"

class TKeptResult {
public:
  explicit TKeptResult(const TWalkPlan& plan);

  // The memory a kept result of that geometry takes.
  static double Bytes(const TGridGeometry& result);

  bool Holds() const { return MbrBlnHolds; }
  // What the source's single read does with its rows.
  TGridSource::TRowUse Use();

  // The kept rows as blocks; valid once every row has been filled.
  class TBands : public TBandProducer {
  public:
    explicit TBands(const TKeptResult& kept) : MbrRefKept(kept) {}
    void Produce(const TBlock& block, TBandEncoder& encoder) override;

  private:
    const TKeptResult& MbrRefKept;
  };

private:
  class TFiller;

  // The result rows whose key lies in source rows [first, end).
  long FirstOwned(long sourceRow) const;
  long EndNeeded(long first, long end) const;
  void Fill(long first, long end, const TGridSource& rows);
  double* RowAt(long row) const { return MbrPtrValues + row * MbrRefPlan.Result().Columns; }

  const TWalkPlan& MbrRefPlan;
  bool MbrBlnHolds = false;
  // Per result row: the first source row its deciding station reads (or
  // the row before's, where it has none), and the end of the rows it reads
  // (0 where it has none). Both in one block, huge pages where they fill
  // one: a grid of a million rows would otherwise fault in thousands of
  // small pages before the read starts.
  long MbrLngRows;
  TLargeBlock MbrRowBounds;
  long* MbrPtrKeys;
  long* MbrPtrEnds;
  // Left uninitialised: the workers that fill the rows touch their pages,
  // huge ones where the kernel gives them.
  std::optional<TLargeBlock> MbrBlock;
  double* MbrPtrValues = nullptr;
};

#endif
