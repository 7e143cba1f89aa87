"""Shared helpers of the Python package's tests: the built command-line tool
as the oracle, and grid files made from a seed.

The tests run with the build tree's package on PYTHONPATH and the tool's
path in QUILLMAP_TOOL (tests/python/CMakeLists.txt sets both)."""

import os
import subprocess

import numpy as np
import pytest

TOOL = os.environ.get("QUILLMAP_TOOL", "quillmap")
SAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "sample_terrain.asc")


def grid_text(columns, rows, seed, cellsize=25.0, xllcorner=512000.0, yllcorner=4180000.0,
              nodata=-9999.0, hole=True):
    """An ESRI ASCII grid of smooth terrain with two decimals, and (with
    hole) a patch of no-data cells: the same text for the same arguments."""
    rng = np.random.default_rng(seed)
    v, u = np.meshgrid(np.linspace(0, 1, rows), np.linspace(0, 1, columns), indexing="ij")
    z = 400 + 250 * u + 120 * np.sin(7 * u + 3 * v) + rng.uniform(0, 5, (rows, columns))
    z = np.round(z, 2)
    if hole and rows > 2 and columns > 2:
        r, c = rng.integers(0, rows), rng.integers(0, columns)
        z[max(r - 1, 0) : r + 2, max(c - 1, 0) : c + 2] = nodata
    head = (f"ncols {columns}\nnrows {rows}\nxllcorner {xllcorner!r}\nyllcorner {yllcorner!r}\n"
            f"cellsize {cellsize!r}\nNODATA_value {nodata!r}\n")
    return head + "".join(" ".join(f"{value:.2f}" for value in row) + "\n" for row in z)


@pytest.fixture
def make_grid(tmp_path):
    """Writes grid_text(...) to a new file and returns its path."""
    count = [0]

    def make(*args, **kwargs):
        count[0] += 1
        path = tmp_path / f"grid{count[0]}.asc"
        path.write_text(grid_text(*args, **kwargs))
        return path

    return make


def run_tool(*arguments):
    """The tool's standard output (its one failure line, or nothing)."""
    done = subprocess.run([TOOL, *map(str, arguments)], capture_output=True, text=True, check=True)
    return done.stdout.rstrip("\n")


def tool_options(lenient=False, nodata_aware=False, digits=6):
    options = ["--lenient"] if lenient else []
    options += ["--nodata-aware"] if nodata_aware else []
    return options + (["--digits", str(digits)] if digits != 6 else [])


def rss_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def same_bits(a, b):
    """Equal shapes and equal doubles to the bit (not-a-number included)."""
    a, b = np.asarray(a, dtype=np.float64), np.asarray(b, dtype=np.float64)
    return a.shape == b.shape and np.array_equal(a.view(np.uint64), b.view(np.uint64))
