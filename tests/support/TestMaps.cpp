#include "support/TestMaps.h"

#include <cstdint>
#include <cstring>
#include <sstream>

namespace {
std::uint64_t Bits(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::string AxisDifference(const char* name, TAxis* expected, TAxis* actual) {
  if ((expected == nullptr) != (actual == nullptr))
    return std::string(name) + " present in only one map";
  if (expected == nullptr)
    return "";
  if (expected->GetSize() != actual->GetSize())
    return std::string(name) + " sizes differ";
  for (long i = 0; i < expected->GetSize(); ++i)
    if (Bits(expected->GetPoint(i)->x) != Bits(actual->GetPoint(i)->x) ||
        Bits(expected->GetPoint(i)->y) != Bits(actual->GetPoint(i)->y))
      return std::string(name) + " differs at point " + std::to_string(i);
  return "";
}
} // namespace

std::unique_ptr<TMap> MakeMap(long columns, long rows, double cell, double west, double south,
                              const std::vector<double>& values, double noData, bool yAscending) {
  auto map = std::make_unique<TMap>(cell, columns, rows);
  map->MbrDblNoDataValue = noData;
  map->InitValues(noData);
  for (std::size_t k = 0; k < values.size() && columns > 0; ++k)
    map->SetPoint(static_cast<long>(k) % columns, static_cast<long>(k) / columns, values[k]);

  TAxis yEdges(cell, rows + 1);
  double y = south;
  for (long i = 0; i <= rows; ++i, y += cell)
    yEdges.SetPoint(yAscending ? i : rows - i, new TPoint(west, y));
  const double firstY = yEdges.GetPoint(0)->y;
  TAxis xEdges(cell);
  double x = west;
  for (long i = 0; i <= columns; ++i, x += cell)
    xEdges.AddPoint(new TPoint(x, firstY));
  map->SetXAxisInterval(&xEdges);
  map->SetYAxisInterval(&yEdges);
  return map;
}

std::unique_ptr<TAxis> MakeAxis(const std::vector<double>& ordinates, char selector,
                                double resolution, double other) {
  auto axis = std::make_unique<TAxis>(resolution);
  for (double o : ordinates)
    axis->AddPoint(selector == 'X' ? new TPoint(o, other) : new TPoint(other, o));
  return axis;
}

std::vector<double> AxisOrdinates(TAxis* axis, char selector) {
  std::vector<double> ordinates;
  for (long i = 0; i < axis->GetSize(); ++i)
    ordinates.push_back(TAxis::Ordinate(axis->GetPoint(i), selector));
  return ordinates;
}

std::vector<double> MapValues(TMap* map) {
  std::vector<double> values;
  for (const std::vector<double>& row : map->MbrVecValues)
    values.insert(values.end(), row.begin(), row.end());
  return values;
}

bool SameBits(double a, double b) {
  return Bits(a) == Bits(b);
}

std::vector<double> CountingValues(long count) {
  std::vector<double> values;
  for (long k = 1; k <= count; ++k)
    values.push_back(static_cast<double>(k));
  return values;
}

std::vector<double> ScatteredValues(long count, unsigned seed, double noData) {
  std::vector<double> values;
  std::uint64_t state = seed * 6364136223846793005ULL + 1442695040888963407ULL;
  for (long k = 0; k < count; ++k) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const std::uint64_t draw = state >> 11;
    if (draw % 8 == 0)
      values.push_back(noData);
    else
      values.push_back(static_cast<double>(draw % 1000000) / 1000.0 - 500.0);
  }
  return values;
}

std::string MapDifference(TMap* expected, TMap* actual) {
  std::ostringstream out;
  if (Bits(expected->MbrDblResolution) != Bits(actual->MbrDblResolution))
    return "cell sizes differ";
  if (expected->MbrLngXDim != actual->MbrLngXDim || expected->MbrLngYDim != actual->MbrLngYDim)
    return "dimensions differ";
  if (Bits(expected->MbrDblNoDataValue) != Bits(actual->MbrDblNoDataValue))
    return "no-data values differ";
  if (expected->MbrVecValues.size() != actual->MbrVecValues.size())
    return "row counts differ";
  for (std::size_t row = 0; row < expected->MbrVecValues.size(); ++row)
    if (expected->MbrVecValues[row].size() != actual->MbrVecValues[row].size())
      return "lengths of row " + std::to_string(row) + " differ";
  for (std::size_t row = 0; row < expected->MbrVecValues.size(); ++row)
    for (std::size_t col = 0; col < expected->MbrVecValues[row].size(); ++col)
      if (Bits(expected->MbrVecValues[row][col]) != Bits(actual->MbrVecValues[row][col])) {
        out.precision(17);
        out << "cell (" << col << ", " << row << "): " << expected->MbrVecValues[row][col]
            << " expected, " << actual->MbrVecValues[row][col] << " found";
        return out.str();
      }
  std::string axes = AxisDifference("X axis", expected->MbrPtrXAxis, actual->MbrPtrXAxis);
  if (axes.empty())
    axes = AxisDifference("Y axis", expected->MbrPtrYAxis, actual->MbrPtrYAxis);
  if (axes.empty())
    axes = AxisDifference("X edges", expected->MbrPtrXAxisInterval, actual->MbrPtrXAxisInterval);
  if (axes.empty())
    axes = AxisDifference("Y edges", expected->MbrPtrYAxisInterval, actual->MbrPtrYAxisInterval);
  return axes;
}
