// Builds a 2 x 2 map from centre axes and prints the cell under a point.
#include <iostream>
#include <memory>

#include "grid/TMap.h"

int main() {
  TAxis xs(10.0);
  xs.AddPoint(new TPoint(5, 0));
  xs.AddPoint(new TPoint(15, 0));
  TAxis ys(10.0);
  ys.AddPoint(new TPoint(0, 15));
  ys.AddPoint(new TPoint(0, 5));
  TMap map(&xs, &ys);
  map.SetPoint(1, 0, 42.0);
  TPoint query(12.0, 18.0);
  std::cout << map.GetPointVal(&query) << '\n';
  return 0;
}
