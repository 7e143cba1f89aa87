// GeoTIFFProbe: what TGeoTIFFFileTools makes of GeoTIFF files, for the
// interoperability test against GDAL (geotiff_gdal_interop.py). Test-only.
//
//   GeoTIFFProbe read <band> <file>...
//     prints for each file "file <name>", then either "error <message>" or
//     the lines "columns", "rows", "xll", "yll", "cell", "nodata" (doubles
//     as C99 hexadecimal floats), "hasnodata" and "pixelispoint" (0 or 1),
//     "keys" followed by the GeoKey directory, and "values" followed by
//     every cell, row by row from the north;
//   GeoTIFFProbe write <source> <dest> <float64|float32> <none|deflate|lzw|zstd>
//     reads an ESRI ASCII grid (.asc) or band 1 of a GeoTIFF with its tags
//     and writes it as a GeoTIFF; prints the message of a failure.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "gridio/TARCGISFileTools.h"
#include "gridio/TGeoTIFFFileTools.h"

namespace {
void PrintDouble(const char* name, double value) {
  std::printf("%s %a\n", name, value);
}

void Describe(const std::string& file, long band) {
  std::printf("file %s\n", file.c_str());
  TGeoTIFFTags tags;
  std::unique_ptr<TMap> map;
  try {
    map.reset(TGeoTIFFFileTools::LoadGeoTIFFFile(file, band, &tags));
  } catch (const char* message) {
    std::printf("error %s\n", message);
    return;
  } catch (const std::string& message) {
    std::printf("error %s\n", message.c_str());
    return;
  }
  std::printf("columns %ld\nrows %ld\n", map->MbrLngXDim, map->MbrLngYDim);
  PrintDouble("xll", map->MbrPtrXAxisInterval->GetPoint(0)->x);
  PrintDouble("yll", map->MbrPtrYAxisInterval->GetPoint(map->MbrLngYDim)->y);
  PrintDouble("cell", map->MbrDblResolution);
  PrintDouble("nodata", map->MbrDblNoDataValue);
  std::printf("hasnodata %d\npixelispoint %d\nkeys", tags.HasNoData, tags.PixelIsPoint);
  for (unsigned short key : tags.KeyDirectory)
    std::printf(" %u", key);
  std::printf("\nvalues");
  for (const std::vector<double>& row : map->MbrVecValues)
    for (double value : row)
      std::printf(" %a", value);
  std::printf("\n");
}

TGeoTIFFFileTools::TCompression CompressionNamed(const std::string& name) {
  if (name == "deflate")
    return TGeoTIFFFileTools::TCompression::Deflate;
  if (name == "lzw")
    return TGeoTIFFFileTools::TCompression::Lzw;
  if (name == "zstd")
    return TGeoTIFFFileTools::TCompression::Zstd;
  return TGeoTIFFFileTools::TCompression::None;
}

void Convert(const std::string& source, const std::string& dest, const std::string& type,
             const std::string& compression) {
  TGeoTIFFFileTools::TWriteOptions options;
  options.SampleType = type == "float32" ? TGeoTIFFFileTools::TSampleType::Float32
                                         : TGeoTIFFFileTools::TSampleType::Float64;
  options.Compression = CompressionNamed(compression);
  const bool ascii = source.size() > 4 && source.compare(source.size() - 4, 4, ".asc") == 0;
  TGeoTIFFTags tags;
  std::unique_ptr<TMap> map(ascii ? TARCGISFileTools::LoadARCGISFile(source)
                                  : TGeoTIFFFileTools::LoadGeoTIFFFile(source, 1, &tags));
  TGeoTIFFFileTools::WriteGeoTIFFFile(map.get(), dest, options, ascii ? nullptr : &tags);
}
} // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "read") == 0) {
    for (int i = 3; i < argc; ++i)
      Describe(argv[i], std::atol(argv[2]));
    return 0;
  }
  if (argc == 6 && std::strcmp(argv[1], "write") == 0) {
    try {
      Convert(argv[2], argv[3], argv[4], argv[5]);
    } catch (const char* message) {
      std::printf("%s\n", message);
      return 1;
    } catch (const std::string& message) {
      std::printf("%s\n", message.c_str());
      return 1;
    }
    return 0;
  }
  std::fprintf(stderr, "usage: %s read <band> <file>... | write <source> <dest> <type> <codec>\n",
               argv[0]);
  return 2;
}
