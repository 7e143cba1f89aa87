// Value sampling: point tables, first occurrences, one cell through a series,
// nonzero neighbours and overlays.
#include <algorithm>
#include <cmath>
#include <memory>

#include "grid/TAxisLookup.h"
#include "maptools/MapSupport.h"
#include "maptools/TMapTools.h"

namespace {
// A sorted copy of an exclusion list for O(log n) membership with the answers
// of TVectorTools::HasValue: exact equality, 0 matching -0, and a
// not-a-number entry (dropped here) matching nothing.
class TExclusions {
public:
  explicit TExclusions(std::vector<double> values) : MbrVecValues(std::move(values)) {
    MbrVecValues.erase(std::remove_if(MbrVecValues.begin(), MbrVecValues.end(),
                                      [](double v) { return std::isnan(v); }),
                       MbrVecValues.end());
    std::sort(MbrVecValues.begin(), MbrVecValues.end());
  }
  bool Holds(double value) const {
    return std::binary_search(MbrVecValues.begin(), MbrVecValues.end(), value);
  }

private:
  std::vector<double> MbrVecValues;
};

// Whether a cell value can become a key of an ordered table: not-a-number
// breaks the ordering, so it never can.
bool IsKeyable(double value, const TExclusions& exclusions) {
  return !std::isnan(value) && !exclusions.Holds(value);
}

// Owns the points of first-occurrence tables until they are handed over.
class TPointTablesGuard {
public:
  explicit TPointTablesGuard(std::vector<std::map<double, TMapPoint*>>& tables)
      : MbrPtrTables(&tables) {}
  ~TPointTablesGuard() {
    if (MbrPtrTables == nullptr)
      return;
    for (auto& table : *MbrPtrTables)
      for (auto& entry : table)
        delete entry.second;
  }
  TPointTablesGuard(const TPointTablesGuard&) = delete;
  TPointTablesGuard& operator=(const TPointTablesGuard&) = delete;
  void Release() { MbrPtrTables = nullptr; }

private:
  std::vector<std::map<double, TMapPoint*>>* MbrPtrTables;
};

bool InsideDimensions(const TMap* map, long LngX, long LngY) {
  return LngX >= 0 && LngX < map->MbrLngXDim && LngY >= 0 && LngY < map->MbrLngYDim;
}
} // namespace

std::map<double, double> TMapTools::FetchMapValues(TMap* map, std::map<double, TMapPoint*> points) {
  std::map<double, double> values;
  if (!mapsupport::HasEdgeAxes(map)) {
    // Without edge axes there is nothing to look up in: the map's own lookup
    // reports that at the first point.
    for (const auto& entry : points)
      values.emplace_hint(values.end(), entry.first, map->GetPointVal(entry.second));
    return values;
  }
  const TAxisLookup columns(map->MbrPtrXAxisInterval, 'X');
  const TAxisLookup rows(map->MbrPtrYAxisInterval, 'Y');
  long LngX = 0;
  long LngY = 0;
  for (const auto& entry : points) {
    TMapPoint* point = entry.second;
    LngX = columns.GetIndex(point->x, LngX);
    LngY = rows.GetIndex(point->y, LngY);
    // An index outside the dimensions (edge axes that disagree with them) is
    // reported by the map's own lookup, with its own message.
    values.emplace_hint(values.end(), entry.first,
                        InsideDimensions(map, LngX, LngY) ? map->GetPointVal(LngX, LngY)
                                                          : map->GetPointVal(point));
  }
  return values;
}

std::vector<std::map<double, double>>
TMapTools::FetchMapValues(std::vector<TMap*> maps,
                          std::vector<std::map<double, TMapPoint*>> points) {
  if (points.size() < maps.size())
    throw "Fewer point tables than maps in TMapTools::FetchMapValues";
  std::vector<std::map<double, double>> tables;
  tables.reserve(maps.size());
  for (std::size_t i = 0; i < maps.size(); ++i)
    tables.push_back(FetchMapValues(maps[i], std::move(points[i])));
  return tables;
}

std::map<double, TMapPoint*> TMapTools::GetFirstValues(TMap* map, std::vector<double> exclude) {
  std::vector<std::map<double, TMapPoint*>> tables(1);
  TPointTablesGuard guard(tables);
  std::map<double, TMapPoint*>& firsts = tables.front();
  const TExclusions exclusions(std::move(exclude));
  double previous = map->MbrDblNoDataValue;
  for (long LngX = 0; LngX < map->MbrLngXDim; ++LngX) {
    for (long LngY = 0; LngY < map->MbrLngYDim; ++LngY) {
      const double value = map->GetPointVal(LngX, LngY);
      if (value == previous)
        continue;
      previous = value;
      if (!IsKeyable(value, exclusions) || firsts.count(value) != 0)
        continue;
      std::unique_ptr<TMapPoint> point(map->GetPoint(LngX, LngY));
      firsts.emplace(value, point.get());
      point.release();
    }
  }
  std::map<double, TMapPoint*> result(std::move(firsts));
  guard.Release();
  return result;
}

std::vector<std::map<double, TMapPoint*>> TMapTools::GetFirstValues(std::vector<TMap*> maps,
                                                                    std::vector<double> exclude) {
  std::vector<std::map<double, TMapPoint*>> tables;
  tables.reserve(maps.size());
  TPointTablesGuard guard(tables);
  for (TMap* map : maps)
    tables.push_back(GetFirstValues(map, exclude));
  guard.Release();
  return tables;
}

double TMapTools::FindNonzeroNeighbourVal(TMap* map, long LngX, long LngY) {
  if (LngX < 0 || LngX >= map->MbrLngXDim)
    throw "X-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal";
  if (LngY < 0 || LngY >= map->MbrLngYDim)
    throw "Y-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal";
  const long left = std::max(LngX - 1, 0L);
  const long right = std::min(LngX + 1, map->MbrLngXDim - 1);
  const long top = std::max(LngY - 1, 0L);
  const long bottom = std::min(LngY + 1, map->MbrLngYDim - 1);
  double found = 0.0;
  for (long column = left; column <= right; ++column) {
    for (long row = top; row <= bottom; ++row) {
      const double value = map->GetPointVal(column, row);
      if (value != 0.0) {
        found = value;
        break;
      }
    }
  }
  return found;
}

std::vector<double> TMapTools::GetValuesVector(std::vector<TMap*> maps, long LngX, long LngY,
                                               int start, int end) {
  const std::size_t count = maps.size();
  if (start < 0 || static_cast<std::size_t>(start) >= count)
    throw "Start map number is out of range in TMapTools::GetValuesVector";
  if (end < 0 || static_cast<std::size_t>(end) >= count)
    throw "End map number is out of range in TMapTools::GetValuesVector";
  if (start >= end)
    throw "Stat map number must be less than end map number";
  std::vector<double> values;
  values.reserve(static_cast<std::size_t>(end - start) + 1);
  for (int index = start; index <= end; ++index)
    values.push_back(maps[index]->GetPointVal(LngX, LngY));
  return values;
}

std::map<double, std::vector<double>> TMapTools::GetValuesOverlay(TMap* valueMap, TMap* keyMap,
                                                                  std::vector<double> exclude) {
  if (valueMap->MbrLngXDim != keyMap->MbrLngXDim)
    throw "Map X-dimensions do not match";
  if (valueMap->MbrLngYDim != keyMap->MbrLngYDim)
    throw "Map Y-Dimensions do not match";
  const TExclusions exclusions(std::move(exclude));
  std::map<double, std::vector<double>> groups;
  for (long LngX = 0; LngX < keyMap->MbrLngXDim; ++LngX) {
    for (long LngY = 0; LngY < keyMap->MbrLngYDim; ++LngY) {
      const double key = keyMap->GetPointVal(LngX, LngY);
      if (IsKeyable(key, exclusions))
        groups[key].push_back(valueMap->GetPointVal(LngX, LngY));
    }
  }
  return groups;
}
