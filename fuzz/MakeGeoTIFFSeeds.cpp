// Writes the seed corpus of GeoTIFFReadFuzz into the directory given: small
// files made with libtiff itself in every sample type, strips and tiles,
// each compression and predictor, classic and BigTIFF, planes, each kind of
// georeferencing and no-data tag, and the layouts the reader refuses.
// Usage: MakeGeoTIFFSeeds <dir>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/TestTiffs.h"

namespace {
struct Seed {
  std::string Name;
  TestTiff Tiff;
};

TestTiff Sample(std::uint16_t bits, std::uint16_t format) {
  TestTiff tiff;
  tiff.Bits = bits;
  tiff.Format = format;
  return tiff;
}

std::vector<Seed> Seeds() {
  std::vector<Seed> seeds;
  const std::pair<std::uint16_t, std::uint16_t> samples[] = {
      {8, 1}, {8, 2}, {16, 1}, {16, 2}, {32, 1}, {32, 2}, {64, 1}, {64, 2}, {32, 3}, {64, 3}};
  // COMPRESSION_NONE, LZW, ADOBE_DEFLATE, PACKBITS, ZSTD.
  const std::uint16_t compressions[] = {1, 5, 8, 32773, 50000};
  for (const auto& [bits, format] : samples)
    for (std::uint16_t compression : compressions) {
      TestTiff tiff = Sample(bits, format);
      tiff.Columns = 20;
      tiff.Rows = 9;
      tiff.RowsPerStrip = 4;
      tiff.Compression = compression;
      tiff.Predictor = compression == 1 || compression == 32773 ? 1 : format == 3 ? 3 : 2;
      tiff.Values = TestTiffValues(tiff);
      const std::string name =
          std::to_string(bits) + "_" + std::to_string(format) + "_" + std::to_string(compression);
      seeds.push_back({"strips_" + name, tiff});
      tiff.TileSize = 16;
      seeds.push_back({"tiles_" + name, tiff});
    }
  TestTiff tiff = Sample(32, 3);
  tiff.Values = TestTiffValues(tiff);
  seeds.push_back({"plain", tiff});
  TestTiff big = tiff;
  big.BigTIFF = true;
  seeds.push_back({"bigtiff", big});
  TestTiff point = tiff;
  point.GeoKeys = {1, 1, 0, 2, 1024, 0, 1, 1, 1025, 0, 1, 2};
  seeds.push_back({"pixel_is_point", point});
  TestTiff crs = tiff;
  crs.GeoKeys = {1, 1, 0, 3, 1024, 0, 1, 1, 1026, 34737, 6, 0, 3072, 0, 1, 32633};
  crs.GeoAscii = "UTM 33|";
  crs.GeoDoubles = {6378137.0};
  seeds.push_back({"crs_keys", crs});
  TestTiff matrix = tiff;
  matrix.Scale.clear();
  matrix.Tiepoint.clear();
  matrix.Transformation = {10, 0, 0, 100, 0, -10, 0, 230, 0, 0, 0, 0, 0, 0, 0, 1};
  seeds.push_back({"transformation", matrix});
  TestTiff rotated = matrix;
  rotated.Transformation[1] = 0.5;
  seeds.push_back({"rotated", rotated});
  TestTiff noData = tiff;
  noData.HasNoData = true;
  noData.NoData = "-3.4028234663852886e+38";
  seeds.push_back({"nodata", noData});
  TestTiff planes = tiff;
  planes.Samples = 3;
  planes.Planes = true;
  planes.Values = TestTiffValues(planes);
  seeds.push_back({"planes", planes});
  TestTiff tiledPlanes = planes;
  tiledPlanes.TileSize = 16;
  seeds.push_back({"tiled_planes", tiledPlanes});
  TestTiff contiguous = planes;
  contiguous.Planes = false;
  seeds.push_back({"contiguous_samples", contiguous});
  for (std::uint16_t bits : {1, 4, 12}) {
    TestTiff odd = Sample(bits, 1);
    seeds.push_back({"bits_" + std::to_string(bits), odd});
  }
  TestTiff palette = Sample(8, 1);
  palette.Photometric = 3;
  seeds.push_back({"palette", palette});
  TestTiff complex = Sample(64, 6);
  seeds.push_back({"complex", complex});
  return seeds;
}
} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <dir>\n", argv[0]);
    return 2;
  }
  int written = 0;
  for (const Seed& seed : Seeds()) {
    const std::string bytes = TestTiffBytes(seed.Tiff);
    if (bytes.empty())
      continue;
    std::ofstream(std::string(argv[1]) + "/" + seed.Name + ".tif", std::ios::binary) << bytes;
    ++written;
  }
  std::fprintf(stderr, "corpus: %d GeoTIFF files in %s\n", written, argv[1]);
  return written > 0 ? 0 : 1;
}
