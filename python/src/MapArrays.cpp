#include "MapArrays.h"

#include <algorithm>
#include <vector>

#include "ToolkitCall.h"
#include "gridio/TGridHeader.h"

namespace py = pybind11;

namespace quillmap_python {

TCells CellsOf(TMap& map) {
  if (!map.IsRectangular())
    throw TToolkitFailure{"Map rows do not match its dimensions in quillmap.Grid.values", false};
  TCells cells({map.MbrLngYDim, map.MbrLngXDim});
  double* out = cells.mutable_data();
  RunToolkit([&] {
    for (long y = 0; y < map.MbrLngYDim; ++y)
      out = std::copy(map.MbrVecValues[y].begin(), map.MbrVecValues[y].end(), out);
  });
  return cells;
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

std::unique_ptr<TMap> MapFromCells(const TCells& cells, double xLowerLeft, double yLowerLeft,
                                   double cellSize, double noData) {
  TGridHeader header;
  header.Rows = static_cast<long>(cells.shape(0));
  header.Columns = static_cast<long>(cells.shape(1));
  header.XLowerLeft = xLowerLeft;
  header.YLowerLeft = yLowerLeft;
  header.CellSize = cellSize;
  header.NoData = noData;
  const double* in = cells.data();
  return RunToolkit([&] {
    std::unique_ptr<TMap> map = header.Frame();
    map->MbrVecValues.resize(header.Rows);
    for (std::vector<double>& row : map->MbrVecValues) {
      row.assign(in, in + header.Columns);
      in += header.Columns;
    }
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
    // The axes are cloned as they are: deriving one from the other would not
    // give back the centres of a resampled map.
    copy->MbrPtrXAxis = map.MbrPtrXAxis->Clone();
    copy->MbrPtrYAxis = map.MbrPtrYAxis->Clone();
    copy->MbrPtrXAxisInterval = map.MbrPtrXAxisInterval->Clone();
    copy->MbrPtrYAxisInterval = map.MbrPtrYAxisInterval->Clone();
    return copy;
  });
}

} // namespace quillmap_python
