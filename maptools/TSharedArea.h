// TSharedArea: whether every point of a walk has the same area A = (x2 - x1)
// x (y2 - y1), as on evenly spaced axes: every column station has the
// spacing of the first (HighCentre - LowCentre, to the bit), and so does
// every row station. Then each corner's Q / A is a quotient of its source
// cell alone, computed once per source row (TRowPairCache) instead of four
// times per point, with the same bits. The stations are added one at a
// time, so a stream of them can be judged without holding it. Stations that
// fail are not added. Nothing here throws.
#ifndef QUILLMAP_MAPTOOLS_TSHAREDAREA_H
#define QUILLMAP_MAPTOOLS_TSHAREDAREA_H

#include "maptools/TWalkStation.h"

class TSharedArea {
public:
  void AddColumn(const TWalkStation& column) { Add(column, MbrColumns); }
  void AddRow(const TWalkStation& row) { Add(row, MbrRows); }
  // At least one of each, all alike.
  bool Shared() const;
  // A, from the first column and the first row; meaningful when Shared().
  double Area() const;

private:
  struct TAxisSpacing {
    bool Seen = false;
    bool Alike = true;
    TWalkStation First;
  };
  static void Add(const TWalkStation& station, TAxisSpacing& axis);

  TAxisSpacing MbrColumns;
  TAxisSpacing MbrRows;
};

#endif
