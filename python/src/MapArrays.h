// MapArrays: a map's cells and axes as numpy arrays, and maps made from
// numpy arrays. Every array returned is a new copy that Python owns; the
// maps returned are new and owned by the caller (pybind11's holder, once
// they reach Python). Copies of many cells run without the GIL, in bands of
// rows on every core.
//
// A map made from cells has the counts of the array, the cell size, the
// no-data value and the four axes that the grid reader builds from a header
// with these numbers: edges accumulated from the lower-left corner by
// repeated addition, centres derived from the edges. So writing it gives the
// bytes of a file with that header and these cells.
#ifndef QUILLMAP_PYTHON_MAPARRAYS_H
#define QUILLMAP_PYTHON_MAPARRAYS_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <vector>

#include "grid/TMap.h"

namespace quillmap_python {

using TCells = pybind11::array_t<double, pybind11::array::c_style | pybind11::array::forcecast>;

// A new array of rows x columns cells, not yet set, in memory recycled from
// the grids' arrays that went before (TArrayMemory): so that making one per
// call costs no fresh memory once the process holds such arrays.
TCells NewCells(long rows, long columns);
// The rows one under another, each of `columns` cells, in a new array
// (NewCells): rows.size() x columns.
TCells CellsOfRows(const std::vector<const double*>& rows, long columns);
// The cells, rows x columns, row 0 the map's row 0 (north). A map whose
// stored rows do not hold its dimensions throws (const char*) "Map rows do
// not match its dimensions in quillmap.Grid.values".
TCells CellsOf(TMap& map);
// One ordinate of each point of the axis: x ('X') or y (any other selector).
pybind11::array_t<double> OrdinatesOf(TAxis& axis, char selector);
// A map over the reader's geometry with a copy of the cells (2-D, at least
// one row and one column; the caller checks the numbers).
std::unique_ptr<TMap> MapFromCells(const TCells& cells, double xLowerLeft, double yLowerLeft,
                                   double cellSize, double noData);
// A deep copy: cells, no-data value and all four axes exactly as they are.
std::unique_ptr<TMap> CopyOf(TMap& map);
// The frame's counts, cell size, no-data value and axes (exactly as they
// are) with a copy of the cells, rows x columns of the frame's counts.
std::unique_ptr<TMap> FilledFrame(TMap& frame, const TCells& cells);
// The reader's frame for a header of these numbers: counts, cell size,
// no-data value and axes, no stored rows.
std::unique_ptr<TMap> ReaderFrame(long columns, long rows, double xLowerLeft, double yLowerLeft,
                                  double cellSize, double noData);

} // namespace quillmap_python

#endif
