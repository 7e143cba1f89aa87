"""The package's resampling against the command line: the same bytes, or
the same message, for generated grids of many shapes, resolutions and
options, by the in-memory path and by the bounded file-to-file path."""

import itertools
import os
import subprocess
import sys
import threading

import pytest

import quillmap
from conftest import SAMPLE, grid_text, run_tool, tool_options

# (columns, rows, cell size, resolution): squares, tall and wide grids,
# finer and coarser results, results the walk leaves all no-data, and grids
# the walk fails on.
SHAPES = [
    (9, 7, 25.0, 12.5),
    (30, 20, 25.0, 40.0),
    (31, 17, 10.0, 3.0),
    (12, 40, 2.5, 1.1),
    (40, 5, 30.0, 45.0),
    (5, 40, 30.0, 70.0),
    (4, 4, 1.0, 0.5),
    (3, 3, 1.0, 1.0),
    (2, 2, 1.0, 0.5),
    (4, 2, 1.0, 0.5),
    (6, 1, 1.0, 0.5),
    (10, 10, 1.0, 11.0),
    (16, 16, 1.0, 0.0),
    (16, 16, 1.0, -2.0),
    (23, 19, 0.1, 0.03),
]
OPTIONS = [
    dict(),
    dict(nodata_aware=True),
    dict(digits=9),
    dict(nodata_aware=True, digits=17),
]


def outcome(action, destination):
    """The destination's bytes, or the failure's message text."""
    try:
        action()
    except quillmap.Error as failure:
        return str(failure)
    return destination.read_bytes()


def tool_outcome(source, destination, resolution, **options):
    message = run_tool(*tool_options(**options), source, destination, repr(resolution))
    return message if message else destination.read_bytes()


@pytest.mark.parametrize("shape", SHAPES, ids=lambda s: "x".join(map(str, s)))
@pytest.mark.parametrize("options", OPTIONS, ids=lambda o: "-".join(o) or "plain")
def test_in_memory_resampling_writes_the_command_lines_bytes(make_grid, tmp_path, shape, options):
    columns, rows, cellsize, resolution = shape
    source = make_grid(columns, rows, seed=columns * rows, cellsize=cellsize)
    mine, theirs = tmp_path / "mine.asc", tmp_path / "theirs.asc"
    aware = options.get("nodata_aware", False)
    digits = options.get("digits", 6)

    def in_memory():
        quillmap.write(quillmap.resample(quillmap.read(source), resolution, aware), mine, digits)

    assert outcome(in_memory, mine) == tool_outcome(source, theirs, resolution, **options)


@pytest.mark.parametrize("threads", [1, 2, 3, 4])
@pytest.mark.parametrize("shape", SHAPES[:6] + SHAPES[10:12], ids=lambda s: "x".join(map(str, s)))
def test_file_to_file_resampling_writes_the_command_lines_bytes(make_grid, tmp_path, shape, threads):
    columns, rows, cellsize, resolution = shape
    source = make_grid(columns, rows, seed=threads, cellsize=cellsize)
    mine, theirs = tmp_path / "mine.asc", tmp_path / "theirs.asc"
    for options in OPTIONS[:2]:
        done = outcome(
            lambda: quillmap.resample_file(source, mine, resolution, threads=threads, **options), mine
        )
        assert done == tool_outcome(source, theirs, resolution, **options)


def test_lenient_reading_on_both_paths(tmp_path):
    source = tmp_path / "lenient.asc"
    source.write_text("NCOLS 5\nNROWS 5\nXLLCENTER 5\nYLLCENTER 5\nCELLSIZE 10\n"
                      + "".join(" ".join(str(r * 5 + c) for c in range(5)) + "\n" for r in range(5)))
    mine, theirs = tmp_path / "mine.asc", tmp_path / "theirs.asc"
    expected = tool_outcome(source, theirs, 5.0, lenient=True)
    quillmap.write(quillmap.resample(quillmap.read(source, lenient=True), 5.0), mine)
    assert mine.read_bytes() == expected
    quillmap.resample_file(source, mine, 5.0, lenient=True)
    assert mine.read_bytes() == expected
    with pytest.raises(quillmap.Error, match="^File format error: expected to find ncols tag$"):
        quillmap.read(source)


@pytest.mark.parametrize(
    "text",
    [
        "ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2 3\n",
        "ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2 3 4",
        "nrows 2\nncols 2\n",
        "ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 0\nNODATA_value -9999\n1 2 3 4\n",
        "ncols 2\nnrows 2\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 x 3 4\n",
    ],
    ids=["short", "no-final-line-end", "order", "zero-cellsize", "not-a-number"],
)
def test_a_refused_file_gives_the_readers_message_and_leaves_the_destination(tmp_path, text):
    source, dest = tmp_path / "bad.asc", tmp_path / "dest.asc"
    source.write_text(text)
    dest.write_bytes(b"keep")
    expected = run_tool(source, dest, 1)
    for action in (lambda: quillmap.read(source),
                   lambda: quillmap.resample_file(source, dest, 1.0)):
        with pytest.raises(quillmap.Error) as failure:
            action()
        assert str(failure.value) == expected
        assert type(failure.value) is quillmap.Error
    assert dest.read_bytes() == b"keep"


def test_file_failures_are_file_errors_with_the_tools_message(make_grid, tmp_path):
    source = make_grid(10, 10, seed=1)
    missing = tmp_path / "missing.asc"
    unwritable = tmp_path / "no-such-folder" / "out.asc"
    cases = [
        (lambda: quillmap.read(missing), run_tool(missing, tmp_path / "x.asc", 1)),
        (lambda: quillmap.resample_file(missing, tmp_path / "x.asc", 1.0),
         run_tool(missing, tmp_path / "x.asc", 1)),
        (lambda: quillmap.resample_file(source, unwritable, 5.0), run_tool(source, unwritable, 5)),
        (lambda: quillmap.write(quillmap.read(source), unwritable), run_tool(source, unwritable, 5)),
    ]
    for action, expected in cases:
        with pytest.raises(quillmap.FileError) as failure:
            action()
        assert str(failure.value) == expected
        assert isinstance(failure.value, quillmap.Error) and isinstance(failure.value, OSError)


class ProgressStop(Exception):
    pass


def progress_record(stop_at=None):
    """A progress callable that records its fractions and the threads that
    called it, raising ProgressStop at call number stop_at."""
    seen, threads = [], set()

    def record(fraction):
        seen.append(fraction)
        threads.add(threading.get_ident())
        if len(seen) == stop_at:
            raise ProgressStop(len(seen))

    return record, seen, threads


@pytest.fixture(scope="module")
def many_blocks(tmp_path_factory):
    """A source whose result (1,400 x 1,200 cells) takes many blocks."""
    path = tmp_path_factory.mktemp("progress") / "source.asc"
    path.write_text(grid_text(350, 300, seed=4))
    return path


def test_progress_rises_from_zero_to_one_for_any_thread_count(many_blocks, tmp_path):
    expected = tmp_path / "tool.asc"
    run_tool(many_blocks, expected, 6.25)
    for threads in (1, 2, 3, 4):
        record, seen, _ = progress_record()
        dest = tmp_path / f"out{threads}.asc"
        quillmap.resample_file(many_blocks, dest, 6.25, threads=threads, progress=record)
        assert seen[0] == 0.0 and seen[-1] == 1.0 and len(seen) > 3, (threads, seen)
        assert all(a < b for a, b in itertools.pairwise(seen)), (threads, seen)
        assert dest.read_bytes() == expected.read_bytes(), threads


# (call that raises, atomic, what the destination holds afterwards): the
# first call (before the toolkit starts), one in the middle, the last (the
# destination complete).
PROGRESS_FAILURES = [
    (1, False, "old"),
    (1, True, "old"),
    (3, True, "old"),
    (3, False, "part"),
    (-1, True, "complete"),
]


@pytest.mark.parametrize("stop_at, atomic, left", PROGRESS_FAILURES)
def test_progress_exception_stops_the_run(many_blocks, tmp_path, stop_at, atomic, left):
    complete = tmp_path / "tool.asc"
    run_tool(many_blocks, complete, 6.25)
    _, seen, _ = progress_record()
    quillmap.resample_file(many_blocks, tmp_path / "count.asc", 6.25, progress=seen.append)
    record, _, _ = progress_record(stop_at if stop_at > 0 else len(seen))
    dest = tmp_path / "out.asc"
    dest.write_bytes(b"old")
    for threads in (1, 2):
        with pytest.raises(ProgressStop):
            quillmap.resample_file(many_blocks, dest, 6.25, threads=threads, atomic=atomic,
                                   progress=record)
        record, _, _ = progress_record(stop_at if stop_at > 0 else len(seen))
        got = dest.read_bytes()
        if left == "old":
            assert got == b"old"
        elif left == "complete":
            assert got == complete.read_bytes()
        else:
            assert got != b"old" and complete.read_bytes().startswith(got[:100])
            dest.write_bytes(b"old")


def test_progress_from_another_python_thread(many_blocks, tmp_path):
    record, seen, _ = progress_record()
    worker = threading.Thread(
        target=lambda: quillmap.resample_file(many_blocks, tmp_path / "out.asc", 6.25, threads=2,
                                              progress=record))
    worker.start()
    worker.join()
    assert seen[0] == 0.0 and seen[-1] == 1.0


GIL_SCRIPT = """
import os, sys, threading, quillmap
fifo, dest, text = sys.argv[1], sys.argv[2], open(sys.argv[3]).read()
worker = threading.Thread(target=quillmap.resample_file, args=(fifo, dest, 12.5))
worker.start()
# The worker's C++ call waits in the toolkit for this thread to write the
# source into the pipe: only a call without the GIL lets it run.
with open(fifo, "w") as pipe:
    pipe.write(text)
worker.join()
"""


def test_the_toolkit_works_without_the_gil(tmp_path):
    fifo, dest = tmp_path / "source.pipe", tmp_path / "dest.asc"
    os.mkfifo(fifo)
    subprocess.run([sys.executable, "-c", GIL_SCRIPT, str(fifo), str(dest), SAMPLE], check=True,
                   timeout=60)
    assert dest.read_bytes() == tool_bytes(SAMPLE, tmp_path / "expected.asc", 12.5)


def tool_bytes(source, destination, resolution):
    assert run_tool(source, destination, resolution) == ""
    return destination.read_bytes()
