"""quillmap: raster grids for numpy, xarray and dask users.

Read and write ESRI ASCII grids, resample them by bilinear interpolation
with bit-reproducible results (the command line's values and bytes), and
use the toolkit's map algebra, all on the C++ core of the ``quillmap``
tool; the C++ code runs without the GIL.

- ``Grid``: a grid's values (a read-only 2-D float64 array, row 0 north)
  and geometry.
- ``read``, ``write``, ``resample``, ``resample_file``.
- The map algebra: ``+ - * /`` on Grids, and the functions of
  ``quillmap.algebra`` (series, filters and counts, sub-grids, sampling),
  also here by name.
- ``quillmap.xarray``: DataArrays in and out, and a lazy band-by-band
  resampling of dask-backed arrays.
- ``quillmap.dask``: batches of file-to-file resamplings on a
  dask.distributed cluster.
- ``Error``: every failure of the toolkit, with its exact message;
  ``FileError``, both an ``Error`` and an ``OSError``, for files that cannot
  be opened or written.
"""

import importlib

from ._core import Error, FileError
from ._grid import Grid, read, resample, resample_file, write
from .algebra import (
    average,
    buffer_indices,
    count_value,
    count_values,
    data_counts,
    downscale,
    extract,
    fetch_map_values,
    fill_block,
    find_patch_extent,
    first_values,
    insert,
    intersection,
    mask,
    moving_average,
    nonzero_neighbour_value,
    replace_value,
    round_contents,
    subdivide,
    sum,
    threshold,
    threshold_replace,
    value_gradients,
    values_overlay,
    values_vector,
)

__all__ = [
    "Error",
    "FileError",
    "Grid",
    "read",
    "write",
    "resample",
    "resample_file",
    "average",
    "buffer_indices",
    "count_value",
    "count_values",
    "data_counts",
    "downscale",
    "extract",
    "fetch_map_values",
    "fill_block",
    "find_patch_extent",
    "first_values",
    "insert",
    "intersection",
    "mask",
    "moving_average",
    "nonzero_neighbour_value",
    "replace_value",
    "round_contents",
    "subdivide",
    "sum",
    "threshold",
    "threshold_replace",
    "value_gradients",
    "values_overlay",
    "values_vector",
]

# quillmap.xarray and quillmap.dask need those packages: imported on first use.
_OPTIONAL = ("xarray", "dask")


def __getattr__(name):
    if name in _OPTIONAL:
        return importlib.import_module(f"{__name__}.{name}")
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
