// Series aggregation of TMapTools: sums, data counts, averages and moving
// averages of maps on one grid.
#include <memory>
#include <utility>
#include <vector>

#include "maptools/MapSupport.h"
#include "maptools/TMapTools.h"

namespace {
const char* const kSumTooFew = "Must have more than 2 maps to sum in TMapTools::Sum";
const char* const kCountNone = "Must have at least 1 map to count in TMapTools::DataCounts";

// The messages of one series operation's input checks.
struct SeriesMessages {
  const char* columns;
  const char* rows;
  const char* storedRows;
  const char* axes;
};

const SeriesMessages kSumMessages = {
    "X-dimension of maps are inconsistent in TMapTools::Sum",
    "Y-dimension of maps are inconsistent in TMapTools::Sum",
    "Map rows do not match its dimensions in TMapTools::Sum",
    "Map has no axes in TMapTools::Sum",
};

const SeriesMessages kCountMessages = {
    "X-dimension of maps are inconsistent in TMapTools::DataCounts",
    "Y-dimension of maps are inconsistent in TMapTools::DataCounts",
    "Map rows do not match its dimensions in TMapTools::DataCounts",
    "Map has no axes in TMapTools::DataCounts",
};

// Checks a non-empty series against its first map, then builds the result on
// the first map's centre axes (no-data value -9999).
std::unique_ptr<TMap> OnFirstGrid(const std::vector<TMap*>& maps, const SeriesMessages& messages) {
  TMap* first = maps.front();
  for (std::size_t k = 1; k < maps.size(); ++k) {
    if (maps[k]->MbrLngXDim != first->MbrLngXDim)
      throw messages.columns;
    if (maps[k]->MbrLngYDim != first->MbrLngYDim)
      throw messages.rows;
  }
  for (TMap* map : maps)
    mapsupport::RequireStoredRows(map, messages.storedRows);
  mapsupport::RequireCentreAxes(first, messages.axes);
  return std::make_unique<TMap>(first->MbrPtrXAxis, first->MbrPtrYAxis);
}
} // namespace

TMap* TMapTools::Sum(std::vector<TMap*> maps) {
  if (maps.size() < 2)
    throw kSumTooFew;
  std::unique_ptr<TMap> result = OnFirstGrid(maps, kSumMessages);
  mapsupport::FillCells(*result, [&maps](long LngX, long LngY) {
    double sum = 0.0;
    for (TMap* map : maps) {
      const double value = map->GetPointVal(LngX, LngY);
      if (value == map->MbrDblNoDataValue)
        return map->MbrDblNoDataValue;
      sum += value;
    }
    return sum;
  });
  return result.release();
}

TMap* TMapTools::DataCounts(std::vector<TMap*> maps) {
  if (maps.empty())
    throw kCountNone;
  std::unique_ptr<TMap> result = OnFirstGrid(maps, kCountMessages);
  mapsupport::FillCells(*result, [&maps](long LngX, long LngY) {
    double count = 0.0;
    for (TMap* map : maps)
      if (map->GetPointVal(LngX, LngY) != map->MbrDblNoDataValue)
        count += 1.0;
    return count;
  });
  return result.release();
}

TMap* TMapTools::Average(std::vector<TMap*> maps) {
  const std::unique_ptr<TMap> sum(Sum(maps));
  const std::unique_ptr<TMap> counts(DataCounts(std::move(maps)));
  return Divide(sum.get(), counts.get());
}

std::vector<TMap*> TMapTools::MovingAverage(std::vector<TMap*> maps, int window) {
  const long last = static_cast<long>(maps.size()) - window;
  mapsupport::TMadeMaps averages;
  for (long start = 0; start <= last; ++start) {
    std::vector<TMap*> span;
    if (window > 0)
      span.assign(maps.begin() + start, maps.begin() + start + window);
    averages.Add(std::unique_ptr<TMap>(Average(std::move(span))));
  }
  return averages.Release();
}
