// quillmap._core.BandPlan: TBandResample for Python. A plan is rebuilt from
// its header numbers when it is unpickled, so that dask can send it to the
// workers of a cluster.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "Bindings.h"
#include "MapArrays.h"
#include "TBandResample.h"
#include "ToolkitCall.h"

namespace py = pybind11;

namespace quillmap_python {
namespace {

// A plan with the numbers it was made from.
struct TBandPlan {
  TGridHeader Source;
  double Resolution;
  bool NoDataAware;
  std::unique_ptr<TBandResample> Resample;
};

std::unique_ptr<TBandPlan> MakePlan(long columns, long rows, double xLowerLeft, double yLowerLeft,
                                    double cellSize, double noData, double resolution,
                                    bool noDataAware) {
  auto plan = std::make_unique<TBandPlan>();
  plan->Source.Columns = columns;
  plan->Source.Rows = rows;
  plan->Source.XLowerLeft = xLowerLeft;
  plan->Source.YLowerLeft = yLowerLeft;
  plan->Source.CellSize = cellSize;
  plan->Source.NoData = noData;
  plan->Resolution = resolution;
  plan->NoDataAware = noDataAware;
  plan->Resample = RunToolkit(
      [&] { return std::make_unique<TBandResample>(plan->Source, resolution, noDataAware); });
  return plan;
}

py::tuple StateOf(const TBandPlan& plan) {
  const TGridHeader& h = plan.Source;
  return py::make_tuple(h.Columns, h.Rows, h.XLowerLeft, h.YLowerLeft, h.CellSize, h.NoData,
                        plan.Resolution, plan.NoDataAware);
}

TCells FillRows(const TBandPlan& plan, long begin, long end, const TCells& rows, long firstRow) {
  const TBandResample& resample = *plan.Resample;
  if (rows.ndim() != 2 || (rows.shape(0) > 0 && rows.shape(1) != plan.Source.Columns))
    throw py::value_error("source rows must be a 2-D array of the source's columns");
  // TBandResample checks the band itself; the array is sized once it has.
  TCells out({std::max(end - begin, 0L), resample.Frame().MbrLngXDim});
  double* cells = out.mutable_data();
  const double* source = rows.data();
  const long count = static_cast<long>(rows.shape(0));
  RunToolkit([&] { resample.FillRows(begin, end, source, firstRow, count, cells); });
  return out;
}

} // namespace

void BindBands(py::module_& module) {
  py::class_<TBandPlan>(module, "BandPlan",
                        "A resampling computed band by band (see quillmap.xarray.resample).")
      .def(py::init(&MakePlan), py::arg("columns"), py::arg("rows"), py::arg("xllcorner"),
           py::arg("yllcorner"), py::arg("cellsize"), py::arg("nodata"), py::arg("resolution"),
           py::arg("nodata_aware"))
      .def_property_readonly("banded",
                             [](const TBandPlan& plan) { return plan.Resample->Banded(); })
      // The result's geometry: counts, cell size, no-data value and axes (no
      // cells), kept alive by the plan.
      .def_property_readonly(
          "frame", [](const TBandPlan& plan) -> TMap& { return plan.Resample->Frame(); },
          py::return_value_policy::reference_internal)
      .def("first_source_rows",
           [](const TBandPlan& plan) { return plan.Resample->FirstSourceRows(); })
      .def("source_rows", [](const TBandPlan& plan, long begin,
                             long end) { return plan.Resample->SourceRows(begin, end); })
      .def("fill_rows", &FillRows, py::arg("begin"), py::arg("end"), py::arg("rows"),
           py::arg("first_row"))
      .def(py::pickle(&StateOf, [](const py::tuple& state) {
        return MakePlan(state[0].cast<long>(), state[1].cast<long>(), state[2].cast<double>(),
                        state[3].cast<double>(), state[4].cast<double>(), state[5].cast<double>(),
                        state[6].cast<double>(), state[7].cast<bool>());
      }));
}

} // namespace quillmap_python
