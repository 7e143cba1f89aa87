"""read and write by format: GeoTIFF beside ESRI ASCII, chosen by the first
bytes when reading and by the name when writing, against the ESRI ASCII
path and, where it is installed, GDAL as the oracle."""

import numpy as np
import pytest

import quillmap
from conftest import SAMPLE, run_tool, same_bits

pytestmark = pytest.mark.skipif(not quillmap._core.has_geotiff, reason="GeoTIFF not built in")

# (name, compress, dtype): every compression, both sample types, the names
# that mean GeoTIFF.
WRITES = [
    ("a.tif", None, "float64"),
    ("b.TIFF", "deflate", "float64"),
    ("c.tiff", "lzw", "float32"),
    ("d.Tif", "zstd", "float64"),
]


def same_geometry(a, b):
    return (a.shape, a.cellsize, a.nodata, a.bounds) == (b.shape, b.cellsize, b.nodata, b.bounds) and \
        same_bits(a.x, b.x) and same_bits(a.y, b.y)


@pytest.mark.parametrize("name, compress, dtype", WRITES)
def test_geotiff_round_trip(tmp_path, name, compress, dtype):
    grid = quillmap.read(SAMPLE)
    path = tmp_path / name
    quillmap.write(grid, path, compress=compress, dtype=dtype)
    assert path.read_bytes()[:4] in (b"II*\0", b"MM\0*", b"II+\0", b"MM\0+")
    back = quillmap.read(path)
    assert same_geometry(back, grid)
    assert same_bits(back.values, grid.values.astype(dtype))
    try:
        from osgeo import gdal
    except ImportError:
        return
    dataset = gdal.Open(str(path))
    assert same_bits(dataset.GetRasterBand(1).ReadAsArray().astype(np.float64), back.values)
    assert dataset.GetGeoTransform() == tuple(grid.transform)[:6] or \
        dataset.GetGeoTransform() == (grid.bounds[0], grid.cellsize, 0.0, grid.bounds[3], 0.0, -grid.cellsize)


def test_content_decides_when_reading(tmp_path):
    grid = quillmap.read(SAMPLE)
    tiff_named_asc = tmp_path / "tiff.asc"
    quillmap.write(grid, tiff_named_asc, format="geotiff")
    ascii_named_tif = tmp_path / "ascii.tif"
    quillmap.write(grid, ascii_named_tif, format="ascii")
    quillmap.write(grid, tmp_path / "ascii.asc")
    assert ascii_named_tif.read_bytes() == (tmp_path / "ascii.asc").read_bytes()
    for path in (tiff_named_asc, ascii_named_tif):
        assert same_bits(quillmap.read(path).values, grid.values)
    with pytest.raises(quillmap.Error, match="ncols"):
        quillmap.read(tiff_named_asc, format="ascii")
    with pytest.raises(quillmap.Error, match="File is not a TIFF file in TGeoTIFFFileTools::LoadGeoTIFFFile"):
        quillmap.read(ascii_named_tif, format="geotiff")
    with pytest.raises(quillmap.FileError, match="Unable to open file"):
        quillmap.read(tmp_path / "missing.tif")


@pytest.mark.parametrize("call, message", [
    (lambda g, p: quillmap.read(p, format="tiff"), "format must be None, 'ascii' or 'geotiff'"),
    (lambda g, p: quillmap.write(g, p, format="GeoTIFF"), "format must be None, 'ascii' or 'geotiff'"),
    (lambda g, p: quillmap.write(g, p, compress="jpeg"), "compress must be None, 'deflate'"),
    (lambda g, p: quillmap.write(g, p, dtype="int16"), "dtype must be 'float64' or 'float32'"),
])
def test_wrong_choices(tmp_path, call, message):
    path = tmp_path / "x.tif"
    with pytest.raises(ValueError, match=message):
        call(quillmap.read(SAMPLE), path)
    assert not path.exists()


# (source written as, destination name, resample_file's choices, the tool's
# options): resample_file gives the command line's bytes for each way.
RESAMPLINGS = [
    ("geotiff", "out.asc", {}, ["--input-format", "auto"]),
    ("geotiff", "out.asc", {"format": "geotiff", "dest_format": "ascii"}, ["--input-format", "geotiff"]),
    ("ascii", "out.tif", {}, ["--output-format", "auto"]),
    ("ascii", "out.bin", {"dest_format": "geotiff", "compress": "deflate", "dtype": "float32"},
     ["--output-format", "geotiff", "--compress", "deflate", "--output-type", "float32"]),
    ("geotiff", "out.tif", {"compress": "zstd", "nodata_aware": True},
     ["--input-format", "auto", "--output-format", "auto", "--compress", "zstd", "--nodata-aware"]),
]


@pytest.mark.parametrize("written_as, dest, choices, options", RESAMPLINGS)
def test_resample_file_takes_the_command_lines_formats(tmp_path, written_as, dest, choices, options):
    source = tmp_path / "source.src"
    quillmap.write(quillmap.read(SAMPLE), source, format=written_as)
    ours, theirs = tmp_path / dest, tmp_path / ("tool_" + dest)
    quillmap.resample_file(source, ours, 40, **choices)
    run_tool(*options, str(source), str(theirs), "40")
    assert ours.read_bytes() == theirs.read_bytes()


@pytest.mark.parametrize("choices, message", [
    ({"format": "tiff"}, "format must be None, 'ascii' or 'geotiff'"),
    ({"dest_format": "png"}, "dest_format must be None, 'ascii' or 'geotiff'"),
    ({"band": 0}, "band must be at least 1"),
    ({"compress": "gzip"}, "compress must be None"),
    ({"dtype": "int16"}, "dtype must be 'float64' or 'float32'"),
])
def test_resample_file_refuses_unknown_choices(tmp_path, choices, message):
    with pytest.raises(ValueError, match=message):
        quillmap.resample_file(SAMPLE, tmp_path / "out.asc", 40, **choices)
    assert not (tmp_path / "out.asc").exists()


def test_a_missing_band_is_the_toolkits_message(tmp_path):
    source = tmp_path / "one_band.tif"
    quillmap.write(quillmap.read(SAMPLE), source)
    with pytest.raises(quillmap.Error, match="^Band does not exist in TGeoTIFFFileTools::LoadGeoTIFFFile$"):
        quillmap.resample_file(source, tmp_path / "out.asc", 40, band=2)
