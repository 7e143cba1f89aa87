// The parts of the extension module quillmap._core, each adding its classes
// and functions to the module. The package's Python files are the public
// interface: they check the arguments (types, shapes, finite numbers) and
// hold the docstrings; these functions take what those files pass.
#ifndef QUILLMAP_PYTHON_BINDINGS_H
#define QUILLMAP_PYTHON_BINDINGS_H

#include <pybind11/pybind11.h>

#include "gridio/TGeoTIFFWriteOptions.h"

namespace quillmap_python {

// quillmap._core.Map: the owner of one TMap, and its fields as numbers and
// arrays; reading, writing and resampling grids and grid files.
void BindMapsAndFiles(pybind11::module_& module);
// The map algebra of TMapTools over Map objects.
void BindMapTools(pybind11::module_& module);
// quillmap._core.BandPlan: a resampling computed band by band.
void BindBands(pybind11::module_& module);

// A GeoTIFF result's samples (float32, else float64) and compression (0
// none, 1 deflate, 2 lzw, 3 zstd, as the Python side numbers them).
TGeoTIFFWriteOptions GeoTIFFWriteOptionsOf(bool float32, int compression);

// read_geotiff and write_geotiff where the toolkit has GeoTIFF, and
// has_geotiff.
void BindGeoTIFF(pybind11::module_& module);

} // namespace quillmap_python

#endif
