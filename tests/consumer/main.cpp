// Builds a 2 x 2 map from centre axes, doubles it with the map tools, writes
// it as a grid into memory and prints the cell under a point.
#include <iostream>
#include <memory>
#include <sstream>

#include "grid/TMap.h"
#include "gridio/TARCGISFileTools.h"
#include "maptools/TMapTools.h"

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
  std::ostringstream grid;
  TARCGISFileTools::WriteARCGISFile(doubled.get(), grid);
  TPoint query(12.0, 18.0);
  std::cout << doubled->GetPointVal(&query) << '\n';
  return 0;
}
