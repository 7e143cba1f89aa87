// Averages a series of grids (one per year, say) and fits the per-cell trend,
// the change per map of each cell's values across the whole series:
//   series_trend mean.asc trend.asc 2015.asc 2016.asc 2017.asc ...
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"

namespace {
// Owns the maps of a series for the length of a scope.
struct OwnedMaps {
  std::vector<TMap*> maps;
  ~OwnedMaps() {
    for (TMap* map : maps)
      delete map;
  }
};
} // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::cout << "usage: series_trend mean.asc trend.asc map1.asc map2.asc [map3.asc ...]\n";
    return 2;
  }
  try {
    OwnedMaps series{TARCGISFileTools::LoadFileList({argv + 3, argv + argc})};
    std::unique_ptr<TMap> mean(TMapTools::Average(series.maps));
    TARCGISFileTools::WriteARCGISFile(mean.get(), std::string(argv[1]));

    // A window of n - 1 maps gives a single fit through all n of them.
    const int window = static_cast<int>(series.maps.size()) - 1;
    OwnedMaps trends{TMapTools::ValueGradients(series.maps, window)};
    TARCGISFileTools::WriteARCGISFile(trends.maps.front(), std::string(argv[2]));
  } catch (const char* message) {
    std::cout << message << '\n';
    return 1;
  } catch (const std::string& message) {
    std::cout << message << '\n';
    return 1;
  }
  return 0;
}
