"""quillmap.Grid, and reading, writing and resampling grids and grid files."""

import numpy as np

from . import _checks, _core

_DEFAULT_NODATA = -9999.0


def _read_only(array):
    array.flags.writeable = False
    return array


class Grid:
    """A raster grid of float64 values over square cells, north up.

    Made by ``read``, by the operations of this package, or from values::

        Grid(values, *, xllcorner, yllcorner, cellsize, nodata=-9999.0)

    ``values`` is anything numpy turns into a 2-D array of real numbers,
    row 0 the northern row and column 0 the western one (a masked array's
    masked cells become ``nodata``). The cell edges are built as the grid
    reader builds them from a file's header with these numbers (accumulated
    from the lower-left corner, one cell size at a time), so writing
    ``Grid(read(f).values, ...the header of f...)`` gives back the bytes of
    ``f``. The values are copied.

    Raises TypeError for values that are not real numbers (bool, complex,
    strings, objects) or numbers that are not numbers at all, and ValueError
    for values that are not 2-D, that have no cell, or whose rows differ in
    length, and for a cell size, corner or no-data value that is not a finite
    number (a cell size must also be greater than 0).

    A Grid does not change: ``values``, ``x`` and ``y`` are read-only arrays
    (``grid.values.copy()`` gives one to change). Fields:

    - ``values``: the cells, shape ``(rows, columns)``, float64.
    - ``cellsize``, ``nodata``: the cell size and the no-data value.
    - ``xllcorner``, ``yllcorner``: the lower-left corner, as the writer
      writes it (the west edge, the south edge).
    - ``shape``: ``(rows, columns)``.
    - ``x``, ``y``: the cell centres, exactly the map's own axes (``y``
      descending from the north).
    - ``bounds``: ``(left, bottom, right, top)``, the outer cell edges.
    - ``transform``: the six affine numbers in rasterio's order,
      ``(cellsize, 0, left, 0, -cellsize, top)``, as an ``affine.Affine``
      where that package is installed, else as a tuple.

    Arithmetic follows the toolkit's rules (``TMapTools``); each result is
    a new Grid:

    - ``a + b``, ``a * b`` (grids): on the grid of the finer one (``b`` when
      its cell size is smaller than ``a``'s, else ``a``), the other read in
      the cell that holds each result cell's centre; a cell where either is
      no-data (equal to its own grid's ``nodata``) becomes the finer grid's
      no-data value. A centre outside the other grid raises quillmap.Error.
    - ``a / b``: on the dividend's grid, the same no-data rule; a divisor
      finer than the dividend raises quillmap.Error. Division by 0 gives
      infinities (0 / 0 not-a-number) as data.
    - ``a - b``: cell by cell with equal indices (shapes must be equal,
      else quillmap.Error); coordinates are not compared.
    - ``a * k``, ``k * a`` (numbers): every cell times k, except cells equal
      to -9999, which stay -9999 whatever ``a.nodata`` is; the result's
      no-data value is -9999.
    - ``a / k``: every cell divided by k, except cells equal to ``a.nodata``,
      which stay as they are; the result's no-data value is -9999.
    - A grid and a number do not add or subtract, and a number is not
      divided by a grid: TypeError.
    """

    # The values live in a numpy array or in a toolkit map, or both: a Grid
    # read from a file or made from values holds its array and its frame (the
    # map's geometry, no cells) and makes its map only for the first toolkit
    # operation on it; a Grid that the toolkit made holds its map, which is
    # also its frame, and makes its array when ``values`` is first asked for.
    __slots__ = ("_map", "_frame", "_values")
    # numpy hands its operators and ufuncs with a Grid to the Grid's own.
    __array_ufunc__ = None

    def __init__(self, values, *, xllcorner, yllcorner, cellsize, nodata=_DEFAULT_NODATA):
        nodata = _checks.finite(nodata, "nodata")
        if np.ma.isMaskedArray(values):
            values = values.filled(nodata)
        cells = _checks.cells(values)
        if np.may_share_memory(cells, values):
            cells = cells.copy()
        rows, columns = cells.shape
        self._frame = _core.Map.frame(
            columns,
            rows,
            _checks.finite(xllcorner, "xllcorner"),
            _checks.finite(yllcorner, "yllcorner"),
            _checks.positive(cellsize, "cellsize"),
            nodata,
        )
        self._values = _read_only(cells)
        self._map = None

    @classmethod
    def _of(cls, core_map):
        grid = cls.__new__(cls)
        grid._map = core_map
        grid._frame = core_map
        grid._values = None
        return grid

    @classmethod
    def _of_cells(cls, frame, cells):
        grid = cls.__new__(cls)
        grid._map = None
        grid._frame = frame
        grid._values = _read_only(cells)
        return grid

    def _toolkit_map(self, keep=True):
        """The toolkit's map of the grid: made from the array when there is
        none, and kept unless keep is false (a map for one call only)."""
        if self._map is not None:
            return self._map
        core_map = self._frame.filled(self._values)
        if keep:
            self._map = core_map
        return core_map

    @property
    def values(self):
        if self._values is None:
            self._values = _read_only(self._map.cells())
        return self._values

    def __array__(self, dtype=None):
        return self.values if dtype is None else self.values.astype(dtype)

    @property
    def cellsize(self):
        return self._frame.cellsize

    @property
    def nodata(self):
        return self._frame.nodata

    @property
    def shape(self):
        return (self._frame.rows, self._frame.columns)

    @property
    def x(self):
        return _read_only(self._frame.x_centres())

    @property
    def y(self):
        return _read_only(self._frame.y_centres())

    @property
    def xllcorner(self):
        return float(self._frame.x_edges()[0])

    @property
    def yllcorner(self):
        return float(self._frame.y_edges()[-1])

    @property
    def bounds(self):
        x_edges = self._frame.x_edges()
        y_edges = self._frame.y_edges()
        return (float(x_edges[0]), float(y_edges[-1]), float(x_edges[-1]), float(y_edges[0]))

    @property
    def transform(self):
        left, _, _, top = self.bounds
        numbers = (self.cellsize, 0.0, left, 0.0, -self.cellsize, top)
        try:
            import affine
        except ImportError:
            return numbers
        return affine.Affine(*numbers)

    def __repr__(self):
        rows, columns = self.shape
        return (
            f"quillmap.Grid({rows} rows x {columns} columns, cellsize={self.cellsize!r}, "
            f"xllcorner={self.xllcorner!r}, yllcorner={self.yllcorner!r}, nodata={self.nodata!r})"
        )

    def to_xarray(self, name=None):
        """The grid as an xarray.DataArray with dims ("y", "x").

        Coordinates at the cell centres (``y`` and ``x``, exactly this grid's
        axes); attributes ``_FillValue`` and ``nodata`` (the no-data value,
        read by rioxarray as its nodata), ``cellsize``, ``xllcorner`` and
        ``yllcorner``. The values are this grid's read-only array, not a
        copy. Raises ImportError without xarray.
        """
        from . import xarray as _xarray

        return _xarray.to_dataarray(self, name)

    @classmethod
    def from_xarray(cls, dataarray):
        """A Grid from an xarray.DataArray of a north-up grid of square cells.

        The array must have the dims ("y", "x") (in either order), ``x``
        ascending and ``y`` descending at even spacings, the same in both
        directions; the corner comes from the coordinates (the
        ``xllcorner``/``yllcorner``/``cellsize`` attributes that
        ``to_xarray`` writes are used where they agree with them, so a grid
        comes back exactly). No-data: the ``_FillValue`` or ``nodata``
        attribute, else -9999; where xarray has decoded the ``_FillValue``
        into not-a-number cells (it is then in the encoding only, as after
        ``open_dataarray``), those cells become no-data again. Raises ValueError, saying what the array has,
        for anything else, and TypeError for values that are not real
        numbers.
        """
        from . import xarray as _xarray

        return _xarray.from_dataarray(cls, dataarray)

    # Arithmetic: see the class's docstring.
    def __add__(self, other):
        if isinstance(other, Grid):
            return Grid._of(_core.add(self._toolkit_map(), other._toolkit_map()))
        return _number_operand(other, "+")

    def __radd__(self, other):
        return _number_operand(other, "+")

    def __sub__(self, other):
        if isinstance(other, Grid):
            return Grid._of(_core.subtract(self._toolkit_map(), other._toolkit_map()))
        return _number_operand(other, "-")

    def __rsub__(self, other):
        return _number_operand(other, "-")

    def __mul__(self, other):
        if isinstance(other, Grid):
            return Grid._of(_core.multiply(self._toolkit_map(), other._toolkit_map()))
        if _checks._is_real(other):
            return Grid._of(_core.multiply_number(self._toolkit_map(), float(other)))
        return NotImplemented

    def __rmul__(self, other):
        if _checks._is_real(other):
            return Grid._of(_core.multiply_number(self._toolkit_map(), float(other)))
        return NotImplemented

    def __truediv__(self, other):
        if isinstance(other, Grid):
            return Grid._of(_core.divide(self._toolkit_map(), other._toolkit_map()))
        if _checks._is_real(other):
            return Grid._of(_core.divide_number(self._toolkit_map(), float(other)))
        return NotImplemented

    def __rtruediv__(self, other):
        return _number_operand(other, "/")


def _number_operand(other, operator):
    """NotImplemented for a non-number (its own operators may apply); a clear
    TypeError for a number, which the toolkit does not combine this way."""
    if not _checks._is_real(other):
        return NotImplemented
    raise TypeError(
        f"unsupported operation {operator} between a quillmap.Grid and a number: "
        "grids add to, subtract from and divide grids; numbers only multiply and divide grids"
    )


def _require_grid(value, name):
    if not isinstance(value, Grid):
        raise TypeError(f"{name} must be a quillmap.Grid, not {type(value).__name__}")


def grid_map(value, name="grid", keep=True):
    """The toolkit map of a Grid argument (see Grid._toolkit_map)."""
    _require_grid(value, name)
    return value._toolkit_map(keep)


# The first bytes of a TIFF file: classic and BigTIFF, either byte order.
_TIFF_MAGIC = (b"II*\0", b"MM\0*", b"II+\0", b"MM\0+")
_FORMATS = ("ascii", "geotiff")
# write's compress choices, numbered as quillmap._core.write_geotiff takes them.
_COMPRESSIONS = (None, "deflate", "lzw", "zstd")
_DTYPES = ("float64", "float32")


def _format(format, guess):
    """"ascii" or "geotiff": the one given, or guess() for None."""
    if format is None:
        format = guess()
    elif format not in _FORMATS:
        raise ValueError(f"format must be None, 'ascii' or 'geotiff', not {format!r}")
    if format == "geotiff" and not _core.has_geotiff:
        raise _core.Error("GeoTIFF files cannot be read or written: this quillmap is built without GeoTIFF")
    return format


def _format_number(format, name):
    """The toolkit's number for a file format: 0 ESRI ASCII, 1 GeoTIFF, 2 by
    the file's first bytes or its name (None)."""
    if format is None:
        return 2
    if format not in _FORMATS:
        raise ValueError(f"{name} must be None, 'ascii' or 'geotiff', not {format!r}")
    return _FORMATS.index(format)


def _geotiff_choices(compress, dtype):
    """(float32, compression number) for a GeoTIFF result's choices."""
    if compress not in _COMPRESSIONS:
        raise ValueError(f"compress must be None, 'deflate', 'lzw' or 'zstd', not {compress!r}")
    if dtype not in _DTYPES:
        raise ValueError(f"dtype must be 'float64' or 'float32', not {dtype!r}")
    return dtype == "float32", _COMPRESSIONS.index(compress)


def _format_of_file(name):
    """GeoTIFF when the file starts as a TIFF file does; ASCII otherwise,
    also when it cannot be opened (the reader then says so)."""
    try:
        with open(name, "rb") as file:
            start = file.read(4)
    except OSError:
        return "ascii"
    return "geotiff" if start in _TIFF_MAGIC else "ascii"


def _format_of_name(name):
    """GeoTIFF for a name ending in .tif or .tiff (any case); ASCII otherwise."""
    return "geotiff" if name.lower().endswith((b".tif", b".tiff")) else "ascii"


def read(path, lenient=False, format=None):
    """Read an ESRI ASCII grid file or a GeoTIFF file into a Grid.

    ``format``: None to tell the two apart by the file's first bytes (a
    TIFF file's, classic or BigTIFF, else ESRI ASCII), or ``"ascii"`` or
    ``"geotiff"``. A GeoTIFF is read as TGeoTIFFFileTools reads it (band 1,
    north up, square cells, the GDAL_NODATA tag's no-data value, else
    -9999); ``lenient`` applies to ESRI ASCII grids only.

    With ``lenient=True`` the file is read as ``quillmap --lenient`` reads it
    (keywords in any case, header entries in any order, xllcenter and
    yllcenter, no NODATA_value entry, a byte order mark, no line end after
    the last value). The values are exactly the file's doubles.

    Raises quillmap.FileError (also an OSError) when the file cannot be
    opened ("Unable to open file " and the name), quillmap.Error with the
    reader's message for a file it refuses ("File format error: expected to
    find ncols tag", "Unexpected end of file found in
    TARCGISFileTools::LoadARCGISFile", ...), TypeError for a path that is not
    a path, ValueError for a path with a null character or an unknown
    format, and quillmap.Error with GeoTIFF's messages ("File is not a TIFF
    file in TGeoTIFFFileTools::LoadGeoTIFFFile", ...) for a GeoTIFF it
    refuses, or when GeoTIFF is not built in.
    """
    name = _checks.path(path, "path")
    lenient = _checks.flag(lenient, "lenient")
    if _format(format, lambda: _format_of_file(name)) == "geotiff":
        return Grid._of(_core.read_geotiff(name))
    return Grid._of_cells(*_core.read(name, lenient))


def write(grid, path, digits=6, format=None, compress=None, dtype="float64"):
    """Write a Grid as an ESRI ASCII grid file or a GeoTIFF file, created or
    truncated.

    ``format``: None to choose by the name (GeoTIFF for a name ending in
    ``.tif`` or ``.tiff``, any case; ESRI ASCII otherwise), or ``"ascii"``
    or ``"geotiff"``. A GeoTIFF is written as TGeoTIFFFileTools writes it
    (one band in strips, the georeferencing and GDAL_NODATA tags), its
    samples of ``dtype`` ``"float64"`` (exact) or ``"float32"``, with
    ``compress`` None, ``"deflate"``, ``"lzw"`` or ``"zstd"``; ``digits``
    applies to ESRI ASCII grids only, ``compress`` and ``dtype`` to GeoTIFF.

    The text is the toolkit writer's: the header, then one line per row,
    north first, each value with ``digits`` significant digits (1 to 17; 17
    reads back as the same double) and a blank after it. With the default 6
    the bytes are those the command line writes.

    Raises quillmap.Error "Digits must lie between 1 and 17 in
    TARCGISFileTools::WriteARCGISFile" before anything is written,
    quillmap.FileError when the file cannot be opened ("Unable to open file
    ...") or not written completely ("Unable to write file ..."), TypeError
    for a grid that is not a Grid, a path that is not a path or digits that
    are not a whole number, ValueError for an unknown format, compression or
    dtype, and quillmap.Error with GeoTIFF's messages, or when GeoTIFF is
    not built in.
    """
    core_map = grid_map(grid, keep=False)
    name = _checks.path(path, "path")
    digits = _checks.whole(digits, "digits")
    float32, compression = _geotiff_choices(compress, dtype)
    if _format(format, lambda: _format_of_name(name)) == "geotiff":
        _core.write_geotiff(core_map, name, float32, compression)
    else:
        _core.write(core_map, name, digits)


def resample(grid, resolution, nodata_aware=False):
    """The grid resampled to cell size ``resolution`` by bilinear interpolation.

    The in-memory resampling of the command line (the same values to the
    bit): a grid of ``cellsize * columns / resolution`` columns (likewise
    rows, truncated) anchored at the north-west corner, every cell first set
    to the no-data value, then filled along the walk of sample points that
    starts one source cell in from the west and north edges. Source no-data
    cells are interpolated as plain numbers unless ``nodata_aware=True``,
    which gives the no-data value to every point with a no-data corner. The
    result keeps the source's no-data value.

    Raises quillmap.Error with the toolkit's message: "New resolution cannot
    be <= 0.0 in TMapTools::BilinearInterpolate" (zero, negative or
    not-a-number), "Index is out of range in TAxis::GetPoint" (larger than
    the grid), "LngGetY2 is out of range in TMapTools::BilinearInterpolate"
    and the like (a grid too small for the walk), "Grid dimensions are too
    large in TMapTools::Downscale"; TypeError for a resolution that is not a
    number at all (a string, None).
    """
    _require_grid(grid, "grid")
    resolution = _checks.real(resolution, "resolution")
    aware = _checks.flag(nodata_aware, "nodata_aware")
    # A grid whose values are an array is resampled from it into a new one.
    if grid._values is not None:
        return Grid._of_cells(*_core.resample_cells(grid._frame, grid._values, resolution, aware))
    return Grid._of(_core.resample(grid._map, resolution, aware))


def resample_file(
    source,
    dest,
    resolution,
    lenient=False,
    nodata_aware=False,
    digits=6,
    threads=None,
    progress=None,
    atomic=False,
    format=None,
    dest_format=None,
    band=1,
    compress=None,
    dtype="float64",
):
    """Resample the grid file ``source`` into the grid file ``dest``.

    The bounded path of the command line: the bytes, the messages and the
    destination's fate are those of ``quillmap [options] source dest
    resolution``; the source is never held in memory, and every failure
    before the write leaves an existing destination untouched. ``lenient``,
    ``nodata_aware``, ``digits`` and ``atomic`` are the command line's
    ``--lenient``, ``--nodata-aware``, ``--digits`` and ``--atomic`` (write a
    new file and rename it over ``dest`` only once it is complete, so that
    no failure leaves a part-written destination).

    ``threads``: None for every core the process may use, or a number of
    threads (at least 1); the bytes are the same for any number.

    ``progress``: None, or a callable given the fraction of the result's
    cells written: 0.0 once the arguments are checked, then increasing
    fractions as blocks of rows reach the destination, and 1.0 once it is
    complete. It is called with the GIL held, one call at a time, maybe from
    a worker thread of the toolkit. An exception it raises stops the run and
    propagates from ``resample_file`` as it was raised, as a failed write
    would: the destination is left part-written, or, with ``atomic=True``,
    as it was.

    ``format`` and ``dest_format``: the formats of ``source`` and ``dest``,
    ``"ascii"`` or ``"geotiff"``, or None for the rules of ``read`` and
    ``write`` (a source by its first bytes, a destination by a ``.tif`` or
    ``.tiff`` name); the command line's ``--input-format`` and
    ``--output-format``. ``band``, ``compress`` and ``dtype`` are its
    ``--band``, ``--compress`` and ``--output-type``, for GeoTIFF files.

    Raises quillmap.FileError ("Unable to open file ...", "Unable to write
    file ..."), quillmap.Error with the reader's or the resampling's message,
    TypeError for arguments of the wrong type (a resolution that is not a
    number, a progress that is not callable), ValueError for threads below
    1, a band below 1 or an unknown format, compression or dtype.
    """
    source_name = _checks.path(source, "source")
    dest_name = _checks.path(dest, "dest")
    resolution = _checks.real(resolution, "resolution")
    lenient = _checks.flag(lenient, "lenient")
    aware = _checks.flag(nodata_aware, "nodata_aware")
    digits = _checks.whole(digits, "digits")
    atomic = _checks.flag(atomic, "atomic")
    # The toolkit takes 0 for every core.
    workers = 0 if threads is None else _checks.whole(threads, "threads")
    if threads is not None and workers < 1:
        raise ValueError(f"threads must be None or at least 1, not {threads}")
    if progress is not None and not callable(progress):
        raise TypeError(f"progress must be callable, not {type(progress).__name__}")
    input_format = _format_number(format, "format")
    output_format = _format_number(dest_format, "dest_format")
    band = _checks.whole(band, "band")
    if band < 1:
        raise ValueError(f"band must be at least 1, not {band}")
    float32, compression = _geotiff_choices(compress, dtype)
    if progress is not None:
        progress(0.0)
    _core.resample_file(source_name, dest_name, resolution, lenient, aware, digits, atomic, workers,
                        progress, input_format, output_format, band, float32, compression)
