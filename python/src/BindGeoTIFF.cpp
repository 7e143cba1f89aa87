// quillmap._core's GeoTIFF functions (TGeoTIFFFileTools), when the toolkit
// is built with GeoTIFF; `has_geotiff` says whether it is.
#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "Bindings.h"
#include "ToolkitCall.h"

#ifdef QUILLMAP_PYTHON_GEOTIFF
#include "gridio/TGeoTIFFFileTools.h"
#endif

namespace py = pybind11;

namespace quillmap_python {

#ifdef QUILLMAP_PYTHON_GEOTIFF
namespace {

using TOwnedMap = std::unique_ptr<TMap>;

TOwnedMap ReadGeoTIFF(const std::string& path) {
  return RunToolkit([&] { return TOwnedMap(TGeoTIFFFileTools::LoadGeoTIFFFile(path)); });
}

void WriteGeoTIFF(TMap& map, const std::string& path, bool float32, int compression) {
  const TGeoTIFFWriteOptions options = GeoTIFFWriteOptionsOf(float32, compression);
  RunToolkit([&] { TGeoTIFFFileTools::WriteGeoTIFFFile(&map, path, options, nullptr); });
}

} // namespace
#endif

void BindGeoTIFF(py::module_& module) {
#ifdef QUILLMAP_PYTHON_GEOTIFF
  module.attr("has_geotiff") = true;
  module.def("read_geotiff", &ReadGeoTIFF, py::arg("path"));
  module.def("write_geotiff", &WriteGeoTIFF, py::arg("map"), py::arg("path"), py::arg("float32"),
             py::arg("compression"));
#else
  module.attr("has_geotiff") = false;
#endif
}

} // namespace quillmap_python
