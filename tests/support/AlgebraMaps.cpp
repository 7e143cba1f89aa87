#include "support/AlgebraMaps.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

std::unique_ptr<TMap> AlgebraMap(long columns, long rows, double cell, double west, double south,
                                 const std::vector<double>& values, double noData) {
  if (!values.empty() && values.size() != static_cast<std::size_t>(columns * rows))
    throw std::invalid_argument("AlgebraMap: the values do not fill the map");
  auto map = std::make_unique<TMap>(cell, columns, rows);
  map->MbrDblNoDataValue = noData;
  map->InitValues(noData);

  TAxis xEdges(cell);
  double x = west;
  for (long i = 0; i <= columns; ++i, x += cell)
    xEdges.AddPoint(new TPoint(x, south));
  double north = south;
  for (long i = 0; i < rows; ++i)
    north += cell;
  TAxis yEdges(cell);
  double y = north;
  for (long i = 0; i <= rows; ++i, y -= cell)
    yEdges.AddPoint(new TPoint(west, y));
  map->SetXAxisInterval(&xEdges);
  map->SetYAxisInterval(&yEdges);

  for (std::size_t k = 0; k < values.size(); ++k)
    map->MbrVecValues[k / columns][k % columns] = values[k];
  return map;
}

std::vector<double> AlgebraValues(TMap* map) {
  std::vector<double> values;
  for (const std::vector<double>& row : map->MbrVecValues)
    values.insert(values.end(), row.begin(), row.end());
  return values;
}

bool SameBits(double a, double b) {
  std::uint64_t x = 0;
  std::uint64_t y = 0;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}
