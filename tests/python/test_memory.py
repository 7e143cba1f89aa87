"""Maps and arrays are released: 10,000 read, resample and write cycles
(with the values, the axes and the algebra's results touched) keep the
process's resident memory steady; large results, whose memory the next
ones reuse, hold their own cells only and stay ordinary numpy arrays."""

import os
import pathlib
import resource
import tempfile

import numpy as np
import pytest

import quillmap
from conftest import grid_text, rss_bytes, same_bits

CYCLES = 10_000


@pytest.fixture
def scratch():
    """A folder in memory where there is one: the writer ends every line
    with a flush, slow on a disk shared with other builds."""
    memory = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
    with tempfile.TemporaryDirectory(dir=memory) as folder:
        yield pathlib.Path(folder)


def test_ten_thousand_cycles_keep_memory_steady(scratch):
    tmp_path = scratch
    source, dest = tmp_path / "source.asc", tmp_path / "dest.asc"
    source.write_text(grid_text(24, 20, seed=5, cellsize=10.0))

    def cycle():
        grid = quillmap.read(source)
        result = quillmap.resample(grid, 5.0, nodata_aware=True)
        quillmap.write(result * 2.0 + result, dest)
        assert result.values.shape == (40, 48) and len(grid.x) == 24
        try:
            quillmap.read(tmp_path / "missing.asc")
        except quillmap.FileError:
            pass
        quillmap.intersection(grid, result)
        quillmap.moving_average([grid, grid, grid], 2)

    for _ in range(500):
        cycle()
    before = rss_bytes()
    for _ in range(CYCLES):
        cycle()
    grown = rss_bytes() - before
    # One cycle makes about 200 kB of maps and arrays: a leak of any of them
    # would grow by gigabytes.
    assert grown < 4 * 2**20, f"resident memory grew by {grown / 2**20:.1f} MiB"


# Results of at least 16 MiB take memory that earlier results gave back:
# (columns, rows, cell size, resolution, nodata_aware), in an order where
# each fits memory that one before it released, the walk reaching fewer
# cells (no-data edges, no-data holes made wider) than the result before it.
LARGE = [
    (1000, 1000, 30.0, 15.0, False),
    (1000, 1000, 30.0, 15.0, True),
    (700, 1400, 30.0, 15.0, True),
    (1000, 1000, 30.0, 17.0, False),
    (1000, 1000, 30.0, 19.0, True),
    (1000, 1000, 30.0, 15.0, False),
]


def large_grid(columns, rows, cellsize, seed):
    rng = np.random.default_rng(seed)
    values = np.round(rng.uniform(100.0, 900.0, (rows, columns)), 2)
    values[rows // 3 : rows // 2, columns // 4 : columns // 2] = -9999.0
    return quillmap.Grid(values, xllcorner=350000.0, yllcorner=4650000.0, cellsize=cellsize)


def test_large_results_in_recycled_memory_hold_only_their_own_cells():
    """Each result equals the map path's (rows of its own, copied whole),
    whatever result's memory it took; results still held keep their cells."""
    held = []
    for seed, (columns, rows, cellsize, resolution, aware) in enumerate(LARGE):
        grid = large_grid(columns, rows, cellsize, seed)
        result = quillmap.resample(grid, resolution, nodata_aware=aware).values
        through_map = quillmap.resample(quillmap.Grid._of(grid._toolkit_map()), resolution,
                                        nodata_aware=aware)
        assert same_bits(result, through_map.values), (columns, rows, resolution, aware)
        if seed % 2 == 0:
            held.append((result, result.copy()))
        del result, through_map
    for result, copy in held:
        assert same_bits(result, copy)


def test_large_results_are_numpy_arrays_that_own_their_memory():
    grid = large_grid(1000, 1000, 30.0, 1)
    result = quillmap.resample(grid, 15.0).values
    assert result.flags.owndata and result.flags.c_contiguous
    first = result[:3].copy()
    result.flags.writeable = True
    result.resize((3, 2000), refcheck=False)
    assert same_bits(result, first)
    result.resize((4000, 2000), refcheck=False)
    assert same_bits(result[:3], first) and not result[3:].any()


def test_large_result_cycles_keep_memory_steady():
    grid = large_grid(1000, 1000, 30.0, 2)
    for resolution in (15.0, 20.0, 15.0, 20.0):
        quillmap.resample(grid, resolution).values
    before = rss_bytes()
    for _ in range(20):
        for resolution in (15.0, 20.0):
            quillmap.resample(grid, resolution).values
    grown = rss_bytes() - before
    # One result is 32 MB: memory that is not reused would grow by 600 MB.
    assert grown < 8 * 2**20, f"resident memory grew by {grown / 2**20:.1f} MiB"



def minor_faults():
    return resource.getrusage(resource.RUSAGE_SELF).ru_minflt


def test_bands_and_their_join_reuse_memory_and_keep_at_most_twice_the_largest():
    """A join of four bands and the bands themselves take memory given back
    by the ones before, with no page fault; memory given back beyond twice
    the largest array made (the join, larger than any array of the tests
    before) is returned to the system."""
    # 40 MiB: beyond what the C heap may keep for itself once freed.
    band = np.ones((40 * 2**17 // 1000, 1000))

    def cycle():
        bands = [quillmap._core.join_bands([band]) for _ in range(4)]
        quillmap._core.join_bands(bands)

    cycle()
    cycle()
    faults = minor_faults()
    for _ in range(5):
        cycle()
    assert minor_faults() - faults < 50, "a join or its bands took fresh memory"
    before = rss_bytes()
    held = [quillmap._core.join_bands([band]) for _ in range(12)]
    del held
    kept = rss_bytes() - before
    assert kept < 16 * 2**20, f"{kept / 2**20:.0f} MiB kept beyond a join and its bands"
