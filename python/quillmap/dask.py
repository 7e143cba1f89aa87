"""Batches of file-to-file resamplings on a dask.distributed cluster."""

import os

import distributed

from . import _checks
from ._core import Error
from ._grid import resample_file


def _resample_job(source, dest, resolution, lenient, nodata_aware, digits):
    """One job on a worker: None when done, the message text when it failed."""
    try:
        resample_file(source, dest, resolution, lenient, nodata_aware, digits, threads=1)
    except Error as failure:
        return str(failure)
    return None


def _jobs(jobs):
    pairs = []
    for job in _checks.items(jobs, "jobs", "(source, dest) pairs"):
        pair = None
        if not isinstance(job, (str, bytes, os.PathLike)):
            try:
                pair = tuple(job)
            except TypeError:
                pass
        if pair is None or len(pair) != 2:
            raise TypeError(f"each job must be a (source, dest) pair, not {job!r}")
        _checks.path(pair[0], "each job's source")
        _checks.path(pair[1], "each job's dest")
        pairs.append(pair)
    return pairs


def resample_files(jobs, resolution, lenient=False, nodata_aware=False, digits=6, client=None):
    """Run ``quillmap.resample_file`` for many (source, dest) pairs on a
    dask.distributed cluster, one task per job.

    ``client``: the dask.distributed Client to run on; None for the current
    one, or, where there is none, a local cluster of one single-threaded
    worker per core, started for this batch and closed after it. Each task is
    meant to run on one thread (``resample_file(..., threads=1)``; see there
    for what threads does for now).

    Returns a list in the order of the jobs: None for a job done, the exact
    message text (as ``str`` of the quillmap.Error) for one that failed. A
    failing job stops no other; its destination is left as ``resample_file``
    leaves it. Raises TypeError or ValueError for arguments of the wrong kind,
    checked before any job starts; a failure that is not the toolkit's (a
    worker that dies) raises as dask raises it.
    """
    pairs = _jobs(jobs)
    arguments = (
        _checks.real(resolution, "resolution"),
        _checks.flag(lenient, "lenient"),
        _checks.flag(nodata_aware, "nodata_aware"),
        _checks.whole(digits, "digits"),
    )
    if client is None:
        try:
            client = distributed.get_client()
        except ValueError:
            with distributed.LocalCluster(threads_per_worker=1, dashboard_address=None) as cluster:
                with distributed.Client(cluster) as local:
                    return _run(local, pairs, arguments)
    return _run(client, pairs, arguments)


def _run(client, pairs, arguments):
    futures = [client.submit(_resample_job, s, d, *arguments, pure=False) for s, d in pairs]
    return client.gather(futures)
