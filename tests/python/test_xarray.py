"""Grids as xarray DataArrays and back, and quillmap.xarray.resample: the
eager path against quillmap.resample, the lazy dask path against the eager
one for every chunking."""

import dask
import numpy as np
import pytest
import xarray

import quillmap
import quillmap.xarray as qx
from conftest import SAMPLE, same_bits


@pytest.fixture(scope="module")
def sample():
    return quillmap.read(SAMPLE)


def test_to_xarray_carries_the_grid(sample):
    da = sample.to_xarray()
    assert da.dims == ("y", "x") and same_bits(da.values, sample.values)
    assert same_bits(da.x, sample.x) and same_bits(da.y, sample.y)
    assert da.attrs == {"_FillValue": -9999.0, "nodata": -9999.0, "cellsize": 25.0,
                        "xllcorner": 512000.0, "yllcorner": 4180000.0}


@pytest.mark.parametrize("change", [
    lambda da: da,
    lambda da: da.transpose("x", "y"),
    lambda da: da.isel(y=slice(10, 50), x=slice(3, 90)),
    lambda da: da.isel(y=slice(5, 6)),
    lambda da: xarray.DataArray(da.values, dims=("y", "x"), coords={"y": da.y, "x": da.x}),
])
def test_from_xarray_gives_the_grid_the_coordinates_describe(sample, change, tmp_path):
    da = change(sample.to_xarray()).transpose("y", "x")
    grid = quillmap.Grid.from_xarray(da)
    assert same_bits(grid.values, da.values)
    assert np.allclose(grid.x, da.x, rtol=0, atol=1e-6) and np.allclose(grid.y, da.y, rtol=0, atol=1e-6)
    assert grid.cellsize == 25.0 and grid.nodata == -9999.0


def test_from_xarray_gives_back_a_read_grid_exactly(sample, tmp_path):
    quillmap.write(sample, tmp_path / "a.asc")
    quillmap.write(quillmap.Grid.from_xarray(sample.to_xarray()), tmp_path / "b.asc")
    assert (tmp_path / "a.asc").read_bytes() == (tmp_path / "b.asc").read_bytes()


def dataarray(x, y, values=None, **attrs):
    values = np.zeros((len(y), len(x))) if values is None else values
    return xarray.DataArray(values, dims=("y", "x"), coords={"y": y, "x": x}, attrs=attrs)


REFUSED = [
    (dataarray([0.5, 1.5, 2.5], [0.5, 1.5]), ValueError, "not north-up: y must decrease"),
    (dataarray([2.5, 1.5, 0.5], [1.5, 0.5]), ValueError, "x must increase"),
    (dataarray([0.5, 1.5, 2.5], [3.0, 1.0]), ValueError, "cells are not square: x spacing 1.0, y spacing 2.0"),
    (dataarray([0.5, 1.5, 3.5], [1.5, 0.5]), ValueError, "x is not evenly spaced"),
    (dataarray([0.5], [0.5]), ValueError, "a grid of one cell needs a cellsize attribute"),
    (xarray.DataArray(np.zeros((2, 2)), dims=("lat", "lon")), ValueError, "needs the dims \\('y', 'x'\\)"),
    (xarray.DataArray(np.zeros((2, 2, 2)), dims=("y", "x", "band")), ValueError, "needs the dims"),
    (xarray.DataArray(np.zeros((2, 2)), dims=("y", "x")), ValueError, "needs a x coordinate"),
    (dataarray([0.5, 1.5], [1.5, 0.5], np.zeros((2, 2), complex)), TypeError, "real numbers, not complex128"),
    (dataarray([0.5, 1.5], [1.5, 0.5], _FillValue=np.nan), ValueError, "_FillValue attribute must be a finite"),
    (np.zeros((2, 2)), TypeError, "expected an xarray.DataArray, not ndarray"),
]


@pytest.mark.parametrize("da, kind, message", REFUSED, ids=[m for _, _, m in REFUSED])
def test_from_xarray_refuses_what_is_not_a_north_up_grid_of_square_cells(da, kind, message):
    with pytest.raises(kind, match=message):
        quillmap.Grid.from_xarray(da)
    with pytest.raises(kind, match=message):
        qx.resample(da, 1.0)


def test_a_single_cell_and_the_nodata_attribute():
    grid = quillmap.Grid.from_xarray(dataarray([5.0], [5.0], np.ones((1, 1)), cellsize=10.0, nodata=-1.0))
    assert (grid.cellsize, grid.xllcorner, grid.yllcorner, grid.nodata) == (10.0, 0.0, 0.0, -1.0)


@pytest.mark.parametrize("resolution, aware", [(40.0, False), (12.5, True), (33.0, False)])
def test_eager_resample_is_the_grids(sample, resolution, aware):
    expected = quillmap.resample(sample, resolution, aware)
    got = qx.resample(sample.to_xarray(), resolution, nodata_aware=aware)
    assert got.chunks is None
    assert same_bits(got.values, expected.values)
    assert same_bits(got.x, expected.x) and same_bits(got.y, expected.y)
    assert got.attrs == expected.to_xarray().attrs


# Five chunkings along y: single rows, a prime, uneven, halves, one chunk.
CHUNKINGS = [1, 7, (100, 3, 37, 100), 120, -1]


@pytest.mark.parametrize("chunks", CHUNKINGS, ids=str)
@pytest.mark.parametrize("resolution, aware", [(40.0, False), (12.5, True), (60.0, True), (7.0, False)])
def test_the_lazy_resample_equals_the_eager_one_for_every_chunking(sample, chunks, resolution, aware):
    da = sample.to_xarray()
    eager = qx.resample(da, resolution, nodata_aware=aware)
    lazy = qx.resample(da.chunk({"y": chunks}), resolution, nodata_aware=aware)
    assert lazy.chunks is not None and len(lazy.chunks[1]) == 1
    assert same_bits(lazy.x, eager.x) and same_bits(lazy.y, eager.y) and lazy.attrs == eager.attrs
    assert same_bits(lazy.compute().values, eager.values)


# Blocks that are not C-ordered float64 (read through a converted copy) and
# blocks that are views into one array give the eager values too.
@pytest.mark.parametrize("layout", ["float32", "fortran", "strided"])
def test_blocks_of_any_layout_give_the_eager_values(sample, layout):
    values = sample.values
    if layout == "float32":
        values = values.astype(np.float32)
    elif layout == "fortran":
        values = np.asfortranarray(values)
    else:
        values = np.repeat(values, 2, axis=1)[:, ::2]
    da = xarray.DataArray(values, dims=("y", "x"), coords={"y": sample.y, "x": sample.x},
                          attrs=sample.to_xarray().attrs)
    eager = qx.resample(da, 40.0)
    for chunks in (7, (100, 3, 37, 100)):
        assert same_bits(qx.resample(da.chunk({"y": chunks}), 40.0).values, eager.values)


def test_a_band_plan_refuses_blocks_that_do_not_fit(sample):
    rows, columns = sample.shape
    plan = quillmap._core.BandPlan(columns, rows, sample.xllcorner, sample.yllcorner,
                                   sample.cellsize, sample.nodata, 40.0, False)
    block = np.zeros((10, columns))
    begin, end = 0, plan.frame.rows
    for blocks, first_rows, message in [
        ([block], [0, 10], "a first row for each block"),
        ([block, block], [0, 11], "one after another"),
        ([np.zeros((10, columns + 1))], [0], "the source's columns"),
        ([np.zeros(columns)], [0], "the source's columns"),
    ]:
        with pytest.raises(ValueError, match=message):
            plan.fill_rows(begin, end, blocks, first_rows)
    # Too few rows, or rows out of range (no array is sized for them).
    for first, last in [(begin, end), (0, 10**12), (5, 4)]:
        with pytest.raises(quillmap.Error) as failure:
            plan.fill_rows(first, last, [block], [0])
        assert "in TResamplePlan::FillRows" in str(failure.value)


def test_every_way_of_computing_the_lazy_result_gives_the_eager_values(sample):
    """quillmap joins the computed bands; arrays made from the result are
    dask's own and join as dask does."""
    da = sample.to_xarray()
    eager = qx.resample(da, 12.5).values
    lazy = qx.resample(da.chunk({"y": 7}), 12.5)
    assert isinstance(lazy.data, dask.array.Array) and len(lazy.chunks[0]) > 1
    computed = [lazy.values, lazy.compute().values, lazy.data.compute(), np.asarray(lazy.data),
                dask.compute(lazy.data, lazy.data[:, :3])[0], (lazy.data * 1.0).compute()]
    for got in computed:
        assert same_bits(got, eager) and got.flags.writeable and got.flags.c_contiguous
    assert same_bits(dask.compute(lazy.data[:, :3])[0], eager[:, :3])


def test_joining_bands_refuses_what_is_not_bands_of_one_width():
    for bands, message in [
        ([], "a band to join"),
        ([np.zeros((2, 3)), np.zeros((2, 4))], "one width"),
        ([np.zeros(3)], "one width"),
    ]:
        with pytest.raises(ValueError, match=message):
            quillmap._core.join_bands(bands)
    assert same_bits(quillmap._core.join_bands([np.ones((2, 3)), np.zeros((0, 3)), np.zeros((1, 3))]),
                     np.vstack([np.ones((2, 3)), np.zeros((1, 3))]))


def test_each_band_reads_only_the_source_blocks_it_needs(sample):
    da = sample.to_xarray().chunk({"y": 10})
    lazy = qx.resample(da, 50.0)
    graph = dict(lazy.data.__dask_graph__())
    source = da.data.name
    for key in lazy.data.__dask_keys__():
        deps = [k for k in dask.core.get_dependencies(graph, key[0])]
        assert 1 <= len(deps) <= 3 and all(d[0] == source for d in deps)
    assert len(lazy.chunks[0]) > 1


def test_chunks_along_x_are_joined(sample):
    da = sample.to_xarray()
    lazy = qx.resample(da.chunk({"y": 30, "x": 50}), 40.0)
    assert same_bits(lazy.values, qx.resample(da, 40.0).values)


def test_a_lazy_resample_fails_at_once_as_the_eager_one_does(sample):
    da = sample.to_xarray()
    for resolution, message in [(0.0, "New resolution cannot be <= 0.0"),
                                (1e9, "Index is out of range in TAxis::GetPoint")]:
        for array in (da, da.chunk({"y": 10})):
            with pytest.raises(quillmap.Error, match=message):
                qx.resample(array, resolution)
    one_row = dataarray(np.arange(6) + 0.5, [0.5], np.ones((1, 6)))
    with pytest.raises(quillmap.Error, match="Ordinate is out of range in TAxis::GetIndex"):
        qx.resample(one_row.chunk({"y": 1}), 0.5)


def test_a_netcdf_round_trip_gives_the_grid_back(sample, tmp_path):
    pytest.importorskip("scipy")  # xarray's netCDF backend here
    sample.to_xarray(name="elevation").to_netcdf(tmp_path / "dem.nc")
    with xarray.open_dataarray(tmp_path / "dem.nc") as opened:
        assert np.isnan(opened.values).any()
        grid = quillmap.Grid.from_xarray(opened)
    assert same_bits(grid.values, sample.values) and grid.nodata == sample.nodata
    assert grid.bounds == sample.bounds


def test_rioxarray_reads_the_nodata_value_and_the_geometry(sample):
    pytest.importorskip("rioxarray")
    for da in (sample.to_xarray(), qx.resample(sample.to_xarray().chunk({"y": 50}), 40.0)):
        grid = quillmap.Grid.from_xarray(da.compute())
        assert da.rio.nodata == grid.nodata == -9999.0
        assert tuple(da.rio.transform())[:6] == tuple(grid.transform)[:6]
        assert da.rio.bounds() == grid.bounds
