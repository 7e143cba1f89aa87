#include "maptools/TRowPairCache.h"

TRowPairCache::TRowPairCache(long width, bool holdsValues, bool quotients, double area)
    : MbrLngWidth(width > 0 ? width : 0), MbrBlnQuotients(quotients), MbrDblArea(area) {
  for (TSlot& slot : MbrSlots) {
    if (holdsValues)
      slot.Buffer.resize(MbrLngWidth);
    if (quotients)
      slot.Quotients.resize(MbrLngWidth);
  }
}

void TRowPairCache::Clear() {
  for (TSlot& slot : MbrSlots) {
    slot.Row = -1;
    slot.Values = nullptr;
  }
}

void TRowPairCache::Divide(TSlot& slot) const {
  double* out = slot.Quotients.data();
  for (long x = 0; x < MbrLngWidth; ++x)
    out[x] = slot.Values[x] / MbrDblArea;
}
