// GeoTIFFCopy: the GeoTIFF reader and writer as a process, for
// bench/geotiff_compare.sh to time beside GDAL.
//
//   GeoTIFFCopy read <source>
//     reads band 1 into a map and prints its sum (so the reading cannot be
//     skipped);
//   GeoTIFFCopy copy <source> <dest> <float64|float32> <none|deflate|lzw|zstd>
//     reads band 1 with its tags and writes it.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "gridio/TGeoTIFFFileTools.h"

namespace {
TGeoTIFFFileTools::TCompression CompressionNamed(const std::string& name) {
  if (name == "deflate")
    return TGeoTIFFFileTools::TCompression::Deflate;
  if (name == "lzw")
    return TGeoTIFFFileTools::TCompression::Lzw;
  if (name == "zstd")
    return TGeoTIFFFileTools::TCompression::Zstd;
  return TGeoTIFFFileTools::TCompression::None;
}

int Run(int argc, char** argv) {
  TGeoTIFFTags tags;
  std::unique_ptr<TMap> map(TGeoTIFFFileTools::LoadGeoTIFFFile(argv[2], 1, &tags));
  if (std::strcmp(argv[1], "read") == 0) {
    double sum = 0.0;
    for (const std::vector<double>& row : map->MbrVecValues)
      for (double value : row)
        sum += value;
    std::printf("%.17g\n", sum);
    return 0;
  }
  if (argc != 6)
    return 2;
  TGeoTIFFFileTools::TWriteOptions options;
  options.SampleType = std::strcmp(argv[4], "float32") == 0
                           ? TGeoTIFFFileTools::TSampleType::Float32
                           : TGeoTIFFFileTools::TSampleType::Float64;
  options.Compression = CompressionNamed(argv[5]);
  TGeoTIFFFileTools::WriteGeoTIFFFile(map.get(), argv[3], options, &tags);
  return 0;
}
} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s read <source> | copy <source> <dest> <type> <codec>\n",
                 argv[0]);
    return 2;
  }
  try {
    return Run(argc, argv);
  } catch (const char* message) {
    std::printf("%s\n", message);
  } catch (const std::string& message) {
    std::printf("%s\n", message.c_str());
  }
  return 1;
}
