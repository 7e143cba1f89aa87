// Builds a 2 x 2 map from centre axes, doubles it with the map tools, writes
// it as a grid into memory and prints the cell under a point; where the
// toolkit has GeoTIFF, the map goes through a GeoTIFF file first, so that
// its libtiff dependency must reach the program too.
#include <iostream>
#include <memory>
#include <sstream>

#include "grid/TMap.h"
#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"
#ifdef QUILLMAP_HAS_GEOTIFF
#include <filesystem>
#include <random>
#include <string>

#include "gridio/TGeoTIFFFileTools.h"
#endif

int main() {
  TAxis xs(10.0);
  xs.AddPoint(new TPoint(5, 0));
  xs.AddPoint(new TPoint(15, 0));
  TAxis ys(10.0);
  ys.AddPoint(new TPoint(0, 15));
  ys.AddPoint(new TPoint(0, 5));
  TMap map(&xs, &ys);
  map.SetPoint(1, 0, 21.0);
  std::unique_ptr<TMap> doubled(TMapTools::Multiply(&map, 2.0));
#ifdef QUILLMAP_HAS_GEOTIFF
  // The consumers may run at the same time.
  const std::string file =
      (std::filesystem::temp_directory_path() /
       ("quillmap-consumer-" + std::to_string(std::random_device()()) + ".tif"))
          .string();
  TGeoTIFFFileTools::WriteGeoTIFFFile(doubled.get(), file);
  doubled.reset(TGeoTIFFFileTools::LoadGeoTIFFFile(file));
  std::filesystem::remove(file);
#endif
  std::ostringstream grid;
  TARCGISFileTools::WriteARCGISFile(doubled.get(), grid);
  TPoint query(12.0, 18.0);
  std::cout << doubled->GetPointVal(&query) << '\n';
  return 0;
}
