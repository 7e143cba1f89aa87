"""quillmap.read of grid files large enough to be parsed in pieces on every
core, good and bad: the values are numpy.loadtxt's doubles, and a file that
the reader refuses gives the command line's message; one core (the stream
reader, in a process bound to one CPU) gives the same outcome as all of
them. Also: a resampled Grid made straight from values is the one made
through the toolkit's map."""

import json
import os
import subprocess
import sys

import numpy as np
import pytest

import quillmap
from conftest import grid_text, run_tool, same_bits

NOT_A_NUMBER = "File format error: cell value is not a number in TARCGISFileTools::LoadARCGISFile"
END_OF_FILE = "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"
# About 2.4 MB: more than one worker's share of a body.
BIG = grid_text(640, 480, seed=19)
HEADER_END = BIG.index("\n", BIG.index("NODATA_value")) + 1


def replace_token(text, fraction, token):
    """The text with the value nearest to fraction of the body replaced."""
    at = HEADER_END + int((len(text) - HEADER_END) * fraction)
    start = text.rindex(" ", 0, at) + 1
    end = text.index(" ", at)
    return text[:start] + token + text[end:]


# (name, text, lenient, the message or None, the text whose values are
# loadtxt's when read).
CASES = [
    ("plain", BIG, False, None, BIG),
    ("crlf", BIG.replace("\n", "\r\n"), False, None, BIG),
    ("surplus after the body", BIG + "1 2 3 and text\n", False, None, BIG),
    ("no line end after the last value", BIG.rstrip("\n"), False, END_OF_FILE, None),
    ("no line end, lenient", BIG.rstrip("\n"), True, None, BIG),
    ("a word early", replace_token(BIG, 0.02, "x"), False, NOT_A_NUMBER, None),
    ("nan in the middle", replace_token(BIG, 0.5, "nan"), True, NOT_A_NUMBER, None),
    ("a word at the end", replace_token(BIG, 0.999, "1e"), False, NOT_A_NUMBER, None),
    ("values missing", BIG[: BIG.rindex(" ", 0, len(BIG) - 5000)] + "\n", False, END_OF_FILE, None),
    ("a word before a cut", replace_token(BIG, 0.9, "--1")[:-4000], False, NOT_A_NUMBER, None),
    ("more rows than the file holds", BIG.replace("nrows 480", "nrows 4800000", 1), False,
     END_OF_FILE, None),
    ("keyword case", BIG.replace("ncols", "NCOLS", 1), False,
     "File format error: expected to find ncols tag", None),
    ("keyword case, lenient", BIG.replace("ncols", "NCOLS", 1), True, None, BIG),
]

# Reads the file named in argv[1] and prints the outcome as JSON: the error
# message, or the shape and a digest of the values' bits.
OUTCOME = """
import hashlib, json, sys
import quillmap
try:
    values = quillmap.read(sys.argv[1], lenient=sys.argv[2] == "1").values
    print(json.dumps([list(values.shape), hashlib.sha256(values.tobytes()).hexdigest()]))
except quillmap.Error as failure:
    print(json.dumps(str(failure)))
"""


def outcome(path, lenient, one_cpu):
    def bind():
        os.sched_setaffinity(0, {min(os.sched_getaffinity(0))})

    done = subprocess.run([sys.executable, "-c", OUTCOME, str(path), "1" if lenient else "0"],
                          capture_output=True, text=True, check=True,
                          preexec_fn=bind if one_cpu else None)
    return json.loads(done.stdout)


@pytest.mark.parametrize("name, text, lenient, message, same_as", CASES, ids=[c[0] for c in CASES])
def test_read_gives_the_files_doubles_or_the_readers_message(tmp_path, name, text, lenient,
                                                              message, same_as):
    path = tmp_path / "in.asc"
    path.write_bytes(text.encode())
    if message is None:
        grid = quillmap.read(path, lenient=lenient)
        (tmp_path / "same.asc").write_text(same_as)
        assert same_bits(grid.values, np.loadtxt(tmp_path / "same.asc", skiprows=6))
    else:
        with pytest.raises(quillmap.Error) as raised:
            quillmap.read(path, lenient=lenient)
        assert str(raised.value) == message
        options = ["--lenient"] if lenient else []
        assert run_tool(*options, path, tmp_path / "out.asc", 100) == message
    assert outcome(path, lenient, one_cpu=True) == outcome(path, lenient, one_cpu=False)


@pytest.mark.parametrize("resolution", [7.5, 25.0, 60.0, 333.0])
@pytest.mark.parametrize("nodata_aware", [False, True])
def test_a_grid_of_values_resamples_as_its_map_does(make_grid, resolution, nodata_aware):
    read = quillmap.read(make_grid(90, 70, seed=5))
    # The values of a toolkit result live in its map; those of a Grid read
    # or made from values, in an array.
    through_map = quillmap.Grid._of(read._toolkit_map())
    made = quillmap.Grid(read.values, xllcorner=read.xllcorner, yllcorner=read.yllcorner,
                         cellsize=read.cellsize, nodata=read.nodata)
    expected = quillmap.resample(through_map, resolution, nodata_aware)
    for grid in (read, made):
        result = quillmap.resample(grid, resolution, nodata_aware)
        assert same_bits(result.values, expected.values)
        assert same_bits(result.x, expected.x) and same_bits(result.y, expected.y)
        assert result.bounds == expected.bounds and result.nodata == expected.nodata
    # A resampled grid resamples again from its array as from its map.
    twice = quillmap.resample(quillmap.resample(read, resolution), 40.0)
    again = quillmap.resample(quillmap.Grid._of(quillmap.resample(read, resolution)._toolkit_map()),
                              40.0)
    assert same_bits(twice.values, again.values) and same_bits(twice.y, again.y)
