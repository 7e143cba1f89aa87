#include "pipeline/TRunRowCache.h"

namespace {
// Whether the stations deciding two result rows in a row (of those that
// have stations) read a source row in common; rows only move south along
// the walk.
bool RowsShareSourceRows(const TWalkPlan& plan) {
  long cell = -1;
  long low = 0, high = 0;
  long before = -1;
  for (TRowPlan::TCursor rows(plan.Rows(), 0); !rows.AtEnd(); rows.Advance()) {
    const TWalkStation& row = rows.Station();
    if (row.Cell != cell) {
      if (before >= 0 && low <= before)
        return true;
      before = cell >= 0 ? high : -1;
      cell = row.Cell;
    }
    // The last station of a cell decides it.
    low = row.Low;
    high = row.High;
  }
  return before >= 0 && low <= before;
}
} // namespace

TRunRowCache::TSlot::TSlot(long low, long high, bool values, bool quotients, double area)
    : MbrLngLow(low), MbrLngHigh(high), MbrBlnValues(values), MbrBlnQuotients(quotients),
      MbrDblArea(area) {}

std::size_t TRunRowCache::TSlot::Bytes() const {
  const std::size_t arrays = (MbrBlnValues ? 1u : 0u) + (MbrBlnQuotients ? 1u : 0u);
  return 2 * arrays * static_cast<std::size_t>(Width()) * sizeof(double);
}

void TRunRowCache::TSlot::Prepare() {
  const std::size_t width = static_cast<std::size_t>(Width());
  for (THeld& held : MbrHeld) {
    if (MbrBlnValues && held.Values.size() != width)
      held.Values.resize(width);
    if (MbrBlnQuotients && held.Quotients.size() != width)
      held.Quotients.resize(width);
  }
}

TRunRowCache::TRunRowCache(const TWalkPlan& plan, const TBandLayout& layout,
                           std::size_t budgetBytes)
    : MbrLngAcross(layout.Across()) {
  // A layout of whole rows has no runs, and a walk whose result rows never
  // share a source row has nothing to keep.
  if (MbrLngAcross < 2 || !RowsShareSourceRows(plan))
    return;
  const bool quotients = plan.UsesQuotients();
  const bool values = !quotients || plan.Policy() == TCornerPolicy::NoDataAware;
  for (long run = 0; run < MbrLngAcross; ++run) {
    const TBlock block = layout.Block(run);
    long low = 0, high = 0;
    std::unique_ptr<TSlot> slot;
    if (plan.SourceColumnsOf(block.FirstColumn, block.EndColumn, low, high)) {
      slot = std::make_unique<TSlot>(low, high, values, quotients, plan.Area());
      if (slot->Bytes() > budgetBytes - MbrLngBytes)
        break;
      MbrLngBytes += slot->Bytes();
    }
    MbrVecSlots.push_back(std::move(slot));
  }
}

TRunRowCache::~TRunRowCache() = default;

TRunRowCache::TSlot* TRunRowCache::SlotOf(const TBlock& block) const {
  if (MbrVecSlots.empty() || block.Height() != 1)
    return nullptr;
  const std::size_t run = static_cast<std::size_t>(block.Index % MbrLngAcross);
  return run < MbrVecSlots.size() ? MbrVecSlots[run].get() : nullptr;
}
