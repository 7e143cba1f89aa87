#!/usr/bin/python3
"""GeoTIFF interoperability with GDAL, GDAL being only a test-time peer.

Two ways, in a fresh temporary folder:
  read:  GDAL writes files in every sample type, in strips and in tiles,
         with each compression and predictor, PixelIsPoint, BigTIFF, bands
         as planes, with and without no-data; quillmap must read exactly
         the values, corner, cell size and no-data value that GDAL reads.
  write: quillmap writes an ESRI ASCII grid and a GDAL GeoTIFF with a
         coordinate reference system as GeoTIFF in each sample type and
         compression; GDAL must read the georeferencing, the no-data value,
         the CRS (from the GeoTIFF source) and exactly the values.

Usage: geotiff_gdal_interop.py <GeoTIFFProbe> read|write
Exits 77 (skipped) with a message when GDAL's Python bindings are missing.
"""
import os
import struct
import subprocess
import sys
import tempfile

try:
    import numpy as np
    from osgeo import gdal, osr
except ImportError as missing:
    print(f"SKIPPED: GDAL's Python bindings (python3-gdal) are not installed: {missing}")
    sys.exit(77)

gdal.UseExceptions()
COLUMNS, ROWS = 37, 21
WEST, NORTH, CELL = 350000.5, 4650000.3, 30.0

# GDAL data type, numpy type, the extra creation options it needs.
TYPES = [
    ("Byte", gdal.GDT_Byte, np.uint8, []),
    ("SignedByte", gdal.GDT_Byte, np.int8, ["PIXELTYPE=SIGNEDBYTE"]),
    ("UInt16", gdal.GDT_UInt16, np.uint16, []),
    ("Int16", gdal.GDT_Int16, np.int16, []),
    ("UInt32", gdal.GDT_UInt32, np.uint32, []),
    ("Int32", gdal.GDT_Int32, np.int32, []),
    ("UInt64", gdal.GDT_UInt64, np.uint64, []),
    ("Int64", gdal.GDT_Int64, np.int64, []),
    ("Float32", gdal.GDT_Float32, np.float32, []),
    ("Float64", gdal.GDT_Float64, np.float64, []),
]


def bits(value):
    return struct.pack("<d", value)


def sample_values(numpy_type, seed):
    """A grid of values spread over the type's range, extremes included."""
    rng = np.random.default_rng(seed)
    if np.issubdtype(numpy_type, np.integer):
        info = np.iinfo(numpy_type)
        values = rng.integers(info.min, info.max, size=(ROWS, COLUMNS), dtype=numpy_type,
                              endpoint=True)
        values[0, 0], values[0, 1] = info.min, info.max
        return values
    values = (rng.standard_normal((ROWS, COLUMNS)) * 1000).astype(numpy_type)
    values[0, 0] = np.finfo(numpy_type).max
    values[0, 1] = np.finfo(numpy_type).tiny
    values[0, 2] = 1.0 / 3.0
    values[0, 3] = -0.0
    return values


def probe_read(probe, band, paths):
    out = subprocess.run([probe, "read", str(band)] + paths, capture_output=True, text=True,
                         check=True).stdout
    results, current = {}, None
    for line in out.splitlines():
        key, _, rest = line.partition(" ")
        if key == "file":
            current = results.setdefault(rest, {})
        elif key == "values":
            current["values"] = [float.fromhex(v) for v in rest.split()]
        elif key in ("error", "columns", "rows", "hasnodata", "pixelispoint", "keys"):
            current[key] = rest
        else:
            current[key] = float.fromhex(rest)
    return results


def gdal_view(path, band=1):
    """What GDAL reads: values as float64, corner, cell size, no-data."""
    dataset = gdal.Open(path)
    raster = dataset.GetRasterBand(band)
    values = raster.ReadAsArray()
    if raster.GetMetadataItem("PIXELTYPE", "IMAGE_STRUCTURE") == "SIGNEDBYTE":
        values = values.view(np.int8)
    gt = dataset.GetGeoTransform()
    return {
        "values": values.astype(np.float64).ravel().tolist(),
        "xll": gt[0],
        "yll": gt[3] + dataset.RasterYSize * gt[5],
        "cell": gt[1],
        "ycell": -gt[5],
        "nodata": raster.GetNoDataValue(),
        "srs": dataset.GetSpatialRef(),
        "shape": (dataset.RasterXSize, dataset.RasterYSize),
    }


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, condition, what):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAILED: {what}")


def same_values(a, b):
    return len(a) == len(b) and all(bits(x) == bits(y) for x, y in zip(a, b))


def gdal_files(folder):
    """(path, band, description) of every file GDAL writes for the read way."""
    files = []
    driver = gdal.GetDriverByName("GTiff")

    def make(name, numpy_type, gdal_type, options, bands=1, nodata=None, point=False, crs=True):
        path = os.path.join(folder, name + ".tif")
        dataset = driver.Create(path, COLUMNS, ROWS, bands, gdal_type, options)
        dataset.SetGeoTransform((WEST, CELL, 0.0, NORTH, 0.0, -CELL))
        if crs:
            srs = osr.SpatialReference()
            srs.ImportFromEPSG(32633)
            dataset.SetSpatialRef(srs)
        if point:
            dataset.SetMetadataItem("AREA_OR_POINT", "Point")
        for b in range(1, bands + 1):
            raster = dataset.GetRasterBand(b)
            values = sample_values(numpy_type, len(files) * 7 + b)
            raster.WriteArray(values.view(np.uint8) if "PIXELTYPE=SIGNEDBYTE" in options else values)
            if nodata is not None:
                raster.SetNoDataValue(nodata)
        dataset = None
        return path

    index = 0
    for label, gdal_type, numpy_type, extra in TYPES:
        is_float = np.issubdtype(numpy_type, np.floating)
        for layout in (["TILED=NO", "BLOCKYSIZE=5"], ["TILED=YES", "BLOCKXSIZE=16", "BLOCKYSIZE=16"]):
            tiled = layout[0] == "TILED=YES"
            for compress in ("NONE", "DEFLATE", "LZW", "ZSTD", "PACKBITS"):
                predictors = [1]
                if compress in ("DEFLATE", "LZW", "ZSTD"):
                    predictors += [2] + ([3] if is_float else [])
                for predictor in predictors:
                    index += 1
                    options = extra + layout + [f"COMPRESS={compress}"]
                    if predictor != 1:
                        options.append(f"PREDICTOR={predictor}")
                    nodata = None if index % 2 else (-9999 if not label.startswith("U") and label != "Byte" else 255)
                    name = f"{label}_{'tiles' if tiled else 'strips'}_{compress}_p{predictor}"
                    path = make(name, numpy_type, gdal_type, options, nodata=nodata,
                                point=index % 5 == 0)
                    files.append((path, 1, name))
    for label, options, kwargs in [
        ("bigtiff", ["BIGTIFF=YES", "COMPRESS=DEFLATE"], {}),
        ("pixel_is_point", ["COMPRESS=LZW"], {"point": True, "nodata": -32768.0}),
        ("nan_nodata", ["COMPRESS=ZSTD"], {"nodata": float("nan")}),
        ("no_crs", [], {"crs": False}),
    ]:
        files.append((make(label, np.float32, gdal.GDT_Float32, options, **kwargs), 1, label))
    planes = make("planes", np.float64, gdal.GDT_Float64, ["INTERLEAVE=BAND", "COMPRESS=DEFLATE"],
                  bands=3, nodata=-1.0)
    for band in (1, 2, 3):
        files.append((planes, band, f"planes band {band}"))
    return files


def check_read(probe, folder, checks):
    files = gdal_files(folder)
    for band in (1, 2, 3):
        paths = [path for path, b, _ in files if b == band]
        results = probe_read(probe, band, paths)
        for path, b, name in files:
            if b != band:
                continue
            ours, theirs = results[path], gdal_view(path, band)
            if "error" in ours:
                checks.expect(False, f"{name}: quillmap refused it: {ours['error']}")
                continue
            checks.expect((int(ours["columns"]), int(ours["rows"])) == theirs["shape"], f"{name}: shape")
            checks.expect(same_values(ours["values"], theirs["values"]), f"{name}: values")
            for key in ("xll", "yll", "cell"):
                checks.expect(bits(ours[key]) == bits(theirs[key]),
                              f"{name}: {key} {ours[key]!r}, GDAL {theirs[key]!r}")
            expected_nodata = -9999.0 if theirs["nodata"] is None else theirs["nodata"]
            checks.expect(bits(ours["nodata"]) == bits(expected_nodata) or
                          (np.isnan(ours["nodata"]) and np.isnan(expected_nodata)),
                          f"{name}: no-data {ours['nodata']!r}, GDAL {theirs['nodata']!r}")
            checks.expect(ours["hasnodata"] == ("0" if theirs["nodata"] is None else "1"),
                          f"{name}: whether no-data is declared")


def ascii_source(folder):
    path = os.path.join(folder, "source.asc")
    values = sample_values(np.float64, 99)
    values[3, 4] = -9999
    with open(path, "w") as out:
        out.write(f"ncols {COLUMNS}\nnrows {ROWS}\nxllcorner 350000.5\nyllcorner 4180000.3\n"
                  f"cellsize 0.1\nNODATA_value -9999\n")
        for row in values:
            out.write(" ".join(repr(float(v)) for v in row) + "\n")
    return path


def check_write(probe, folder, checks):
    ascii_path = ascii_source(folder)
    # A GeoTIFF source with a CRS, placed by its north-west corner.
    # GDAL reads the ASCII grid's values as doubles only when told to.
    geotiff_source = os.path.join(folder, "source.tif")
    ascii_doubles = gdal.OpenEx(ascii_path, open_options=["DATATYPE=Float64"])
    gdal.Translate(geotiff_source, ascii_doubles, options="-a_srs EPSG:32633")
    ascii_doubles = None
    source_srs = gdal.Open(geotiff_source).GetSpatialRef()
    sources = [(ascii_path, np.loadtxt(ascii_path, skiprows=6).ravel()),
               (geotiff_source, np.array(gdal_view(geotiff_source)["values"]))]
    for source, source_values in sources:
        for sample in ("float64", "float32"):
            for codec in ("none", "deflate", "lzw", "zstd"):
                name = f"{os.path.basename(source)} as {sample} {codec}"
                dest = os.path.join(folder, f"out_{os.path.basename(source)}_{sample}_{codec}.tif")
                run = subprocess.run([probe, "write", source, dest, sample, codec],
                                     capture_output=True, text=True)
                if run.returncode != 0:
                    checks.expect(False, f"{name}: {run.stdout.strip()}")
                    continue
                ours = probe_read(probe, 1, [dest])[dest]
                theirs = gdal_view(dest)
                checks.expect(same_values(ours["values"], theirs["values"]), f"{name}: values")
                expected = source_values
                if sample == "float32":
                    with np.errstate(over="ignore"):
                        expected = expected.astype(np.float32).astype(np.float64)
                checks.expect(same_values(expected.tolist(), theirs["values"]),
                              f"{name}: GDAL's values are the source's")
                north = ours["yll"] + ROWS * ours["cell"]
                gt = gdal.Open(dest).GetGeoTransform()
                checks.expect(gt == (ours["xll"], ours["cell"], 0.0, north, 0.0, -ours["cell"]),
                              f"{name}: geotransform {gt}")
                checks.expect(theirs["nodata"] == -9999.0, f"{name}: no-data {theirs['nodata']}")
                if source == geotiff_source:
                    checks.expect(theirs["srs"] is not None and theirs["srs"].IsSame(source_srs),
                                  f"{name}: CRS carried over")
                    checks.expect(theirs["srs"] is not None and
                                  theirs["srs"].GetAuthorityCode(None) == "32633", f"{name}: EPSG code")
                info = gdal.Info(dest, format="json")
                checks.expect(info.get("metadata", {}).get("", {}).get("AREA_OR_POINT") in ("Area", None),
                              f"{name}: PixelIsArea")
                compression = info.get("metadata", {}).get("IMAGE_STRUCTURE", {}).get("COMPRESSION")
                checks.expect((compression or "NONE").lower() == {"none": "none", "deflate": "deflate",
                              "lzw": "lzw", "zstd": "zstd"}[codec], f"{name}: compression {compression}")


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in ("read", "write"):
        print(__doc__)
        return 2
    probe, way = sys.argv[1], sys.argv[2]
    checks = Checks()
    with tempfile.TemporaryDirectory(prefix="quillmap-gdal-") as folder:
        (check_read if way == "read" else check_write)(probe, folder, checks)
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
