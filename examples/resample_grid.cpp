// Reads a grid, resamples it to a new cell size and writes the result:
//   resample_grid source.asc dest.asc 40
#include <iostream>
#include <memory>
#include <string>

#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"
#include "numeric/TDecimalText.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cout << "usage: resample_grid source.asc dest.asc cellsize\n";
    return 2;
  }
  try {
    std::unique_ptr<TMap> source(TARCGISFileTools::LoadARCGISFile(std::string(argv[1])));
    std::unique_ptr<TMap> result(
        TMapTools::BilinearInterpolate(source.get(), TDecimalText::ToDouble(argv[3])));
    TARCGISFileTools::WriteARCGISFile(result.get(), std::string(argv[2]));
  } catch (const char* message) {
    std::cout << message << '\n';
    return 1;
  } catch (const std::string& message) {
    std::cout << message << '\n';
    return 1;
  }
  return 0;
}
