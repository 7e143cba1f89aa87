// The map algebra of TMapTools over quillmap._core.Map objects. Every map an
// operation returns is adopted by a std::unique_ptr as soon as the call
// returns, so that it reaches Python's ownership or is deleted; the
// operations that change a map in place (FillBlock, Insert) work here on a
// copy, and the copy is returned.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "Bindings.h"
#include "MapArrays.h"
#include "ToolkitCall.h"
#include "maptools/TMapTools.h"

namespace py = pybind11;

namespace quillmap_python {
namespace {

using TOwnedMap = std::unique_ptr<TMap>;
using TOwnedMaps = std::vector<TOwnedMap>;
using TMaps = std::vector<TMap*>;
using TXY = std::pair<double, double>;
using TBlock = std::tuple<long, long, long, long>;

// The points of a table that an operation returned, deleted with the table.
struct TOwnedPoints {
  std::map<double, TMapPoint*> Points;
  ~TOwnedPoints() {
    for (const auto& entry : Points)
      delete entry.second;
  }
};

// Runs an operation that returns one new map.
template <class TOperation> TOwnedMap NewMap(TOperation operation) {
  return RunToolkit([&] { return TOwnedMap(operation()); });
}

// Runs an operation that returns new maps; each is adopted at once.
template <class TOperation> TOwnedMaps NewMaps(TOperation operation) {
  return RunToolkit([&] {
    std::vector<TMap*> made = operation();
    TOwnedMaps owned;
    try {
      owned.reserve(made.size());
    } catch (...) {
      for (TMap* map : made)
        delete map;
      throw;
    }
    for (TMap* map : made)
      owned.emplace_back(map);
    return owned;
  });
}

void BindArithmetic(py::module_& m) {
  m.def("multiply_number", [](TMap& map, double factor) {
    return NewMap([&] { return TMapTools::Multiply(&map, factor); });
  });
  m.def("divide_number", [](TMap& map, double divisor) {
    return NewMap([&] { return TMapTools::Divide(&map, divisor); });
  });
  m.def("add", [](TMap& a, TMap& b) { return NewMap([&] { return TMapTools::Add(&a, &b); }); });
  m.def("multiply",
        [](TMap& a, TMap& b) { return NewMap([&] { return TMapTools::Multiply(&a, &b); }); });
  m.def("divide",
        [](TMap& a, TMap& b) { return NewMap([&] { return TMapTools::Divide(&a, &b); }); });
  m.def("subtract",
        [](TMap& a, TMap& b) { return NewMap([&] { return TMapTools::Subtract(&a, &b); }); });
}

void BindSeries(py::module_& m) {
  m.def("sum", [](TMaps maps) { return NewMap([&] { return TMapTools::Sum(maps); }); });
  m.def("data_counts",
        [](TMaps maps) { return NewMap([&] { return TMapTools::DataCounts(maps); }); });
  m.def("average", [](TMaps maps) { return NewMap([&] { return TMapTools::Average(maps); }); });
  m.def("moving_average", [](TMaps maps, int window) {
    return NewMaps([&] { return TMapTools::MovingAverage(maps, window); });
  });
  m.def("value_gradients", [](TMaps maps, int window) {
    return NewMaps([&] { return TMapTools::ValueGradients(maps, window); });
  });
}

void BindFilters(py::module_& m) {
  m.def("threshold_replace", [](TMap& map, double threshold, double replacement) {
    return NewMap([&] { return TMapTools::ThresholdReplace(&map, threshold, replacement); });
  });
  m.def("threshold", [](TMap& map, double threshold) {
    return NewMap([&] { return TMapTools::Threshold(&map, threshold); });
  });
  m.def("replace_value", [](TMap& map, std::map<double, double> table, double otherwise) {
    return NewMap([&] { return TMapTools::ReplaceValue(&map, table, otherwise); });
  });
  m.def("mask", [](TMap& first, TMap& second, double maskValue, double replacement) {
    return NewMap([&] { return TMapTools::Mask(&first, &second, maskValue, replacement); });
  });
  m.def("round_contents",
        [](TMap& map) { return NewMap([&] { return TMapTools::RoundContents(&map); }); });
  m.def("count_values",
        [](TMap& map) { return RunToolkit([&] { return TMapTools::CountValues(&map); }); });
  m.def("count_value", [](TMap& map, double value) {
    return RunToolkit([&] { return TMapTools::CountValues(&map, value); });
  });
}

void BindSubGrids(py::module_& m) {
  m.def("downscale", [](TMap& map, double resolution) {
    return NewMap([&] { return TMapTools::Downscale(&map, resolution); });
  });
  m.def("subdivide", [](TMap& map, int factor) {
    return NewMap([&] { return TMapTools::Subdivide(&map, factor); });
  });
  m.def("find_patch_extent", [](TMap& map, double value) {
    return RunToolkit([&] {
      long north = 0, south = 0, west = 0, east = 0;
      TMapTools::FindPatchExtent(&map, value, north, south, west, east);
      return TBlock(north, south, west, east);
    });
  });
  m.def("buffer_indices", [](TMap& map, long margin, long north, long south, long west, long east) {
    return RunToolkit([&] {
      TMapTools::BufferIndices(&map, margin, north, south, west, east);
      return TBlock(north, south, west, east);
    });
  });
  m.def("fill_block", [](TMap& map, double value, long north, long south, long west, long east) {
    TOwnedMap filled = CopyOf(map);
    RunToolkit([&] { TMapTools::FillBlock(filled.get(), value, north, south, west, east); });
    return filled;
  });
  m.def("extract", [](TMap& map, TXY corner, TXY opposite) {
    return NewMap([&] {
      TPoint first(corner.first, corner.second);
      TPoint second(opposite.first, opposite.second);
      return TMapTools::Extract(&map, &first, &second);
    });
  });
  m.def("insert", [](TMap& destination, TMap& insert) {
    TOwnedMap changed = CopyOf(destination);
    RunToolkit([&] { TMapTools::Insert(changed.get(), &insert); });
    return changed;
  });
  m.def("intersection", [](TMap& a, TMap& b) {
    return RunToolkit([&] {
      TMap* first = nullptr;
      TMap* second = nullptr;
      try {
        TMapTools::Intersection(&a, &b, first, second);
      } catch (...) {
        // The first part is handed over before the second is cut.
        delete first;
        throw;
      }
      return std::make_pair(TOwnedMap(first), TOwnedMap(second));
    });
  });
}

void BindSampling(py::module_& m) {
  m.def("fetch_map_values", [](TMap& map, const std::map<double, TXY>& points) {
    return RunToolkit([&] {
      std::vector<std::unique_ptr<TMapPoint>> owned;
      std::map<double, TMapPoint*> table;
      for (const auto& [label, xy] : points) {
        owned.push_back(std::make_unique<TMapPoint>(xy.first, xy.second));
        table[label] = owned.back().get();
      }
      return TMapTools::FetchMapValues(&map, table);
    });
  });
  m.def("first_values", [](TMap& map, std::vector<double> exclude) {
    return RunToolkit([&] {
      const TOwnedPoints made{TMapTools::GetFirstValues(&map, exclude)};
      std::map<double, TXY> firsts;
      for (const auto& [value, point] : made.Points)
        firsts[value] = TXY(point->x, point->y);
      return firsts;
    });
  });
  m.def("nonzero_neighbour_value", [](TMap& map, long column, long row) {
    return RunToolkit([&] { return TMapTools::FindNonzeroNeighbourVal(&map, column, row); });
  });
  m.def("values_vector", [](TMaps maps, long column, long row, int start, int end) {
    return RunToolkit([&] { return TMapTools::GetValuesVector(maps, column, row, start, end); });
  });
  m.def("values_overlay", [](TMap& values, TMap& keys, std::vector<double> exclude) {
    return RunToolkit([&] { return TMapTools::GetValuesOverlay(&values, &keys, exclude); });
  });
}

} // namespace

void BindMapTools(py::module_& module) {
  BindArithmetic(module);
  BindSeries(module);
  BindFilters(module);
  BindSubGrids(module);
  BindSampling(module);
}

} // namespace quillmap_python
