"""Maps and arrays are released: 10,000 read, resample and write cycles
(with the values, the axes and the algebra's results touched) keep the
process's resident memory steady."""

import os
import pathlib
import tempfile

import pytest

import quillmap
from conftest import grid_text, rss_bytes

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
