// TRowPairCache: the two source rows that a walk row reads, kept for the
// walk rows after it: the walk moves through the source rows in order, so
// consecutive walk rows mostly share one or both. Each slot holds a row's
// values (where the caller's fill puts them: into the slot's own buffer, or
// a pointer to rows held elsewhere) and, when the walk shares one cell area
// A, the quotients value / A, computed once per row taken in.
//
// Used by the in-memory walk (rows of the map) and by the file-to-file
// resampling (rows read from the source file); both fill a walk row from
// the same quotients.
//
// Ownership: the cache owns its buffers (width values per slot, each only
// when asked for); the values a fill points to must stay valid while their
// row is held. Nothing here throws but what the fill throws.
#ifndef QUILLMAP_MAPTOOLS_TROWPAIRCACHE_H
#define QUILLMAP_MAPTOOLS_TROWPAIRCACHE_H

#include <vector>

class TRowPairCache {
public:
  struct TRow {
    const double* Values;
    // Null unless the cache keeps quotients.
    const double* Quotients;
  };

  // holdsValues: each slot has a buffer of width values for the fill to
  // write into. quotients: the slots keep value / area.
  TRowPairCache(long width, bool holdsValues, bool quotients, double area);

  // The row `row`; when it is not held, it replaces the slot that does not
  // hold `keep`, and fill(row, buffer) gives its width values (in buffer, or
  // anywhere that outlives the row's stay).
  template <class TFill> TRow Get(long row, long keep, TFill fill) {
    for (TSlot& slot : MbrSlots)
      if (slot.Row == row)
        return {slot.Values, MbrBlnQuotients ? slot.Quotients.data() : nullptr};
    TSlot& slot = MbrSlots[0].Row == keep ? MbrSlots[1] : MbrSlots[0];
    slot.Row = -1;
    slot.Values = fill(row, slot.Buffer.data());
    if (MbrBlnQuotients)
      Divide(slot);
    slot.Row = row;
    return {slot.Values, MbrBlnQuotients ? slot.Quotients.data() : nullptr};
  }

  // Forgets the rows held (their values may no longer be valid).
  void Clear();
  // Forgets the rows held and takes rows of another width, keeping the
  // buffers' room.
  void Resize(long width);

  // The quotients of `width` values by the area: the one division of every
  // row filled from quotients.
  static void Divide(const double* values, long width, double area, double* out);

private:
  struct TSlot {
    long Row = -1;
    const double* Values = nullptr;
    std::vector<double> Buffer;
    std::vector<double> Quotients;
  };

  void Divide(TSlot& slot) const {
    Divide(slot.Values, MbrLngWidth, MbrDblArea, slot.Quotients.data());
  }

  long MbrLngWidth;
  bool MbrBlnHoldsValues;
  bool MbrBlnQuotients;
  double MbrDblArea;
  TSlot MbrSlots[2];
};

#endif
