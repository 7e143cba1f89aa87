"""cmake --install puts the package where the system's Python finds it, and
the installed package works on its own."""

import os
import subprocess
import sys

import pytest

from conftest import SAMPLE

BINARY_DIR = os.environ.get("QUILLMAP_BINARY_DIR")
SITE = os.environ.get("QUILLMAP_PYTHON_INSTALL_DIR")

pytestmark = pytest.mark.skipif(not BINARY_DIR or not SITE, reason="run by ctest, which names the build")


def test_the_install_folder_is_on_the_interpreters_path_for_usr_local():
    if os.path.isabs(SITE):
        pytest.skip("an absolute install folder was chosen")
    assert os.path.join("/usr/local", SITE) in sys.path


def test_the_installed_package_imports_and_works(tmp_path):
    prefix = tmp_path / "prefix"
    subprocess.run(["cmake", "--install", BINARY_DIR, "--prefix", str(prefix)], check=True,
                   capture_output=True)
    site = SITE if os.path.isabs(SITE) else str(prefix / SITE)
    script = ("import quillmap, sys; g = quillmap.resample(quillmap.read(sys.argv[1]), 40); "
              "print(quillmap.__file__, g.shape)")
    done = subprocess.run([sys.executable, "-c", script, SAMPLE], check=True, capture_output=True,
                          text=True, env={**os.environ, "PYTHONPATH": site}, cwd=tmp_path)
    where, shape = done.stdout.split(" ", 1)
    assert where.startswith(site) and shape.strip() == "(150, 187)"
