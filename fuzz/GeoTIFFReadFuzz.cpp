// Reads a GeoTIFF from arbitrary bytes, band 1 or (for inputs of odd size)
// band 2. A map read (of at most kMostCells) is written back as a float64 GeoTIFF with the tags
// read (uncompressed, deflate, lzw or zstd by the input's size) and read again: the two maps must
// be the same to the bit, and the tags the same. Any failure must be one of the toolkit's messages;
// the sanitizers and the fuzzer's memory limits catch the rest.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "gridio/TGeoTIFFFileTools.h"

namespace {
// Larger maps are read but not written back: the fuzzer stays fast.
const long kMostCells = 1 << 18;

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameAxis(TAxis* a, TAxis* b) {
  if (a->GetSize() != b->GetSize())
    return false;
  for (long i = 0; i < a->GetSize(); ++i)
    if (!SameBits(a->GetPoint(i)->x, b->GetPoint(i)->x) ||
        !SameBits(a->GetPoint(i)->y, b->GetPoint(i)->y))
      return false;
  return true;
}

bool SameMap(TMap* a, TMap* b) {
  if (a->MbrLngXDim != b->MbrLngXDim || a->MbrLngYDim != b->MbrLngYDim ||
      !SameBits(a->MbrDblResolution, b->MbrDblResolution) ||
      !SameBits(a->MbrDblNoDataValue, b->MbrDblNoDataValue) ||
      !SameAxis(a->MbrPtrXAxisInterval, b->MbrPtrXAxisInterval) ||
      !SameAxis(a->MbrPtrYAxisInterval, b->MbrPtrYAxisInterval))
    return false;
  for (long y = 0; y < a->MbrLngYDim; ++y)
    for (long x = 0; x < a->MbrLngXDim; ++x)
      if (!SameBits(a->MbrVecValues[y][x], b->MbrVecValues[y][x]))
        return false;
  return true;
}

// The GeoKeys carried over (a file without any gets the raster type alone),
// the raster type now PixelIsArea.
bool SameKeys(const TGeoTIFFTags& a, const TGeoTIFFTags& b) {
  return std::equal(a.DoubleParams.begin(), a.DoubleParams.end(), b.DoubleParams.begin(),
                    b.DoubleParams.end(), SameBits) &&
         a.AsciiParams == b.AsciiParams &&
         (a.KeyDirectory.empty() || a.KeyDirectory.size() == b.KeyDirectory.size()) &&
         !b.PixelIsPoint;
}

template <typename Action> bool Succeeds(Action action) {
  try {
    action();
    return true;
  } catch (const char* message) {
    if (message == nullptr || std::strstr(message, " in TGeoTIFFFileTools::") == nullptr)
      std::abort();
  } catch (const std::string& message) {
    if (message.rfind("Unable to ", 0) != 0)
      std::abort();
  }
  return false;
}

std::string Path() {
  return "/tmp/quillmap_geotiff_fuzz_" + std::to_string(getpid()) + ".tif";
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const long band = 1 + static_cast<long>(size % 2);
  TGeoTIFFTags tags;
  std::unique_ptr<TMap> map;
  if (!Succeeds([&] { map.reset(TGeoTIFFFileTools::LoadGeoTIFFFile(in, band, &tags)); }))
    return 0;
  if (map->MbrLngXDim * map->MbrLngYDim > kMostCells)
    return 0;

  TGeoTIFFFileTools::TWriteOptions options;
  options.Compression = static_cast<TGeoTIFFFileTools::TCompression>(size % 4);
  const std::string path = Path();
  if (!Succeeds([&] { TGeoTIFFFileTools::WriteGeoTIFFFile(map.get(), path, options, &tags); }))
    std::abort();
  TGeoTIFFTags again;
  std::unique_ptr<TMap> reread(TGeoTIFFFileTools::LoadGeoTIFFFile(path, 1, &again));
  std::remove(path.c_str());
  if (!SameMap(map.get(), reread.get()) || !SameKeys(tags, again))
    std::abort();
  return 0;
}
