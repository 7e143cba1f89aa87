#include "maptools/TRowPairCache.h"

TRowPairCache::TRowPairCache(long width, bool holdsValues, bool quotients, double area)
    : MbrLngWidth(0), MbrBlnHoldsValues(holdsValues), MbrBlnQuotients(quotients), MbrDblArea(area) {
  Resize(width);
}

void TRowPairCache::Resize(long width) {
  Clear();
  MbrLngWidth = width > 0 ? width : 0;
  for (TSlot& slot : MbrSlots) {
    if (MbrBlnHoldsValues)
      slot.Buffer.resize(MbrLngWidth);
    if (MbrBlnQuotients)
      slot.Quotients.resize(MbrLngWidth);
  }
}

void TRowPairCache::Clear() {
  for (TSlot& slot : MbrSlots) {
    slot.Row = -1;
    slot.Values = nullptr;
  }
}

void TRowPairCache::Divide(const double* values, long width, double area, double* out) {
  for (long x = 0; x < width; ++x)
    out[x] = values[x] / area;
}
