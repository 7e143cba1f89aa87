"""quillmap.Grid: its fields against the reader's rules, Grids made from
values, and the table of wrong inputs with their exceptions and messages."""

import math

import numpy as np
import pytest

import quillmap
from conftest import SAMPLE, run_tool, same_bits


def reader_axes(columns, rows, xllcorner, yllcorner, cellsize):
    """The reader's centres: edges accumulated from the lower-left corner one
    cell size at a time, each centre half the gap from its first edge."""
    y_edges = [yllcorner]
    for _ in range(rows):
        y_edges.append(y_edges[-1] + cellsize)
    y_edges.reverse()
    x_edges = [xllcorner]
    for _ in range(columns):
        x_edges.append(x_edges[-1] + cellsize)
    x = [a + abs(b - a) * 0.5 for a, b in zip(x_edges, x_edges[1:])]
    y = [a - abs(b - a) * 0.5 for a, b in zip(y_edges, y_edges[1:])]
    return x, y, x_edges, y_edges


@pytest.mark.parametrize("columns, rows, xll, yll, cellsize", [
    (300, 240, 512000.0, 4180000.0, 25.0),
    (7, 3, 0.1, -0.3, 0.1),
    (1, 1, -180.0, -90.0, 0.008333333333333333),
])
def test_fields_follow_the_readers_geometry(make_grid, columns, rows, xll, yll, cellsize):
    path = make_grid(columns, rows, seed=3, cellsize=cellsize, xllcorner=xll, yllcorner=yll,
                     nodata=-32768.0)
    grid = quillmap.read(path)
    x, y, x_edges, y_edges = reader_axes(columns, rows, xll, yll, cellsize)
    assert grid.shape == (rows, columns) and grid.values.shape == (rows, columns)
    assert grid.values.dtype == np.float64
    assert (grid.cellsize, grid.nodata, grid.xllcorner, grid.yllcorner) == (cellsize, -32768.0, xll, yll)
    assert same_bits(grid.x, x) and same_bits(grid.y, y)
    assert grid.bounds == (x_edges[0], y_edges[-1], x_edges[-1], y_edges[0])
    assert tuple(grid.transform)[:6] == (cellsize, 0.0, x_edges[0], 0.0, -cellsize, y_edges[0])
    assert same_bits(grid.values, np.loadtxt(path, skiprows=6, ndmin=2))


def test_values_are_the_files_doubles_and_read_only():
    grid = quillmap.read(SAMPLE)
    assert same_bits(grid.values, np.loadtxt(SAMPLE, skiprows=6))
    with pytest.raises(ValueError):
        grid.values[0, 0] = 1.0
    with pytest.raises(ValueError):
        grid.x[0] = 1.0


@pytest.mark.parametrize("resolution, options", [(40.0, []), (12.5, ["--digits", "17"]),
                                                 (33.3, ["--nodata-aware"])])
def test_a_grid_made_from_a_files_values_writes_the_files_bytes(tmp_path, resolution, options):
    written = tmp_path / "written.asc"
    assert run_tool(*options, SAMPLE, written, resolution) == ""
    digits = int(options[1]) if options[:1] == ["--digits"] else 6
    grid = quillmap.read(written)
    for values in (grid.values, grid.values.tolist(), np.asfortranarray(grid.values)):
        made = quillmap.Grid(values, xllcorner=grid.xllcorner, yllcorner=grid.yllcorner,
                             cellsize=grid.cellsize, nodata=grid.nodata)
        quillmap.write(made, tmp_path / "again.asc", digits)
        assert (tmp_path / "again.asc").read_bytes() == written.read_bytes()


def test_values_of_every_real_kind_and_masked_cells():
    for dtype in (np.int8, np.uint16, np.int64, np.float32, np.float64):
        grid = quillmap.Grid(np.arange(6, dtype=dtype).reshape(2, 3), xllcorner=0, yllcorner=0,
                             cellsize=1)
        assert same_bits(grid.values, np.arange(6.0).reshape(2, 3))
    masked = np.ma.masked_array([[1.0, 2.0], [3.0, 4.0]], mask=[[0, 1], [0, 0]])
    grid = quillmap.Grid(masked, xllcorner=0, yllcorner=0, cellsize=1, nodata=-1)
    assert grid.values.tolist() == [[1.0, -1.0], [3.0, 4.0]]
    assert grid.nodata == -1.0


def grid_of(values=((1.0, 2.0), (3.0, 4.0)), **header):
    header = {"xllcorner": 0.0, "yllcorner": 0.0, "cellsize": 1.0, **header}
    return quillmap.Grid(values, **header)


GOOD = grid_of()

WRONG_INPUTS = [
    (lambda: grid_of(np.zeros(4)), ValueError, "values must be a 2-D array of rows and columns, not 1-D"),
    (lambda: grid_of(np.zeros((2, 2, 2))), ValueError, "not 3-D"),
    (lambda: grid_of(5.0), ValueError, "not 0-D"),
    (lambda: grid_of(np.zeros((0, 3))), ValueError, "at least one row and one column, not shape \\(0, 3\\)"),
    (lambda: grid_of([[]]), ValueError, "at least one row and one column"),
    (lambda: grid_of([[1, 2], [3]]), ValueError, "values must be rows of equal length"),
    (lambda: grid_of([["a", "b"]]), TypeError, "values must be real numbers, not <U1"),
    (lambda: grid_of(np.zeros((2, 2), complex)), TypeError, "not complex128"),
    (lambda: grid_of(np.zeros((2, 2), bool)), TypeError, "not bool"),
    (lambda: grid_of([[None, 1]]), TypeError, "not object"),
    (lambda: grid_of(cellsize=math.nan), ValueError, "cellsize must be a finite number, not nan"),
    (lambda: grid_of(cellsize=math.inf), ValueError, "cellsize must be a finite number, not inf"),
    (lambda: grid_of(cellsize=0), ValueError, "cellsize must be greater than 0, not 0.0"),
    (lambda: grid_of(cellsize=-1), ValueError, "cellsize must be greater than 0, not -1.0"),
    (lambda: grid_of(cellsize="25"), TypeError, "cellsize must be a real number, not str"),
    (lambda: grid_of(xllcorner=math.nan), ValueError, "xllcorner must be a finite number, not nan"),
    (lambda: grid_of(yllcorner=-math.inf), ValueError, "yllcorner must be a finite number, not -inf"),
    (lambda: grid_of(xllcorner=None), TypeError, "xllcorner must be a real number, not NoneType"),
    (lambda: grid_of(nodata=math.nan), ValueError, "nodata must be a finite number, not nan"),
    (lambda: quillmap.Grid([[1.0]]), TypeError, "missing 3 required keyword-only arguments"),
    (lambda: quillmap.resample(GOOD, "40"), TypeError, "resolution must be a real number, not str"),
    (lambda: quillmap.resample(GOOD, None), TypeError, "resolution must be a real number, not NoneType"),
    (lambda: quillmap.resample(GOOD, True), TypeError, "resolution must be a real number, not bool"),
    (lambda: quillmap.resample(GOOD, [1.0]), TypeError, "resolution must be a real number, not list"),
    (lambda: quillmap.resample(GOOD, 1.0, nodata_aware="yes"), TypeError, "nodata_aware must be True or False"),
    (lambda: quillmap.resample(np.zeros((2, 2)), 1.0), TypeError, "grid must be a quillmap.Grid, not ndarray"),
    (lambda: quillmap.read(42), TypeError, "path must be a path \\(str, bytes or os.PathLike\\), not int"),
    (lambda: quillmap.read("a\0b"), ValueError, "path must not contain a null character"),
    (lambda: quillmap.write(GOOD, "/tmp/x.asc", digits=6.0), TypeError, "digits must be a whole number, not float"),
    (lambda: quillmap.write(GOOD, "/tmp/x.asc", digits=2**40), ValueError, "digits must lie between"),
    (lambda: quillmap.resample_file(SAMPLE, "/tmp/x.asc", 40, threads=0), ValueError, "threads must be None or at least 1"),
    (lambda: quillmap.resample_file(SAMPLE, "/tmp/x.asc", 40, progress=5), TypeError, "progress must be callable"),
    (lambda: quillmap.resample_file(SAMPLE, "/tmp/x.asc", 40, atomic=1), TypeError, "atomic must be True or False"),
    (lambda: quillmap.read(SAMPLE, format=0), ValueError, "format must be None, 'ascii' or 'geotiff'"),
    (lambda: GOOD + 1, TypeError, "unsupported operation \\+ between a quillmap.Grid and a number"),
    (lambda: 1 - GOOD, TypeError, "unsupported operation - between a quillmap.Grid and a number"),
    (lambda: 2 / GOOD, TypeError, "unsupported operation / between a quillmap.Grid and a number"),
    (lambda: GOOD * "2", TypeError, "can.t multiply sequence"),
    (lambda: np.add(GOOD, 1), TypeError, "does not support ufuncs"),
]


@pytest.mark.parametrize("action, kind, message", WRONG_INPUTS, ids=[m for _, _, m in WRONG_INPUTS])
def test_wrong_python_input_is_refused_clearly(action, kind, message):
    with pytest.raises(kind, match=message):
        action()


TOOLKIT_REFUSALS = [
    (lambda: quillmap.resample(GOOD, math.nan), "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate"),
    (lambda: quillmap.resample(GOOD, 0), "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate"),
    (lambda: quillmap.resample(GOOD, math.inf), "Index is out of range in TAxis::GetPoint"),
    (lambda: quillmap.write(GOOD, "/tmp/x.asc", digits=0),
     "Digits must lie between 1 and 17 in TARCGISFileTools::WriteARCGISFile"),
    (lambda: quillmap.resample_file(SAMPLE, "/tmp/x.asc", 40, digits=18),
     "Digits must lie between 1 and 17 in TARCGISFileTools::WriteARCGISFile"),
]


@pytest.mark.parametrize("action, message", TOOLKIT_REFUSALS, ids=[m for _, m in TOOLKIT_REFUSALS])
def test_the_toolkits_refusals_are_errors_with_its_exact_message(action, message):
    with pytest.raises(quillmap.Error) as failure:
        action()
    assert str(failure.value) == message and type(failure.value) is quillmap.Error


def test_the_error_classes():
    assert issubclass(quillmap.FileError, quillmap.Error) and issubclass(quillmap.FileError, OSError)
    assert not issubclass(quillmap.Error, OSError)
    assert quillmap.Error.__module__ == "quillmap" and quillmap.FileError.__name__ == "FileError"
