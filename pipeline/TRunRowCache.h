// TRunRowCache: the source rows that the runs of a layout of rows cut into
// runs of columns (TBandLayout::ColumnRuns) read, kept between the blocks of
// one run in consecutive result rows. There a result row is a band of
// blocks, one per run, and the next row's block of the same run mostly reads
// the same two source rows, which without the cache are read (parsed) again
// for every result row. Each run has a slot of its own: its source columns
// (TWalkPlan::SourceColumnsOf) and the two rows of them read last, as the
// fill reads them (the quotients by the shared area alone under the plain
// policy, else the values too, or the values alone). Runs from the west get
// slots while the slots' bytes fit the budget; the walk reads the others as
// before (TBandWalk).
//
// Thread safety: the slots are shared by the workers; a slot is used only
// while its Mutex() is held, and the cache itself is not changed after it
// is built. A row held has the bits the reader gives, whichever worker read
// it, so results do not depend on who reads.
//
// Memory: at most the budget, each slot's buffers made at its first use.
// The plan must outlive the cache. Nothing here throws but what the read
// throws and allocation failures.
#ifndef QUILLMAP_PIPELINE_TRUNROWCACHE_H
#define QUILLMAP_PIPELINE_TRUNROWCACHE_H

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "maptools/TRowPairCache.h"
#include "pipeline/TBandLayout.h"
#include "pipeline/TWalkPlan.h"

class TRunRowCache {
public:
  class TSlot;

  TRunRowCache(const TWalkPlan& plan, const TBandLayout& layout, std::size_t budgetBytes);
  ~TRunRowCache();

  // The slot of a block's run; null where the run has none, or where the
  // block is not a run of one row.
  TSlot* SlotOf(const TBlock& block) const;
  // The bytes the slots take once all are used.
  std::size_t Bytes() const { return MbrLngBytes; }

private:
  long MbrLngAcross;
  std::vector<std::unique_ptr<TSlot>> MbrVecSlots;
  std::size_t MbrLngBytes = 0;
};

class TRunRowCache::TSlot {
public:
  TSlot(long low, long high, bool values, bool quotients, double area);

  std::mutex& Mutex() { return MbrMutex; }
  // The source columns [Low(), High()) the run reads.
  long Low() const { return MbrLngLow; }
  long High() const { return MbrLngHigh; }
  long Width() const { return MbrLngHigh - MbrLngLow; }
  std::size_t Bytes() const;

  // Source row `row`; when it is not held, it replaces the row that is not
  // `keep`, read with read(row, buffer) into a buffer of Width() values (the
  // slot's own, or `scratch` where only quotients are kept). Mutex() held.
  template <class TRead> TRowPairCache::TRow Get(long row, long keep, TRead read, double* scratch) {
    for (THeld& held : MbrHeld)
      if (held.Row == row)
        return View(held);
    THeld& held = MbrHeld[0].Row == keep ? MbrHeld[1] : MbrHeld[0];
    Prepare();
    held.Row = -1;
    double* buffer = MbrBlnValues ? held.Values.data() : scratch;
    const double* values = read(row, buffer);
    // A reader may hand rows it holds itself: the slot keeps a copy.
    if (MbrBlnValues && values != buffer)
      std::copy(values, values + Width(), buffer);
    if (MbrBlnQuotients)
      TRowPairCache::Divide(values, Width(), MbrDblArea, held.Quotients.data());
    held.Row = row;
    return View(held);
  }

private:
  struct THeld {
    long Row = -1;
    std::vector<double> Values;
    std::vector<double> Quotients;
  };

  // Makes the buffers at the first use.
  void Prepare();
  TRowPairCache::TRow View(const THeld& held) const {
    return {MbrBlnValues ? held.Values.data() : nullptr,
            MbrBlnQuotients ? held.Quotients.data() : nullptr};
  }

  std::mutex MbrMutex;
  long MbrLngLow;
  long MbrLngHigh;
  bool MbrBlnValues;
  bool MbrBlnQuotients;
  double MbrDblArea;
  THeld MbrHeld[2];
};

#endif
