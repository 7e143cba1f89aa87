"""The toolkit's map algebra over Grids: series, filters and counts,
sub-grids and sampling (TMapTools). Every function leaves its input grids
as they are and returns new ones; the toolkit's failures raise
quillmap.Error with its exact message, wrong Python input TypeError or
ValueError.

Cells are paired by index in the series operations and the filters. A cell
is no-data where it equals its own grid's ``nodata`` exactly, only where a
function says so; not-a-number cells count as data. Blocks of cells are
``(north, south, west, east)``: the first and last row and column, inclusive,
row 0 north, column 0 west.
"""

from . import _checks, _core
from ._grid import Grid, grid_map

_ROW = _checks.LONG_RANGE


def _grids(values, name="grids"):
    return [grid_map(item, f"each of {name}") for item in _checks.items(values, name, "quillmap.Grid")]


def _new(core_map):
    return Grid._of(core_map)


# ---- Series ----


def sum(grids):
    """The cell-by-cell sum of two or more grids of equal shape, on the first
    grid's geometry. A cell that is no-data in any grid gets the no-data value
    of the first grid (in order) that is no-data there; the result declares
    -9999. Raises quillmap.Error "Must have more than 2 maps to sum in
    TMapTools::Sum" (fewer than two), "X-dimension of maps are inconsistent in
    TMapTools::Sum" (likewise Y)."""
    return _new(_core.sum(_grids(grids)))


def data_counts(grids):
    """How many grids hold data (differ from their own no-data value) in each
    cell: whole numbers 0 to len(grids), on the first grid's geometry; the
    result declares -9999. Raises quillmap.Error for an empty sequence or
    shapes that differ ("X-dimension of maps are inconsistent in
    TMapTools::DataCounts")."""
    return _new(_core.data_counts(_grids(grids)))


def average(grids):
    """``sum(grids)`` divided by ``data_counts(grids)``: where every grid holds
    data, the mean; a cell whose sum is -9999 stays -9999. The failures of
    ``sum``."""
    return _new(_core.average(_grids(grids)))


def moving_average(grids, window):
    """The ``average`` of every run of ``window`` consecutive grids, in order:
    ``len(grids) - window + 1`` grids, none when the window is longer than the
    series. A window below 2 raises quillmap.Error (from the sum)."""
    return [_new(m) for m in _core.moving_average(_grids(grids), _checks.whole(window, "window"))]


def value_gradients(grids, window):
    """One grid of trends per window position i: in each cell the
    least-squares slope, per grid, of the cell's values in grids i to
    i + window, no-data values left out of the fit and zeros first filled from
    the neighbouring cells (a cell that is 0 in grid i stays -9999). Returns
    ``len(grids) - window`` grids on the first grid's geometry. Raises
    quillmap.Error "Window size must be < number of maps in
    TMapTools::ValueGradients", "Map dimensions do not match in
    TMapTools::ValueGradients" and the like."""
    return [_new(m) for m in _core.value_gradients(_grids(grids), _checks.whole(window, "window"))]


# ---- Filters and counts ----


def threshold_replace(grid, threshold, replacement):
    """Cells at or above ``threshold`` become ``replacement``; the others (and
    not-a-number cells) are copied. No-data cells are plain numbers; the
    result declares -9999."""
    return _new(
        _core.threshold_replace(
            grid_map(grid), _checks.real(threshold, "threshold"), _checks.real(replacement, "replacement")
        )
    )


def threshold(grid, threshold):
    """Cells at or above ``threshold`` are copied, all others become 0. Given a
    sequence of grids, a list with each one thresholded. The result declares
    -9999."""
    value = _checks.real(threshold, "threshold")
    if isinstance(grid, Grid):
        return _new(_core.threshold(grid_map(grid), value))
    return [_new(_core.threshold(m, value)) for m in _grids(grid, "grid")]


def replace_value(grid, table, default):
    """Each cell becomes ``table[cell]`` where the table (a mapping of numbers
    to numbers) has a key equal to it, else ``default``. The result declares
    -9999. Raises TypeError for a table that is not such a mapping."""
    try:
        entries = {_checks.real(k, "each key of table"): _checks.real(v, "each value of table") for k, v in table.items()}
    except AttributeError:
        raise TypeError(f"table must be a mapping of numbers to numbers, not {type(table).__name__}") from None
    return _new(_core.replace_value(grid_map(grid), entries, _checks.real(default, "default")))


def mask(first, second, mask_value, replacement):
    """``second``'s values on ``first``'s geometry, cells equal to
    ``mask_value`` replaced by ``replacement``; ``first``'s values are not
    read. Raises quillmap.Error "X dimensions do not match in TMapTools::Mask"
    (likewise Y)."""
    return _new(
        _core.mask(
            grid_map(first, "first"),
            grid_map(second, "second"),
            _checks.real(mask_value, "mask_value"),
            _checks.real(replacement, "replacement"),
        )
    )


def round_contents(grid):
    """Each cell v rounded: n + 1 when v - n >= 0.5, else n, n being v
    truncated toward zero (halves round up for positive values, negative ones
    are truncated). The result declares -9999."""
    return _new(_core.round_contents(grid_map(grid)))


def count_values(grid):
    """A dict of each distinct cell value to its number of cells, in ascending
    order of value (not-a-number cells are not counted)."""
    return _core.count_values(grid_map(grid))


def count_value(grid, value):
    """The number of cells equal to ``value`` (not-a-number matches none)."""
    return _core.count_value(grid_map(grid), _checks.real(value, "value"))


# ---- Resampling and sub-grids ----


def downscale(grid, resolution):
    """An empty grid of cell size ``resolution`` over the grid's extent (the
    geometry ``resample`` fills): every cell -9999. Raises quillmap.Error as
    ``resample`` does for a grid that cannot be built."""
    return _new(_core.downscale(grid_map(grid), _checks.real(resolution, "resolution")))


def subdivide(grid, factor):
    """Every cell split into ``factor`` x ``factor`` cells holding its value.
    The result declares -9999. Raises quillmap.Error "Subdivision factor must
    be at least 1 in TMapTools::Subdivide"."""
    return _new(_core.subdivide(grid_map(grid), _checks.whole(factor, "factor")))


def find_patch_extent(grid, value):
    """The smallest block ``(north, south, west, east)`` holding every cell
    equal to ``value``; ``(0, 0, 0, 0)`` when none is."""
    return _core.find_patch_extent(grid_map(grid), _checks.real(value, "value"))


def _block(block):
    try:
        north, south, west, east = block
    except (TypeError, ValueError):
        raise TypeError("block must be four whole numbers (north, south, west, east)") from None
    names = ("north", "south", "west", "east")
    return tuple(_checks.whole(i, n, _ROW) for i, n in zip((north, south, west, east), names))


def buffer_indices(grid, margin, block):
    """The block moved outward by ``margin`` cells on each side and clamped to
    the grid on the side it moves toward."""
    return _core.buffer_indices(grid_map(grid), _checks.whole(margin, "margin", _ROW), *_block(block))


def fill_block(grid, value, block):
    """A copy of the grid with every cell of the block set to ``value``.
    Raises quillmap.Error "Northern edge must be less than southern edge in
    TMapTools::FillBlock", "Northern ordinate is out of range in
    TMapTools::FillBlock" and the like."""
    return _new(_core.fill_block(grid_map(grid), _checks.real(value, "value"), *_block(block)))


def extract(grid, corner, opposite_corner):
    """A new grid of the cells between two opposite corners (``(x, y)``
    points, in either order), both corner cells included, with the grid's
    cell coordinates; it declares -9999. Raises quillmap.Error "Ordinate is
    out of range in TAxis::GetIndex" for a corner outside the grid."""
    return _new(
        _core.extract(grid_map(grid), _checks.point(corner, "corner"), _checks.point(opposite_corner, "opposite_corner"))
    )


def insert(destination, grid):
    """A copy of ``destination`` with ``grid``'s values written into the cells
    that hold its cell centres (the last one wins where several fall into one
    cell). Raises quillmap.Error "Insert map's NW corner is outside of the
    destination map in TMapTools::Insert" (likewise SE) and the lookup's
    message for a centre outside the destination; ``destination`` itself never
    changes."""
    return _new(_core.insert(grid_map(destination, "destination"), grid_map(grid)))


def intersection(first, second):
    """Both grids cut down to their common area: a pair of new grids. Raises
    quillmap.Error "Maps do not intersect in TMapTools::Intersection" for
    grids that share no area."""
    a, b = _core.intersection(grid_map(first, "first"), grid_map(second, "second"))
    return (_new(a), _new(b))


# ---- Sampling ----


def fetch_map_values(grid, points):
    """A dict of each label of ``points`` (a mapping of numbers to ``(x, y)``
    points) to the value of the cell holding its point. Raises quillmap.Error
    "Ordinate is out of range in TAxis::GetIndex" for a point outside."""
    try:
        items = points.items()
    except AttributeError:
        raise TypeError(f"points must be a mapping of labels to (x, y), not {type(points).__name__}") from None
    table = {_checks.real(k, "each label of points"): _checks.point(v, "each point") for k, v in items}
    return _core.fetch_map_values(grid_map(grid), table)


def first_values(grid, exclude=()):
    """A dict of each distinct value not in ``exclude`` to the ``(x, y)``
    centre of the first cell holding it, columns outermost; a cell equal to
    the one visited just before it (the first compared with the no-data value)
    is passed over."""
    return _core.first_values(grid_map(grid), _checks.reals(exclude, "exclude"))


def nonzero_neighbour_value(grid, column, row):
    """The first nonzero value, in row order, of the right-most column holding
    one in the 3 x 3 block around (column, row), cut at the edges; 0 when the
    block holds only zeros. Raises quillmap.Error "X-ordinate is out of range
    in TMapTools::FindNonzeroNeighbourVal" (likewise Y)."""
    return _core.nonzero_neighbour_value(
        grid_map(grid), _checks.whole(column, "column", _ROW), _checks.whole(row, "row", _ROW)
    )


def values_vector(grids, column, row, start, end):
    """The values of cell (column, row) in grids ``start`` to ``end``
    inclusive. Raises quillmap.Error "Start map number is out of range in
    TMapTools::GetValuesVector", "Stat map number must be less than end map
    number" and the like."""
    return _core.values_vector(
        _grids(grids),
        _checks.whole(column, "column", _ROW),
        _checks.whole(row, "row", _ROW),
        _checks.whole(start, "start"),
        _checks.whole(end, "end"),
    )


def values_overlay(values, keys, exclude=()):
    """A dict of each value of the ``keys`` grid (not in ``exclude``) to the
    list of the ``values`` grid's values in the cells where ``keys`` holds it.
    Raises quillmap.Error "Map X-dimensions do not match" (likewise Y)."""
    return _core.values_overlay(
        grid_map(values, "values"), grid_map(keys, "keys"), _checks.reals(exclude, "exclude")
    )
