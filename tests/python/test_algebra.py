"""The map algebra from Python against numpy oracles of the toolkit's
rules: arithmetic across resolutions, series, filters and counts,
sub-grids and sampling. Every input grid must come out unchanged."""

import numpy as np
import pytest

import quillmap
from conftest import same_bits

ND = -9999.0


def grid(values, cellsize=1.0, xll=0.0, yll=0.0, nodata=ND):
    return quillmap.Grid(np.asarray(values, dtype=float), xllcorner=xll, yllcorner=yll,
                         cellsize=cellsize, nodata=nodata)


def field(seed, shape=(6, 8), holes=4, nodata=ND):
    rng = np.random.default_rng(seed)
    values = np.round(rng.uniform(-50, 50, shape), 3)
    values.flat[rng.choice(values.size, holes, replace=False)] = nodata
    values.flat[rng.choice(values.size, 2, replace=False)] = 0.0
    return values


A, B, C = field(1), field(2), field(3)
GA, GB, GC = grid(A), grid(B), grid(C, nodata=-1.0)
SNAPSHOT = [(g, np.array(g.values)) for g in (GA, GB, GC)]


@pytest.fixture(autouse=True)
def inputs_stay_as_they_were():
    yield
    for g, values in SNAPSHOT:
        assert same_bits(g.values, values)


def either_nodata(a, na, b, nb):
    return (a == na) | (b == nb)


ARITHMETIC = [
    ("a + b", lambda: GA + GB, np.where(either_nodata(A, ND, B, ND), ND, A + B), ND),
    ("a * b", lambda: GA * GB, np.where(either_nodata(A, ND, B, ND), ND, A * B), ND),
    ("a / b", lambda: GA / GB, np.where(either_nodata(A, ND, B, ND), ND, A / np.where(B == 0, np.nan, B)), ND),
    ("a - c", lambda: GA - GC, np.where(either_nodata(A, ND, C, -1.0), ND, A - C), ND),
    ("c - a", lambda: GC - GA, np.where(either_nodata(C, -1.0, A, ND), -1.0, C - A), -1.0),
    ("c * 2", lambda: GC * 2, np.where(C == ND, ND, C * 2), ND),
    ("2.5 * c", lambda: 2.5 * GC, np.where(C == ND, ND, C * 2.5), ND),
    ("c / 4", lambda: GC / 4, np.where(C == -1.0, -1.0, C / 4), ND),
    ("np.float64(3) * a", lambda: np.float64(3) * GA, np.where(A == ND, ND, A * 3), ND),
]


@pytest.mark.parametrize("name, operation, expected, nodata", ARITHMETIC, ids=[a[0] for a in ARITHMETIC])
def test_arithmetic_follows_the_toolkits_no_data_rules(name, operation, expected, nodata):
    result = operation()
    finite = np.isfinite(expected)
    assert result.nodata == nodata and result.shape == A.shape
    assert same_bits(result.values[finite], expected[finite])
    assert result.bounds == GA.bounds


def test_a_division_by_zero_cell_is_data():
    result = grid([[1.0, 0.0]]) / grid([[0.0, 0.0]])
    assert result.values[0, 0] == np.inf and np.isnan(result.values[0, 1])


def test_grids_of_different_cell_sizes_meet_on_the_finer_one():
    fine = grid(np.arange(16.0).reshape(4, 4), cellsize=1.0)
    coarse = grid([[100.0, 200.0], [300.0, ND]], cellsize=2.0)
    spread = np.kron(coarse.values, np.ones((2, 2)))
    expected = np.where(spread == ND, ND, fine.values + spread)
    for result in (fine + coarse, coarse + fine):
        assert result.cellsize == 1.0 and same_bits(result.values, expected)
    assert same_bits((fine / coarse).values, np.where(spread == ND, ND, fine.values / spread))
    with pytest.raises(quillmap.Error) as failure:
        coarse / fine
    assert str(failure.value) == (
        "Divisor must be of equal of coarser resolution than the dividend in TMapTools::Divide")
    with pytest.raises(quillmap.Error, match="^X dimensions do not match in TMapTools::Subtract$"):
        fine - coarse
    with pytest.raises(quillmap.Error, match="^Ordinate is out of range in TAxis::GetIndex$"):
        fine + grid(np.ones((4, 4)), xll=1.0)


def series_oracle(stack, nodatas):
    holes = np.stack([s == n for s, n in zip(stack, nodatas)])
    total = np.where(holes.any(axis=0), ND, np.sum(stack, axis=0))
    counts = (~holes).sum(axis=0).astype(float)
    return total, counts


def test_series():
    total, counts = series_oracle([A, B], [ND, ND])
    assert same_bits(quillmap.sum([GA, GB]).values, total)
    assert same_bits(quillmap.data_counts([GA, GB, GC]).values, series_oracle([A, B, C], [ND, ND, -1.0])[1])
    assert same_bits(quillmap.average([GA, GB]).values, np.where(total == ND, ND, total / counts))
    windows = quillmap.moving_average([GA, GB, GA, GB], 3)
    assert len(windows) == 2
    assert same_bits(windows[1].values, quillmap.average([GB, GA, GB]).values)
    assert quillmap.moving_average([GA, GB], 3) == []
    with pytest.raises(quillmap.Error, match="^Must have more than 2 maps to sum in TMapTools::Sum$"):
        quillmap.sum([GA])
    with pytest.raises(quillmap.Error, match="^Y-dimension of maps are inconsistent in TMapTools::Sum$"):
        quillmap.sum([GA, grid(np.ones((5, 8)))])
    with pytest.raises(TypeError, match="each of grids must be a quillmap.Grid"):
        quillmap.sum([GA, A])


def test_value_gradients():
    series = [grid(np.full((3, 3), v)) for v in (1.0, 2.0, 3.0, 5.0)]
    slopes = quillmap.value_gradients(series, 2)
    assert [s.values[1, 1] for s in slopes] == [1.0, 1.5]
    with pytest.raises(quillmap.Error, match="Window size must be < number of maps"):
        quillmap.value_gradients(series, 5)


FILTERS = [
    ("threshold_replace", lambda: quillmap.threshold_replace(GA, 10.0, 99.0), np.where(A >= 10, 99.0, A)),
    ("threshold", lambda: quillmap.threshold(GA, 10.0), np.where(A >= 10, A, 0.0)),
    ("threshold of a list", lambda: quillmap.threshold([GA, GB], -5)[1], np.where(B >= -5, B, 0.0)),
    ("replace_value", lambda: quillmap.replace_value(GA, {ND: 0.0, A[0, 0]: 1.0}, 7.0),
     np.where(A == ND, 0.0, np.where(A == A[0, 0], 1.0, 7.0))),
    ("mask", lambda: quillmap.mask(GA, GB, ND, -1.0), np.where(B == ND, -1.0, B)),
    ("round_contents", lambda: quillmap.round_contents(GA),
     np.where(A - np.trunc(A) >= 0.5, np.trunc(A) + 1, np.trunc(A)) + 0.0),
    ("subdivide", lambda: quillmap.subdivide(GA, 2), np.kron(A, np.ones((2, 2)))),
    ("fill_block", lambda: quillmap.fill_block(GA, 5.0, (1, 2, 3, 6)),
     np.where((np.arange(6)[:, None] >= 1) & (np.arange(6)[:, None] <= 2)
              & (np.arange(8) >= 3) & (np.arange(8) <= 6), 5.0, A)),
]


@pytest.mark.parametrize("name, operation, expected", FILTERS, ids=[f[0] for f in FILTERS])
def test_filters(name, operation, expected):
    result = operation()
    assert result.nodata == ND and same_bits(result.values, expected)


def test_counts_and_extents():
    values, counts = np.unique(A, return_counts=True)
    assert quillmap.count_values(GA) == dict(zip(values.tolist(), counts.tolist()))
    assert quillmap.count_value(GA, ND) == 4
    rows, columns = np.nonzero(A == ND)
    block = (rows.min(), rows.max(), columns.min(), columns.max())
    assert quillmap.find_patch_extent(GA, ND) == block
    assert quillmap.find_patch_extent(GA, 12345.0) == (0, 0, 0, 0)
    assert quillmap.buffer_indices(GA, 1, (2, 3, 2, 3)) == (1, 4, 1, 4)
    assert quillmap.buffer_indices(GA, 9, (2, 3, 2, 3)) == (0, 5, 0, 7)
    with pytest.raises(quillmap.Error, match="^Northern edge must be less than southern edge"):
        quillmap.fill_block(GA, 1.0, (3, 2, 0, 0))


def test_sub_grids():
    part = quillmap.extract(GA, (6.5, 1.5), (2.5, 4.5))
    assert part.shape == (4, 5) and same_bits(part.values, A[1:5, 2:7])
    assert part.bounds == (2.0, 1.0, 7.0, 5.0) and part.nodata == ND
    patch = grid([[1.0, 2.0], [3.0, 4.0]], xll=3.0, yll=2.0)
    inserted = quillmap.insert(GA, patch)
    expected = A.copy()
    expected[2:4, 3:5] = patch.values
    assert same_bits(inserted.values, expected)
    with pytest.raises(quillmap.Error, match="^Insert map's SE corner is outside"):
        quillmap.insert(GA, grid(np.ones((2, 2)), xll=7.0, yll=0.0))
    first, second = quillmap.intersection(GA, grid(np.ones((4, 4)), xll=5.0, yll=3.0))
    assert same_bits(first.values, A[0:3, 5:8]) and second.shape == (3, 3)
    with pytest.raises(quillmap.Error, match="^Maps do not intersect in TMapTools::Intersection$"):
        quillmap.intersection(GA, grid(np.ones((2, 2)), xll=8.0))
    with pytest.raises(quillmap.Error, match="^Ordinate is out of range in TAxis::GetIndex$"):
        quillmap.extract(GA, (-1.0, 1.0), (2.0, 2.0))


def test_sampling():
    assert quillmap.fetch_map_values(GA, {2.0: (0.5, 5.5), 1.0: (7.5, 0.5)}) == {1.0: A[5, 7], 2.0: A[0, 0]}
    firsts = quillmap.first_values(grid([[5.0, 6.0], [5.0, ND]]), exclude=[6.0])
    assert firsts == {5.0: (0.5, 1.5), ND: (1.5, 0.5)}
    assert quillmap.nonzero_neighbour_value(grid([[0.0, 0.0], [0.0, 3.0]]), 0, 0) == 3.0
    with pytest.raises(quillmap.Error, match="^X-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal$"):
        quillmap.nonzero_neighbour_value(GA, 8, 0)
    assert quillmap.values_vector([GA, GB, GC], 3, 2, 0, 2) == [A[2, 3], B[2, 3], C[2, 3]]
    overlay = quillmap.values_overlay(grid([[1.0, 2.0, 3.0]]), grid([[7.0, 8.0, 7.0]]), exclude=[8.0])
    assert overlay == {7.0: [1.0, 3.0]}
    with pytest.raises(TypeError, match="each point must be an \\(x, y\\) pair"):
        quillmap.fetch_map_values(GA, {1.0: 5.0})
