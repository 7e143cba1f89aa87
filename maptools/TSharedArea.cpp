#include "maptools/TSharedArea.h"

#include <cstring>

#include "maptools/BilinearFormula.h"

namespace {
double Spacing(const TWalkStation& station) {
  return station.HighCentre - station.LowCentre;
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

void TSharedArea::Add(const TWalkStation& station, TAxisSpacing& axis) {
  if (!axis.Seen) {
    axis.Seen = true;
    axis.First = station;
    return;
  }
  axis.Alike = axis.Alike && SameBits(Spacing(station), Spacing(axis.First));
}

bool TSharedArea::Shared() const {
  return MbrColumns.Seen && MbrRows.Seen && MbrColumns.Alike && MbrRows.Alike;
}

double TSharedArea::Area() const {
  return bilinear::Area(MbrColumns.First.LowCentre, MbrColumns.First.HighCentre,
                        MbrRows.First.LowCentre, MbrRows.First.HighCentre);
}
