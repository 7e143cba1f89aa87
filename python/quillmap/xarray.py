"""quillmap and xarray: Grids as DataArrays and back, and resampling of
DataArrays, at once for numpy-backed arrays and band by band for
dask-backed ones.

A grid's DataArray has the dims ("y", "x"), coordinates at the cell centres
(``y`` descending from the north) and the attributes ``_FillValue`` and
``nodata`` (the no-data value; rioxarray reads ``_FillValue`` as its
nodata), ``cellsize``, ``xllcorner`` and ``yllcorner``.
"""

import numpy as np
import xarray

from . import _checks, _core
from ._grid import Grid

# How far, in cells, spacings may stray from even and attributes from the
# coordinates: repeated addition leaves the last bits of coordinates uneven.
_TOLERANCE = 1e-6
_DEFAULT_NODATA = -9999.0


def _attributes(cellsize, nodata, xllcorner, yllcorner):
    return {
        "_FillValue": nodata,
        "nodata": nodata,
        "cellsize": cellsize,
        "xllcorner": xllcorner,
        "yllcorner": yllcorner,
    }


def to_dataarray(grid, name=None):
    """Grid.to_xarray: see there."""
    attrs = _attributes(grid.cellsize, grid.nodata, grid.xllcorner, grid.yllcorner)
    return xarray.DataArray(
        grid.values, dims=("y", "x"), coords={"y": grid.y, "x": grid.x}, attrs=attrs, name=name
    )


def _north_up(dataarray):
    """The array with dims ("y", "x") and its two coordinates as floats."""
    if not isinstance(dataarray, xarray.DataArray):
        raise TypeError(f"expected an xarray.DataArray, not {type(dataarray).__name__}")
    if dataarray.ndim != 2 or set(dataarray.dims) != {"y", "x"}:
        raise ValueError(f"a grid needs the dims ('y', 'x'), not {dataarray.dims}")
    dataarray = dataarray.transpose("y", "x")
    if dataarray.dtype.kind not in "iuf":
        raise TypeError(f"a grid's values must be real numbers, not {dataarray.dtype}")
    coordinates = []
    for dim in ("x", "y"):
        if dim not in dataarray.coords:
            raise ValueError(f"a grid needs a {dim} coordinate of cell centres")
        coordinates.append(np.asarray(dataarray.coords[dim].values, dtype=np.float64))
    return dataarray, coordinates[0], coordinates[1]


def _spacing(centres, dim, rising):
    """The even spacing of the centres; None for a single centre."""
    if len(centres) < 2:
        return None
    steps = np.diff(centres)
    if rising and not np.all(steps > 0):
        raise ValueError("x must increase from column 0 (west) eastward")
    if not rising and not np.all(steps < 0):
        raise ValueError(
            "the grid is not north-up: y must decrease from row 0 (north) southward "
            f"(this array's y runs from {centres[0]!r} to {centres[-1]!r})"
        )
    spacing = abs((centres[-1] - centres[0]) / (len(centres) - 1))
    if np.max(np.abs(np.abs(steps) - spacing)) > _TOLERANCE * spacing:
        raise ValueError(
            f"{dim} is not evenly spaced: its steps run from {np.min(np.abs(steps))!r} "
            f"to {np.max(np.abs(steps))!r}"
        )
    return float(spacing)


def _agreeing(attrs, key, derived, cellsize):
    """The attribute where it agrees with the coordinates (it then is the
    exact number they came from), else the value derived from them."""
    value = attrs.get(key)
    if _checks._is_real(value) and abs(float(value) - derived) <= _TOLERANCE * cellsize:
        return float(value)
    return derived


def _header(dataarray):
    """(dataarray as ("y", "x"), columns, rows, xllcorner, yllcorner, cellsize, nodata)."""
    dataarray, x, y = _north_up(dataarray)
    attrs = dataarray.attrs
    dx = _spacing(x, "x", rising=True)
    dy = _spacing(y, "y", rising=False)
    if dx is not None and dy is not None and abs(dx - dy) > _TOLERANCE * max(dx, dy):
        raise ValueError(f"the cells are not square: x spacing {dx!r}, y spacing {dy!r}")
    cellsize = dx if dx is not None else dy
    if cellsize is None:
        if not _checks._is_real(attrs.get("cellsize")):
            raise ValueError("a grid of one cell needs a cellsize attribute")
        cellsize = _checks.positive(attrs["cellsize"], "the cellsize attribute")
    cellsize = _agreeing(attrs, "cellsize", cellsize, cellsize)
    xllcorner = _agreeing(attrs, "xllcorner", x[0] - cellsize / 2, cellsize)
    yllcorner = _agreeing(attrs, "yllcorner", y[-1] - cellsize / 2, cellsize)
    nodata, masked = _nodata(attrs, dataarray.encoding)
    if masked:
        dataarray = dataarray.fillna(nodata)
    rows, columns = dataarray.shape
    return dataarray, columns, rows, xllcorner, yllcorner, cellsize, nodata


def _nodata(attrs, encoding):
    """The no-data value, and whether xarray decoded it into not-a-number
    cells (a _FillValue in the encoding, as after open_dataarray): those
    cells are no-data."""
    if "_FillValue" in encoding and "_FillValue" not in attrs:
        return _checks.finite(encoding["_FillValue"], "the _FillValue encoding"), True
    for key in ("_FillValue", "nodata"):
        if key in attrs:
            return _checks.finite(attrs[key], f"the {key} attribute"), False
    return _DEFAULT_NODATA, False


def from_dataarray(cls, dataarray):
    """Grid.from_xarray: see there."""
    dataarray, _, _, xllcorner, yllcorner, cellsize, nodata = _header(dataarray)
    return cls(
        dataarray.values, xllcorner=xllcorner, yllcorner=yllcorner, cellsize=cellsize, nodata=nodata
    )


def resample(dataarray, resolution, nodata_aware=False):
    """A DataArray of a north-up grid resampled to cell size ``resolution``.

    The values are those of ``quillmap.resample`` on ``Grid.from_xarray`` of
    the array, to the bit, and so are the coordinates (the result's cell
    centres) and attributes.

    A numpy-backed array is resampled at once. A dask-backed one gives a lazy
    dask-backed DataArray whose blocks are bands of result rows; each block
    is computed from just the source rows it needs (the source blocks those
    rows lie in), on whatever scheduler computes it, and equals the eager
    result to the bit for every chunking. Chunks along x are joined first:
    chunk such arrays along y only.

    Raises what ``Grid.from_xarray`` raises for an array that is not a
    north-up grid of square cells, quillmap.Error with the toolkit's message
    for a resolution that it refuses (a lazy result raises it at once, as the
    eager one does), TypeError for a resolution that is not a number.
    """
    resolution = _checks.real(resolution, "resolution")
    aware = _checks.flag(nodata_aware, "nodata_aware")
    header = _header(dataarray)
    if header[0].chunks is None:
        source = from_dataarray(Grid, dataarray)
        from ._grid import resample as resample_grid

        return to_dataarray(resample_grid(source, resolution, aware), dataarray.name)
    return _resample_lazily(header, resolution, aware)


def _resample_lazily(header, resolution, aware):
    from . import _bands

    dataarray = header[0]
    plan = _core.BandPlan(*header[1:], resolution, aware)
    values = _bands.resample(dataarray.data, plan, header[1:], resolution, aware)
    frame = plan.frame
    attrs = _attributes(frame.cellsize, frame.nodata, float(frame.x_edges()[0]), float(frame.y_edges()[-1]))
    coords = {"y": frame.y_centres(), "x": frame.x_centres()}
    return xarray.DataArray(values, dims=("y", "x"), coords=coords, attrs=attrs, name=dataarray.name)
