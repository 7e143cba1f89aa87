// Helpers shared by the cell-wise arithmetic and the series aggregation of
// TMapTools: the input checks their bulk loops rely on, and the cell loop that
// fills a freshly built result.
//
// The loops index the stored rows of their maps directly, so every map must
// hold exactly MbrLngYDim rows of MbrLngXDim cells; a map that lends its
// centre axes to the result must have them. Each check throws the message it
// is given (const char*). Nothing here owns or allocates.
#ifndef QUILLMAP_MAPTOOLS_ALGEBRASUPPORT_H
#define QUILLMAP_MAPTOOLS_ALGEBRASUPPORT_H

#include <vector>

#include "grid/TMap.h"

namespace algebra {

inline void RequireStoredRows(const TMap* map, const char* message) {
  if (!map->IsRectangular())
    throw message;
}

inline void RequireCentreAxes(const TMap* map, const char* message) {
  if (map->MbrPtrXAxis == nullptr || map->MbrPtrYAxis == nullptr)
    throw message;
}

// Writes CellValue(LngX, LngY) into every cell of a result built by one of
// TMap's constructors (so its rows match its dimensions), row by row.
template <typename CellValue> void FillCells(TMap& result, CellValue cellValue) {
  for (long LngY = 0; LngY < result.MbrLngYDim; ++LngY) {
    std::vector<double>& row = result.MbrVecValues[LngY];
    for (long LngX = 0; LngX < result.MbrLngXDim; ++LngX)
      row[LngX] = cellValue(LngX, LngY);
  }
}

} // namespace algebra

#endif
