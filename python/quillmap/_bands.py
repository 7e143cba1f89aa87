"""The lazy resampling of a dask array, band by band: each block of the
result is a band of result rows, computed by a BandPlan from just the
source rows it reads, taken from the source blocks they lie in."""

import dask.array
import numpy as np
from dask.base import tokenize
from dask.highlevelgraph import HighLevelGraph

from . import _core
from ._grid import Grid, resample as resample_grid


class BandArray(dask.array.Array):
    """A dask array of bands of result rows. Computed, its bands are joined
    by quillmap rather than by dask: into the same array, their rows copied
    on every core into memory that earlier results gave back, instead of
    one by one into fresh memory. Anything made from it is a plain dask
    array."""

    def __dask_postcompute__(self):
        return _join, ()


def _join(results):
    """The computed bands (a list of one block per band) as one array."""
    return _core.join_bands([np.asarray(blocks[0]) for blocks in results])


def _band(plan, begin, end, blocks, offsets):
    """Result rows [begin, end) from the source blocks that hold the source
    rows they need (block i starting at source row offsets[i]), read where
    they lie."""
    return plan.fill_rows(begin, end, [np.asarray(block) for block in blocks], offsets)


def _whole(header, resolution, aware, blocks):
    """The eager resampling of the whole grid, for a plan that is not banded."""
    columns, rows, xllcorner, yllcorner, cellsize, nodata = header
    values = np.concatenate([np.asarray(block) for block in blocks])
    grid = Grid(values, xllcorner=xllcorner, yllcorner=yllcorner, cellsize=cellsize, nodata=nodata)
    return np.array(resample_grid(grid, resolution, aware).values)


def _bands(plan, starts):
    """Result row bands [begin, end): the rows whose first source row lies in
    source block k form band k (rows before the first walk row join the
    first band); empty bands are dropped."""
    rows = plan.frame.rows
    first_rows = np.maximum.accumulate(np.asarray(plan.first_source_rows(), dtype=np.int64))
    cuts = np.searchsorted(first_rows, starts[1:-1], side="left")
    bounds = sorted({0, rows, *(int(c) for c in cuts)})
    return [(b, e) for b, e in zip(bounds[:-1], bounds[1:]) if b < e]


def resample(data, plan, header, resolution, aware):
    """A lazy dask array of the resampled grid of the dask array ``data``."""
    if len(data.chunks[1]) > 1:
        data = data.rechunk({1: -1})
    name = "quillmap-resample-" + tokenize(data.name, header, resolution, aware)
    starts = np.cumsum((0,) + data.chunks[0])
    keys = [(data.name, i, 0) for i in range(len(data.chunks[0]))]
    layer = {}
    if plan.banded:
        bands = _bands(plan, starts)
        for k, (begin, end) in enumerate(bands):
            first, last = plan.source_rows(begin, end)
            needed = [i for i in range(len(keys)) if starts[i] < last and starts[i + 1] > first]
            blocks = [keys[i] for i in needed]
            layer[(name, k, 0)] = (_band, plan, begin, end, blocks, [int(starts[i]) for i in needed])
    else:
        bands = [(0, plan.frame.rows)]
        layer[(name, 0, 0)] = (_whole, header, resolution, aware, keys)
    graph = HighLevelGraph.from_collections(name, layer, dependencies=[data])
    chunks = (tuple(end - begin for begin, end in bands), (plan.frame.columns,))
    return BandArray(graph, name, chunks, meta=np.empty((0, 0), dtype=np.float64))
