"""quillmap.dask.resample_files on a local dask.distributed cluster: 20
grids, one of them broken, against the command line."""

import distributed
import pytest

import quillmap.dask
from conftest import grid_text, run_tool


def test_without_a_client_a_local_cluster_runs_the_batch(tmp_path):
    with pytest.raises(ValueError):
        distributed.get_client()
    source = tmp_path / "s.asc"
    source.write_text(grid_text(10, 10, seed=1))
    jobs = [(source, tmp_path / "d1.asc"), (tmp_path / "missing.asc", tmp_path / "d2.asc")]
    assert quillmap.dask.resample_files(jobs, 10.0) == [
        None, "Unable to open file " + str(tmp_path / "missing.asc")]
    assert (tmp_path / "d1.asc").read_bytes() == quillmap_bytes(source, tmp_path / "d3.asc", 10.0)


def quillmap_bytes(source, dest, resolution):
    assert run_tool(source, dest, resolution) == ""
    return dest.read_bytes()


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster:
        with distributed.Client(cluster) as client:
            yield client


def test_a_batch_matches_the_command_line_and_a_broken_file_stops_no_other(client, tmp_path):
    jobs = []
    for i in range(20):
        source = tmp_path / f"source{i}.asc"
        text = grid_text(8 + i, 30 - i, seed=i, cellsize=10.0)
        source.write_text(text[: len(text) // 2] if i == 7 else text)
        jobs.append((source, tmp_path / f"dest{i}.asc"))
    results = quillmap.dask.resample_files(jobs, 4.0, nodata_aware=True, client=client)
    assert len(results) == 20
    for i, ((source, dest), result) in enumerate(zip(jobs, results)):
        expected = tmp_path / f"expected{i}.asc"
        message = run_tool("--nodata-aware", source, expected, 4.0)
        if i == 7:
            assert result == message == "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"
            assert not dest.exists()
        else:
            assert result is None and message == ""
            assert dest.read_bytes() == expected.read_bytes()


def test_the_current_client_is_used_and_jobs_are_checked_first(client, tmp_path):
    source = tmp_path / "s.asc"
    source.write_text(grid_text(10, 10, seed=1))
    assert quillmap.dask.resample_files([(source, tmp_path / "d.asc")], 10.0) == [None]
    assert quillmap.dask.resample_files([(tmp_path / "missing.asc", tmp_path / "d.asc")], 10.0) == [
        "Unable to open file " + str(tmp_path / "missing.asc")
    ]
    for jobs, message in [([source], "each job must be a \\(source, dest\\) pair"),
                          ([(source, 5)], "each job's dest must be a path"),
                          (5, "jobs must be an iterable")]:
        with pytest.raises(TypeError, match=message):
            quillmap.dask.resample_files(jobs, 10.0)
    with pytest.raises(TypeError, match="resolution must be a real number"):
        quillmap.dask.resample_files([(source, tmp_path / "d.asc")], "10")
