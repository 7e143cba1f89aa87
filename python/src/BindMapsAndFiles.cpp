// quillmap._core.Map and the functions that read, write and resample grids.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <functional>
#include <memory>
#include <string>

#include "Bindings.h"
#include "MapArrays.h"
#include "ToolkitCall.h"
#include "gridio/TARCGISFileTools.h"
#include "gridio/TGridFileReader.h"
#include "maptools/TMapTools.h"
#include "maptools/TResampleCells.h"
#include "pipeline/TResampleFileTools.h"

namespace py = pybind11;

namespace quillmap_python {
namespace {

using TOwnedMap = std::unique_ptr<TMap>;

// The grid's frame and its cells. The header is read first, so that the
// numpy array is made once, of the right shape, and the body is parsed
// straight into it on every core. File names arrive as bytes (os.fsencode),
// so that any name the file system holds reaches the toolkit unchanged.
py::tuple Read(const std::string& path, bool lenient) {
  std::unique_ptr<TGridFileReader> reader =
      RunToolkit([&] { return std::make_unique<TGridFileReader>(path, lenient); });
  const TGridGeometry& grid = reader->Geometry();
  TCells cells = NewCells(grid.Rows, grid.Columns);
  double* out = cells.mutable_data();
  TOwnedMap frame = RunToolkit([&] {
    reader->ReadCells(out);
    return TOwnedMap(reader->NewFrame());
  });
  return py::make_tuple(std::move(frame), std::move(cells));
}

void Write(TMap& map, const std::string& path, int digits) {
  RunToolkit([&] { TARCGISFileTools::WriteARCGISFile(&map, path, digits); });
}

TOwnedMap Resample(TMap& map, double resolution, bool noDataAware) {
  return RunToolkit([&] {
    return TOwnedMap(noDataAware ? TMapTools::BilinearInterpolateNoDataAware(&map, resolution)
                                 : TMapTools::BilinearInterpolate(&map, resolution));
  });
}

// The grid of frame and cells resampled: the result's frame and cells, the
// cells made once, of the result's shape, and filled in place.
py::tuple ResampleCells(TMap& frame, const TCells& cells, double resolution, bool noDataAware) {
  if (cells.ndim() != 2 || cells.shape(0) != frame.MbrLngYDim || cells.shape(1) != frame.MbrLngXDim)
    throw py::value_error("cells must have the frame's rows and columns");
  std::unique_ptr<TResampleCells> resampling =
      RunToolkit([&] { return std::make_unique<TResampleCells>(&frame, resolution, noDataAware); });
  const TMap& result = resampling->ResultFrame();
  TCells out = NewCells(result.MbrLngYDim, result.MbrLngXDim);
  const double* in = cells.data();
  double* written = out.mutable_data();
  RunToolkit([&] { resampling->Fill(in, written); });
  return py::make_tuple(TOwnedMap(resampling->ReleaseResultFrame()), std::move(out));
}

// The toolkit calls the progress callable without the GIL, one call at a
// time, maybe from a worker thread: each call takes the GIL. The callable is
// held by the caller's argument for the whole run, so the function keeps a
// handle (copying it copies no reference count without the GIL). What the
// callable raises leaves the toolkit as py::error_already_set, ends the run
// as a write failure would and reaches Python as it was raised.
std::function<void(double)> ProgressCall(py::handle progress) {
  if (progress.is_none())
    return {};
  return [progress](double fraction) {
    py::gil_scoped_acquire locked;
    progress(fraction);
  };
}

// Formats 0 ESRI ASCII, 1 GeoTIFF, 2 by the first bytes or the name, as
// quillmap._grid numbers them.
TResampleFileTools::TResampleOptions::TFormat FormatOf(int format) {
  using TFormat = TResampleFileTools::TResampleOptions::TFormat;
  const TFormat formats[] = {TFormat::Ascii, TFormat::GeoTIFF, TFormat::Auto};
  return formats[format];
}

void ResampleFile(const std::string& source, const std::string& destination, double resolution,
                  bool lenient, bool noDataAware, int digits, bool atomic, unsigned threads,
                  const py::object& progress, int inputFormat, int outputFormat, long band,
                  bool float32, int compression) {
  TResampleFileTools::TResampleOptions options;
  options.InputFormat = FormatOf(inputFormat);
  options.OutputFormat = FormatOf(outputFormat);
  options.Band = band;
  options.GeoTIFF = GeoTIFFWriteOptionsOf(float32, compression);
  options.Lenient = lenient;
  options.NoDataAware = noDataAware;
  options.Digits = digits;
  options.Atomic = atomic;
  options.Threads = threads;
  options.Progress = ProgressCall(progress);
  RunToolkit([&] {
    TResampleFileTools::BilinearInterpolateFile(source, destination, resolution, options);
  });
}

} // namespace

TGeoTIFFWriteOptions GeoTIFFWriteOptionsOf(bool float32, int compression) {
  using TCompression = TGeoTIFFWriteOptions::TCompression;
  const TCompression compressions[] = {TCompression::None, TCompression::Deflate, TCompression::Lzw,
                                       TCompression::Zstd};
  TGeoTIFFWriteOptions options;
  options.SampleType = float32 ? TGeoTIFFWriteOptions::TSampleType::Float32
                               : TGeoTIFFWriteOptions::TSampleType::Float64;
  options.Compression = compressions[compression];
  return options;
}

void BindMapsAndFiles(py::module_& module) {
  py::class_<TMap, std::unique_ptr<TMap>>(module, "Map",
                                          "The owner of one toolkit map (TMap); see quillmap.Grid.")
      .def_static(
          "from_cells",
          [](const TCells& cells, double xLowerLeft, double yLowerLeft, double cellSize,
             double noData) {
            if (cells.ndim() != 2 || cells.shape(0) < 1 || cells.shape(1) < 1)
              throw py::value_error("cells must be a 2-D array of at least one row and column");
            return MapFromCells(cells, xLowerLeft, yLowerLeft, cellSize, noData);
          },
          py::arg("cells"), py::arg("xllcorner"), py::arg("yllcorner"), py::arg("cellsize"),
          py::arg("nodata"))
      // A frame (axes, no cells) for a header of these numbers; the caller
      // checks them.
      .def_static("frame", &ReaderFrame, py::arg("columns"), py::arg("rows"), py::arg("xllcorner"),
                  py::arg("yllcorner"), py::arg("cellsize"), py::arg("nodata"))
      .def("filled", &FilledFrame, py::arg("cells"))
      .def_property_readonly("columns", [](const TMap& map) { return map.MbrLngXDim; })
      .def_property_readonly("rows", [](const TMap& map) { return map.MbrLngYDim; })
      .def_property_readonly("cellsize", [](const TMap& map) { return map.MbrDblResolution; })
      .def_property_readonly("nodata", [](const TMap& map) { return map.MbrDblNoDataValue; })
      .def("cells", &CellsOf)
      .def("x_centres", [](TMap& map) { return OrdinatesOf(*map.MbrPtrXAxis, 'X'); })
      .def("y_centres", [](TMap& map) { return OrdinatesOf(*map.MbrPtrYAxis, 'Y'); })
      .def("x_edges", [](TMap& map) { return OrdinatesOf(*map.MbrPtrXAxisInterval, 'X'); })
      .def("y_edges", [](TMap& map) { return OrdinatesOf(*map.MbrPtrYAxisInterval, 'Y'); })
      .def("copy", &CopyOf);

  module.def("read", &Read, py::arg("path"), py::arg("lenient"));
  module.def("write", &Write, py::arg("map"), py::arg("path"), py::arg("digits"));
  module.def("resample", &Resample, py::arg("map"), py::arg("resolution"), py::arg("nodata_aware"));
  module.def("resample_cells", &ResampleCells, py::arg("frame"), py::arg("cells"),
             py::arg("resolution"), py::arg("nodata_aware"));
  module.def("resample_file", &ResampleFile, py::arg("source"), py::arg("destination"),
             py::arg("resolution"), py::arg("lenient"), py::arg("nodata_aware"), py::arg("digits"),
             py::arg("atomic"), py::arg("threads"), py::arg("progress"), py::arg("input_format"),
             py::arg("output_format"), py::arg("band"), py::arg("float32"), py::arg("compression"));
}

} // namespace quillmap_python
