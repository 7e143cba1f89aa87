#include "MapArrays.h"

#include <algorithm>
#include <vector>

#include "TArrayMemory.h"
#include "ToolkitCall.h"
#include "gridio/TGridHeader.h"
#include "maptools/MapSupport.h"

namespace py = pybind11;

namespace quillmap_python {

namespace {
// The rows of a map whose rows are not yet stored, copied from cells.
void StoreCells(TMap& map, const double* cells) {
  const long columns = map.MbrLngXDim;
  map.MbrVecValues.resize(static_cast<std::size_t>(map.MbrLngYDim));
  // Reserved here, from one heap; filled, and so first touched, on the
  // workers.
  for (std::vector<double>& row : map.MbrVecValues)
    row.reserve(static_cast<std::size_t>(columns));
  mapsupport::ForRowBands(map.MbrLngYDim, columns, [&](long first, long end) {
    for (long y = first; y < end; ++y)
      map.MbrVecValues[y].assign(cells + y * columns, cells + (y + 1) * columns);
  });
}

// The axes are cloned as they are: deriving one from the other would not
// give back the centres of a resampled map.
void CloneAxes(TMap& from, TMap& to) {
  to.MbrPtrXAxis = from.MbrPtrXAxis->Clone();
  to.MbrPtrYAxis = from.MbrPtrYAxis->Clone();
  to.MbrPtrXAxisInterval = from.MbrPtrXAxisInterval->Clone();
  to.MbrPtrYAxisInterval = from.MbrPtrYAxisInterval->Clone();
}
} // namespace

TCells NewCells(long rows, long columns) {
  TArrayMemory recycled;
  return TCells({rows, columns});
}

TCells CellsOfRows(const std::vector<const double*>& rows, long columns) {
  TCells cells = NewCells(static_cast<long>(rows.size()), columns);
  double* out = cells.mutable_data();
  RunToolkit([&] {
    mapsupport::ForRowBands(static_cast<long>(rows.size()), columns, [&](long first, long end) {
      for (long y = first; y < end; ++y)
        std::copy(rows[y], rows[y] + columns, out + y * columns);
    });
  });
  return cells;
}

TCells CellsOf(TMap& map) {
  if (!map.IsRectangular())
    throw TToolkitFailure{"Map rows do not match its dimensions in quillmap.Grid.values", false};
  std::vector<const double*> rows;
  rows.reserve(map.MbrVecValues.size());
  for (const std::vector<double>& row : map.MbrVecValues)
    rows.push_back(row.data());
  return CellsOfRows(rows, map.MbrLngXDim);
}

py::array_t<double> OrdinatesOf(TAxis& axis, char selector) {
  const long size = axis.GetSize();
  py::array_t<double> ordinates(size);
  double* out = ordinates.mutable_data();
  for (long i = 0; i < size; ++i) {
    const TPoint* point = axis.GetPoint(i);
    out[i] = selector == 'X' ? point->x : point->y;
  }
  return ordinates;
}

std::unique_ptr<TMap> ReaderFrame(long columns, long rows, double xLowerLeft, double yLowerLeft,
                                  double cellSize, double noData) {
  TGridHeader header;
  header.Columns = columns;
  header.Rows = rows;
  header.XLowerLeft = xLowerLeft;
  header.YLowerLeft = yLowerLeft;
  header.CellSize = cellSize;
  header.NoData = noData;
  return RunToolkit([&] { return header.Frame(); });
}

std::unique_ptr<TMap> MapFromCells(const TCells& cells, double xLowerLeft, double yLowerLeft,
                                   double cellSize, double noData) {
  std::unique_ptr<TMap> map =
      ReaderFrame(static_cast<long>(cells.shape(1)), static_cast<long>(cells.shape(0)), xLowerLeft,
                  yLowerLeft, cellSize, noData);
  const double* in = cells.data();
  RunToolkit([&] { StoreCells(*map, in); });
  return map;
}

std::unique_ptr<TMap> FilledFrame(TMap& frame, const TCells& cells) {
  if (cells.ndim() != 2 || cells.shape(0) != frame.MbrLngYDim || cells.shape(1) != frame.MbrLngXDim)
    throw pybind11::value_error("cells must have the frame's rows and columns");
  const double* in = cells.data();
  return RunToolkit([&] {
    auto map = std::make_unique<TMap>(frame.MbrDblResolution);
    map->MbrLngXDim = frame.MbrLngXDim;
    map->MbrLngYDim = frame.MbrLngYDim;
    map->MbrDblNoDataValue = frame.MbrDblNoDataValue;
    CloneAxes(frame, *map);
    StoreCells(*map, in);
    return map;
  });
}

std::unique_ptr<TMap> CopyOf(TMap& map) {
  return RunToolkit([&] {
    auto copy = std::make_unique<TMap>(map.MbrDblResolution);
    copy->MbrLngXDim = map.MbrLngXDim;
    copy->MbrLngYDim = map.MbrLngYDim;
    copy->MbrDblNoDataValue = map.MbrDblNoDataValue;
    copy->MbrVecValues = map.MbrVecValues;
    CloneAxes(map, *copy);
    return copy;
  });
}

} // namespace quillmap_python
