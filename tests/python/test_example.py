"""The matplotlib example draws its picture from the sample terrain."""

import os
import subprocess
import sys

import pytest

EXAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "plot_nodata_aware.py")


def test_the_example_draws_the_lake(tmp_path):
    pytest.importorskip("matplotlib")
    out = tmp_path / "picture.png"
    done = subprocess.run([sys.executable, EXAMPLE, str(out)], check=True, capture_output=True, text=True)
    assert done.stdout.strip() == f"{out}: 70 cells differ"
    assert out.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
