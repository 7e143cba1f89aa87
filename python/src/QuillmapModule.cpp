// The extension module quillmap._core.
#include "Bindings.h"
#include "ToolkitCall.h"

PYBIND11_MODULE(_core, module) {
  module.doc() = "The C++ core of the quillmap package; use the package quillmap itself.";
  quillmap_python::RegisterErrors(module);
  quillmap_python::BindMapsAndFiles(module);
  quillmap_python::BindMapTools(module);
  quillmap_python::BindBands(module);
  quillmap_python::BindGeoTIFF(module);
}
