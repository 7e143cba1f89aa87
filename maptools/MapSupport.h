// Helpers shared by the operations of TMapTools (and the rows scheme by the
// grid reader that fills a map on every core): the checks of a map's axes
// and stored rows, the traversal of a map's cells (a fast path for maps that
// store exactly their dimensions, a checked path otherwise), the cell loop
// that fills a freshly built result, and the ownership of the maps an
// operation has made until it hands them over.
//
// Each check throws the message it is given (const char*), which names the
// operation. Nothing here owns the maps it is given.
#ifndef QUILLMAP_MAPTOOLS_MAPSUPPORT_H
#define QUILLMAP_MAPTOOLS_MAPSUPPORT_H

#include <algorithm>
#include <memory>
#include <vector>

#include "grid/TMap.h"
#include "platform/TItemTeam.h"

namespace mapsupport {

inline bool HasCentreAxes(const TMap* map) {
  return map->MbrPtrXAxis != nullptr && map->MbrPtrYAxis != nullptr;
}

inline bool HasEdgeAxes(const TMap* map) {
  return map->MbrPtrXAxisInterval != nullptr && map->MbrPtrYAxisInterval != nullptr;
}

inline void RequireCentreAxes(const TMap* map, const char* message) {
  if (!HasCentreAxes(map))
    throw message;
}

inline void RequireEdgeAxes(const TMap* map, const char* message) {
  if (!HasEdgeAxes(map))
    throw message;
}

// For loops that index the stored rows directly: exactly MbrLngYDim rows of
// MbrLngXDim cells.
inline void RequireStoredRows(const TMap* map, const char* message) {
  if (!map->IsRectangular())
    throw message;
}

// Calls visit(LngX, LngY, value) for every cell of the map's dimensions, in
// one pass. A map that stores exactly its dimensions is read straight from
// its rows, row by row; any other is read through the checked accessor with
// columns outermost, so that the first cell it lacks in that order fails
// with the accessor's message. Callers whose result depends on the order of
// the cells beyond that failure must take care of it themselves.
template <typename Visit> void ForEachCell(TMap* map, Visit visit) {
  if (map->IsRectangular()) {
    for (long LngY = 0; LngY < map->MbrLngYDim; ++LngY) {
      const double* row = map->MbrVecValues[LngY].data();
      for (long LngX = 0; LngX < map->MbrLngXDim; ++LngX)
        visit(LngX, LngY, row[LngX]);
    }
    return;
  }
  for (long LngX = 0; LngX < map->MbrLngXDim; ++LngX)
    for (long LngY = 0; LngY < map->MbrLngYDim; ++LngY)
      visit(LngX, LngY, map->GetPointVal(LngX, LngY));
}

// Calls fill(first, end) for bands of consecutive rows that together cover
// rows 0 to rows - 1, on as many workers as rows x columns cells are worth
// (one for small maps), bands in order on each. A failure is the one of the
// lowest failing band, bands after it not begun: as in one pass north to
// south, for fills that fail at their first bad cell in row-major order.
template <typename Fill> void ForRowBands(long rows, long columns, Fill fill) {
  const double kCellsPerWorker = 1 << 16;
  const long kBandsPerWorker = 4;
  const unsigned workers =
      TItemTeam::Workers(static_cast<double>(rows) * static_cast<double>(columns), kCellsPerWorker);
  if (workers <= 1) {
    fill(0L, rows);
    return;
  }
  const long length = std::max<long>(1, rows / (static_cast<long>(workers) * kBandsPerWorker));
  TItemTeam::Run((rows + length - 1) / length, workers, [&](long band, unsigned) {
    fill(band * length, std::min(rows, (band + 1) * length));
  });
}

// Gives a map whose rows are not yet stored its MbrLngYDim rows, empty, each
// with room for MbrLngXDim cells: reserved on the calling thread, from one
// heap, so that the next map finds the memory free there.
inline void ReserveRows(TMap& map) {
  const long rows = map.MbrLngYDim > 0 ? map.MbrLngYDim : 0;
  const long columns = map.MbrLngXDim > 0 ? map.MbrLngXDim : 0;
  map.MbrVecValues.resize(static_cast<std::size_t>(rows));
  for (std::vector<double>& row : map.MbrVecValues)
    row.reserve(static_cast<std::size_t>(columns));
}

// Sets every row of MbrLngXDim cells (ReserveRows) that does not hold them
// yet to `value` in each cell, on every core (so its memory is first touched
// there).
inline void FillEmptyRows(TMap& map, double value) {
  const long columns = map.MbrLngXDim > 0 ? map.MbrLngXDim : 0;
  const std::size_t cells = static_cast<std::size_t>(columns);
  ForRowBands(static_cast<long>(map.MbrVecValues.size()), columns, [&](long first, long end) {
    for (long LngY = first; LngY < end; ++LngY)
      if (map.MbrVecValues[LngY].size() != cells)
        map.MbrVecValues[LngY].assign(cells, value);
  });
}

// Gives a map whose rows are not yet stored its MbrLngYDim rows of
// MbrLngXDim cells, each cell `value`.
inline void StoreRows(TMap& map, double value) {
  ReserveRows(map);
  FillEmptyRows(map, value);
}

// Writes CellValue(LngX, LngY) into every cell of a result built by one of
// TMap's constructors (so its rows match its dimensions), row by row (in
// bands of rows on every core: each cell's value is its own).
template <typename CellValue> void FillCells(TMap& result, CellValue cellValue) {
  ForRowBands(result.MbrLngYDim, result.MbrLngXDim, [&](long first, long end) {
    for (long LngY = first; LngY < end; ++LngY) {
      double* row = result.MbrVecValues[LngY].data();
      for (long LngX = 0; LngX < result.MbrLngXDim; ++LngX)
        row[LngX] = cellValue(LngX, LngY);
    }
  });
}

// The maps an operation that returns several has made so far: a failure
// before Release deletes every one of them.
class TMadeMaps {
public:
  void Reserve(std::size_t count) { MbrVecMaps.reserve(count); }
  void Add(std::unique_ptr<TMap> map) { MbrVecMaps.push_back(std::move(map)); }
  // Hands the maps over, in the order they were added.
  std::vector<TMap*> Release() {
    std::vector<TMap*> maps;
    maps.reserve(MbrVecMaps.size());
    for (std::unique_ptr<TMap>& map : MbrVecMaps)
      maps.push_back(map.release());
    MbrVecMaps.clear();
    return maps;
  }

private:
  std::vector<std::unique_ptr<TMap>> MbrVecMaps;
};

// The grid of TMapTools::Downscale with every cell set to noData, which also
// becomes its no-data value.
TMap* DownscaledGrid(TMap* source, double NewResolution, double noData);
// That grid with its rows reserved but empty (ReserveRows), for a caller
// that sets each row whole; its cells must fit in memory.
TMap* DownscaledReserved(TMap* source, double NewResolution, double noData);
// That grid's frame: its counts, cell size, no-data value and four axes, no
// stored rows; only the axes must fit in memory, or, with cellsFit, its
// cells too (refused as DownscaledGrid refuses it).
TMap* DownscaledFrame(TMap* source, double NewResolution, double noData, bool cellsFit = false);

// The checks of the bilinear resampling before its grid is built: a
// resolution greater than 0, and the source's four axes without an empty
// slot ("Map has no axes in TMapTools::BilinearInterpolate").
void RequireResampling(TMap* source, double NewResolution);

} // namespace mapsupport

#endif
