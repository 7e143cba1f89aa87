// quillmap._core.BandPlan: the pipeline's TResamplePlan for Python, with the
// result's frame. A plan is rebuilt from its header numbers when it is
// unpickled, so that dask can send it to the workers of a cluster. And
// quillmap._core.join_bands, which joins the computed bands.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <utility>
#include <vector>

#include "Bindings.h"
#include "MapArrays.h"
#include "ToolkitCall.h"
#include "grid/TGridGeometry.h"
#include "pipeline/TResamplePlan.h"

namespace py = pybind11;

namespace quillmap_python {
namespace {

// A plan with the numbers it was made from, and the result's frame.
struct TBandPlan {
  TGridGeometry Source;
  double Resolution;
  bool NoDataAware;
  std::unique_ptr<TResamplePlan> Plan;
  std::unique_ptr<TMap> Frame;
};

std::unique_ptr<TBandPlan> MakePlan(long columns, long rows, double xLowerLeft, double yLowerLeft,
                                    double cellSize, double noData, double resolution,
                                    bool noDataAware) {
  auto plan = std::make_unique<TBandPlan>();
  plan->Source = TGridGeometry{columns, rows, xLowerLeft, yLowerLeft, cellSize, noData};
  plan->Resolution = resolution;
  plan->NoDataAware = noDataAware;
  RunToolkit([&] {
    plan->Plan = std::make_unique<TResamplePlan>(plan->Source, resolution, noDataAware);
    plan->Frame.reset(plan->Plan->NewResultFrame());
  });
  return plan;
}

py::tuple StateOf(const TBandPlan& plan) {
  const TGridGeometry& g = plan.Source;
  return py::make_tuple(g.Columns, g.Rows, g.XLowerLeft, g.YLowerLeft, g.CellSize, g.NoData,
                        plan.Resolution, plan.NoDataAware);
}

std::vector<long> FirstSourceRows(const TBandPlan& plan) {
  std::vector<long> first(static_cast<std::size_t>(plan.Plan->Result().Rows));
  RunToolkit([&] { plan.Plan->FirstSourceRows(first.data()); });
  return first;
}

std::pair<long, long> SourceRows(const TBandPlan& plan, long begin, long end) {
  long first = 0, last = 0;
  RunToolkit([&] { plan.Plan->SourceRows(begin, end, first, last); });
  return {first, last};
}

// Appends a pointer to each row of the block, a 2-D array of `columns`
// cells a row (or of no rows).
void AppendRows(const TCells& block, long columns, const char* fault,
                std::vector<const double*>& rows) {
  if (block.ndim() != 2 || (block.shape(0) > 0 && block.shape(1) != columns))
    throw py::value_error(fault);
  for (py::ssize_t row = 0; row < block.shape(0); ++row)
    rows.push_back(block.data() + row * columns);
}

// The source rows that blocks hold, block k holding rows firstRows[k] on,
// the blocks one after another: a pointer per row, from firstRows[0] on.
std::vector<const double*> RowTable(const TBandPlan& plan, const std::vector<TCells>& blocks,
                                    const std::vector<long>& firstRows) {
  if (blocks.size() != firstRows.size())
    throw py::value_error("there must be a first row for each block");
  std::vector<const double*> rows;
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    if (firstRows[k] != firstRows[0] + static_cast<long>(rows.size()))
      throw py::value_error("source blocks must hold rows one after another");
    AppendRows(blocks[k], plan.Source.Columns,
               "source blocks must be 2-D arrays of the source's columns", rows);
  }
  return rows;
}

// The array for result rows [begin, end), sized once the plan has taken
// them: rows out of range raise the plan's message instead.
TCells BandArray(const TBandPlan& plan, long begin, long end) {
  RunToolkit([&] { plan.Plan->CheckFillRows(begin, end); });
  return NewCells(end - begin, plan.Plan->Result().Columns);
}

// Result rows [begin, end) from the source rows of the blocks, read where
// they lie: no source row is copied, and the rows are written straight into
// the result's array.
TCells FillRows(const TBandPlan& plan, long begin, long end, const std::vector<TCells>& blocks,
                const std::vector<long>& firstRows) {
  std::vector<const double*> rows = RowTable(plan, blocks, firstRows);
  TCells out = BandArray(plan, begin, end);
  double* cells = out.mutable_data();
  const long first = firstRows.empty() ? 0 : firstRows[0];
  RunToolkit([&] { plan.Plan->FillRows(begin, end, std::move(rows), first, cells); });
  return out;
}

// The bands one under another in one new array, as dask joins computed
// blocks, but with the rows copied on every core into recycled memory.
TCells JoinBands(const std::vector<TCells>& bands) {
  if (bands.empty())
    throw py::value_error("there must be a band to join");
  const long columns = static_cast<long>(bands[0].ndim() == 2 ? bands[0].shape(1) : 0);
  std::vector<const double*> rows;
  for (const TCells& band : bands)
    AppendRows(band, columns, "bands must be 2-D arrays of one width", rows);
  return CellsOfRows(rows, columns);
}

} // namespace

void BindBands(py::module_& module) {
  py::class_<TBandPlan>(module, "BandPlan",
                        "A resampling computed band by band (see quillmap.xarray.resample).")
      .def(py::init(&MakePlan), py::arg("columns"), py::arg("rows"), py::arg("xllcorner"),
           py::arg("yllcorner"), py::arg("cellsize"), py::arg("nodata"), py::arg("resolution"),
           py::arg("nodata_aware"))
      .def_property_readonly("banded", [](const TBandPlan& plan) { return plan.Plan->Streams(); })
      // The result's geometry: counts, cell size, no-data value and axes (no
      // cells), kept alive by the plan.
      .def_property_readonly(
          "frame", [](const TBandPlan& plan) -> TMap& { return *plan.Frame; },
          py::return_value_policy::reference_internal)
      .def("first_source_rows", &FirstSourceRows)
      .def("source_rows", &SourceRows)
      .def("fill_rows", &FillRows, py::arg("begin"), py::arg("end"), py::arg("blocks"),
           py::arg("first_rows"))
      .def(py::pickle(&StateOf, [](const py::tuple& state) {
        return MakePlan(state[0].cast<long>(), state[1].cast<long>(), state[2].cast<double>(),
                        state[3].cast<double>(), state[4].cast<double>(), state[5].cast<double>(),
                        state[6].cast<double>(), state[7].cast<bool>());
      }));
  module.def("join_bands", &JoinBands, py::arg("bands"),
             "The bands (2-D float64 arrays of one width) one under another in a new array.");
}

} // namespace quillmap_python
