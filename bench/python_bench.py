#!/usr/bin/env python3
"""The Python package side by side with what its users would use instead,
in one run, medians of --runs repetitions:

- reading the 4000 x 4000 benchmark grid (126 MB of text): quillmap.read
  (and its values) against numpy.loadtxt and rasterio's read, with a check
  that quillmap gives exactly loadtxt's doubles (rasterio gives float32);
- resampling it to 15 m and 60 m from Python against the C++ in-memory path
  (ProcessStagesBench's BM_Resample, the same grid and operation), wall
  times, each side in processes of its own: on a virtual machine whose host
  takes back freed memory, the first process to allocate much after
  another has freed much pays for it (the next Python process is shown
  too);
- quillmap.xarray.resample of a dask-backed array on 2 workers (dask's
  threads, and a local dask.distributed cluster of 2 single-threaded
  workers) against the eager numpy-backed path, checked to the bit; for
  the cluster, beside it, what moving the eager result's bands from its
  worker processes costs alone; and both again with the cluster's
  transfers uncompressed (dask compresses the frames of smooth values
  such as grids' with lz4 where that is installed).

    /usr/bin/python3 bench/python_bench.py [--build build/release] [--runs 5]

The grid is made with bench/make_bench_grid.sh 4000 4000 30 350000 4650000
(in /dev/shm where it exists). Timings depend on what else the machine runs:
each figure is printed with the load averages when it was taken.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build", "release"))
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--grid", help="an existing copy of the benchmark grid")
    return parser.parse_args()


# Every timed action, and both sides of the resampling in their processes,
# warm up this long before they are timed: the first large allocations after
# another process (or another action) has freed much memory cost several
# times what they cost later.
WARM_UP_SECONDS = 0.3


def median_time(action, runs):
    """The median wall time of runs calls, after calls that are not timed for
    WARM_UP_SECONDS (one at least): on this machine a large allocation after
    much memory was freed costs several times what it costs once the memory
    is in use, so that whichever action came first would pay for it."""
    warm = time.perf_counter() + WARM_UP_SECONDS
    action()
    while time.perf_counter() < warm:
        action()
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def benchmark_grid(path):
    if path:
        return path
    folder = "/dev/shm" if os.access("/dev/shm", os.W_OK) else tempfile.gettempdir()
    path = os.path.join(folder, "quillmap_python_bench_4000.asc")
    if not os.path.exists(path):
        with open(path, "w") as out:
            subprocess.run([os.path.join(HERE, "make_bench_grid.sh"), "4000", "4000", "30", "350000",
                            "4650000"], stdout=out, check=True)
    return path


def load():
    """The machine's load averages (1, 5, 15 minutes), for the figure beside them."""
    return "load %.2f %.2f %.2f" % os.getloadavg()


def row(name, seconds, base=None, note=""):
    ratio = f"{seconds / base:6.2f}" if base else "      "
    print(f"  {name:<44} {seconds:8.3f} s  {ratio}  {note}")


def bench_read(path, runs):
    import numpy as np
    import rasterio

    import quillmap

    print(f"Reading {path} ({os.path.getsize(path) / 1e6:.0f} MB); ratio: time / quillmap's")
    ours = quillmap.read(path).values
    theirs = np.loadtxt(path, skiprows=6)
    with rasterio.open(path) as dataset:
        peer = dataset.read(1)
    exact = theirs.shape == ours.shape and np.array_equal(ours.view(np.uint64), theirs.view(np.uint64))
    t_ours, l_ours = median_time(lambda: quillmap.read(path).values, runs), load()
    t_grid, l_grid = median_time(lambda: quillmap.read(path), runs), load()
    t_loadtxt, l_loadtxt = median_time(lambda: np.loadtxt(path, skiprows=6), runs), load()

    def read_rasterio():
        with rasterio.open(path) as dataset:
            dataset.read(1)

    t_rasterio, l_rasterio = median_time(read_rasterio, runs), load()
    row("quillmap.read(path).values", t_ours, t_ours,
        f"float64, exactly loadtxt's doubles: {exact}; {l_ours}")
    row("quillmap.read(path)", t_grid, t_ours, l_grid)
    row("numpy.loadtxt(path, skiprows=6)", t_loadtxt, t_ours, l_loadtxt)
    row("rasterio.open(path).read(1)", t_rasterio, t_ours,
        f"{peer.dtype}, equal to the file's doubles: {bool(np.array_equal(peer, ours))}; {l_rasterio}")
    return {"numpy.loadtxt / quillmap.read (at least 10)": t_loadtxt / t_ours,
            "rasterio / quillmap.read (at least 15)": t_rasterio / t_ours}



def cxx_resample_seconds(build):
    """BM_Resample's wall time per call, by resolution. Its CPU time counts
    the benchmark's main thread only, while the resampling runs on every
    core; wall times compare the same work on both sides."""
    program = os.path.join(build, "bench", "ProcessStagesBench")
    done = subprocess.run([program, "--benchmark_filter=BM_Resample", "--benchmark_format=json",
                           f"--benchmark_min_warmup_time={WARM_UP_SECONDS}"],
                          capture_output=True, text=True, check=True)
    report = json.loads(done.stdout)
    return {int(b["name"].split("/")[1]): b["real_time"] / 1e3 for b in report["benchmarks"]}


# One run of the Python side, in a process of its own as BM_Resample runs in
# one: the grid read, calls that are not timed for WARM_UP_SECONDS (as
# BM_Resample is told to warm up), then the mean wall time of 3 calls in a row, each result released before
# the next (with its values asked for, or not).
PYTHON_RUN = """
import sys, time
sys.path.insert(0, sys.argv[1])
import quillmap
grid = quillmap.read(sys.argv[2])
resolution, values = float(sys.argv[3]), sys.argv[4] == "1"
warm = time.perf_counter() + float(sys.argv[5])
while time.perf_counter() < warm:
    quillmap.resample(grid, resolution)
total = 0.0
for _ in range(3):
    start = time.perf_counter()
    result = quillmap.resample(grid, resolution)
    if values:
        result.values
    del result
    total += time.perf_counter() - start
print(total / 3)
"""


def bench_resample(path, build, runs):
    print("Resampling in memory, wall time; ratio: Python / C++ (ProcessStagesBench BM_Resample)")

    def python_mean(resolution, values):
        done = subprocess.run([sys.executable, "-c", PYTHON_RUN, os.path.join(build, "python"), path,
                               str(resolution), "1" if values else "0", str(WARM_UP_SECONDS)],
                              capture_output=True, text=True, check=True)
        return float(done.stdout)

    # Each side in a fresh process per run, the runs alternating; medians.
    figures = {key: [] for key in ("cxx15", "cxx60", "py15", "py60", "values15", "values60")}
    for _ in range(runs):
        cxx = cxx_resample_seconds(build)
        for resolution in (15, 60):
            figures[f"cxx{resolution}"].append(cxx[resolution])
            figures[f"py{resolution}"].append(python_mean(resolution, False))
            figures[f"values{resolution}"].append(python_mean(resolution, True))
    measured = load()
    ratios = {}
    for resolution in (15, 60):
        base = statistics.median(figures[f"cxx{resolution}"])
        first = statistics.median(figures[f"py{resolution}"])
        second = statistics.median(figures[f"values{resolution}"])
        ratios[f"Python / C++ resample to {resolution} m (at most 1.1)"] = first / base
        ratios[f"  the same, the next Python process ({resolution} m)"] = second / base
        row(f"C++ TMapTools::BilinearInterpolate to {resolution} m", base, note=measured)
        row(f"quillmap.resample(grid, {resolution})", first, base,
            "(the process right after the C++ one)")
        row(f"quillmap.resample(grid, {resolution}).values", second, base,
            "(the next process; the values are the result's array)")
    return ratios


def bench_dask(path, runs):
    import dask
    import numpy as np

    import quillmap
    import quillmap.xarray as qx

    print("xarray resampling to 15 m; ratio: time / the eager path's")
    da = quillmap.read(path).to_xarray()
    eager = qx.resample(da, 15).values
    t_eager = median_time(lambda: qx.resample(da, 15).values, runs)
    row("eager: numpy-backed DataArray", t_eager, t_eager)
    lazy = qx.resample(da.chunk({"y": 500}), 15)
    with dask.config.set(scheduler="threads", num_workers=2):
        same = np.array_equal(lazy.values.view(np.uint64), eager.view(np.uint64))
        t_threads = median_time(lambda: lazy.values, runs)
    row("dask, chunks of 500 rows, 2 threads", t_threads, t_eager, f"identical: {same}")
    t_cluster, same, t_moved = cluster_times(lazy, eager, runs)
    row("dask.distributed, 2 workers of 1 thread", t_cluster, t_eager,
        f"identical: {same} (result moved from the workers)")
    row("  moving such a result alone", t_moved, t_eager,
        "(the eager result's bands already on the workers, gathered; no quillmap)")
    with dask.config.set({"distributed.comm.compression": None}):
        t_plain, same, t_plain_moved = cluster_times(lazy, eager, runs)
    row("  the same, uncompressed transfers", t_plain, t_eager, f"identical: {same}")
    row("  moving such a result alone, uncompressed", t_plain_moved, t_eager)
    return {"dask threads / eager (at most 1.3)": t_threads / t_eager,
            "dask.distributed / eager (at most 1.3)": t_cluster / t_eager,
            "  of which moving the result alone / eager": t_moved / t_eager,
            "  the same, uncompressed transfers / eager": t_plain / t_eager}


def cluster_times(lazy, eager, runs):
    """On a local dask.distributed cluster of 2 single-threaded workers
    (started with the current dask config): the lazy result computed into
    this process, whether it equals the eager one, and what moving the
    eager result's own bands (values as compressible as the result's),
    already on the workers, to this process costs alone."""
    import dask.array
    import distributed
    import numpy as np

    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, dashboard_address=None) as cluster:
        with distributed.Client(cluster):
            same = np.array_equal(lazy.values.view(np.uint64), eager.view(np.uint64))
            t_cluster = median_time(lambda: lazy.values, runs)
            moved = dask.array.from_array(eager, chunks=lazy.data.chunks).persist()
            distributed.wait(moved)
            t_moved = median_time(lambda: moved.compute(), runs)
            del moved
    return t_cluster, same, t_moved


def main():
    options = arguments()
    sys.path.insert(0, os.path.join(options.build, "python"))
    path = benchmark_grid(options.grid)
    print(f"{os.cpu_count()} cores; medians of {options.runs} runs; {load()} at the start")
    ratios = bench_read(path, options.runs)
    ratios.update(bench_resample(path, options.build, options.runs))
    ratios.update(bench_dask(path, options.runs))
    print("The ratios against their goals")
    for name, ratio in ratios.items():
        print(f"  {name:<52} {ratio:6.2f}")


if __name__ == "__main__":
    main()
