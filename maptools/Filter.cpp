// Value filters and counts of TMapTools: cell-by-cell transforms into a new
// map on the source's geometry, and tallies of cell values.
#include <algorithm>
#include <cmath>
#include <memory>

#include "maptools/MapSupport.h"
#include "maptools/TMapTools.h"

namespace {
const char* const kThresholdReplaceNoAxes = "Map has no axes in TMapTools::ThresholdReplace";
const char* const kThresholdNoAxes = "Map has no axes in TMapTools::Threshold";
const char* const kReplaceValueNoAxes = "Map has no axes in TMapTools::ReplaceValue";
const char* const kMaskNoAxes = "Map has no axes in TMapTools::Mask";
const char* const kRoundContentsNoAxes = "Map has no axes in TMapTools::RoundContents";
const char* const kMaskColumns = "X dimensions do not match in TMapTools::Mask";
const char* const kMaskRows = "Y dimensions do not match in TMapTools::Mask";

// An empty result (every cell -9999) on the centre axes of `geometry`.
std::unique_ptr<TMap> ResultOn(TMap* geometry, const char* noAxes) {
  mapsupport::RequireCentreAxes(geometry, noAxes);
  return std::make_unique<TMap>(geometry->MbrPtrXAxis, geometry->MbrPtrYAxis);
}

// Writes rule(value of source cell) into the same cell of the result.
template <typename Rule> void MapCells(TMap* source, TMap& result, Rule rule) {
  if (result.IsRectangular() && result.MbrLngXDim == source->MbrLngXDim &&
      result.MbrLngYDim == source->MbrLngYDim) {
    mapsupport::ForEachCell(source, [&](long LngX, long LngY, double value) {
      result.MbrVecValues[LngY][LngX] = rule(value);
    });
    return;
  }
  mapsupport::ForEachCell(source, [&](long LngX, long LngY, double value) {
    result.SetPoint(LngX, LngY, rule(value));
  });
}

template <typename Rule> TMap* Transform(TMap* source, const char* noAxes, Rule rule) {
  std::unique_ptr<TMap> result = ResultOn(source, noAxes);
  MapCells(source, *result, rule);
  return result.release();
}

double RoundHalfUpTowardZero(double value) {
  if (std::isnan(value))
    return value;
  // Adding +0 turns the -0 of a truncated small negative value into +0.
  const double whole = std::trunc(value) + 0.0;
  return value - whole >= 0.5 ? whole + 1.0 : whole;
}
} // namespace

TMap* TMapTools::ThresholdReplace(TMap* map, double threshold, double replacement) {
  return Transform(map, kThresholdReplaceNoAxes, [threshold, replacement](double value) {
    return value >= threshold ? replacement : value;
  });
}

TMap* TMapTools::Threshold(TMap* map, double threshold) {
  return Transform(map, kThresholdNoAxes,
                   [threshold](double value) { return value >= threshold ? value : 0.0; });
}

std::vector<TMap*> TMapTools::Threshold(std::vector<TMap*> maps, double threshold) {
  mapsupport::TMadeMaps made;
  made.Reserve(maps.size());
  for (TMap* map : maps)
    made.Add(std::unique_ptr<TMap>(Threshold(map, threshold)));
  return made.Release();
}

TMap* TMapTools::ReplaceValue(TMap* map, std::map<double, double> table, double defaultValue) {
  return Transform(map, kReplaceValueNoAxes, [&table, defaultValue](double value) {
    // The equality test also keeps a not-a-number cell, which the ordering
    // cannot place, from matching an arbitrary key.
    const auto entry = table.find(value);
    return entry != table.end() && entry->first == value ? entry->second : defaultValue;
  });
}

TMap* TMapTools::Mask(TMap* first, TMap* second, double maskValue, double replacement) {
  if (first->MbrLngXDim != second->MbrLngXDim)
    throw kMaskColumns;
  if (first->MbrLngYDim != second->MbrLngYDim)
    throw kMaskRows;
  std::unique_ptr<TMap> result = ResultOn(first, kMaskNoAxes);
  MapCells(second, *result, [maskValue, replacement](double value) {
    return value == maskValue ? replacement : value;
  });
  return result.release();
}

TMap* TMapTools::RoundContents(TMap* map) {
  return Transform(map, kRoundContentsNoAxes,
                   [](double value) { return RoundHalfUpTowardZero(value); });
}

std::map<double, long> TMapTools::CountValues(TMap* map) {
  std::map<double, long> counts;
  // Runs of equal values are common, so the last entry touched is tried first.
  auto last = counts.end();
  // The fast path goes row by row. Of the keys only that of +0 and -0, which
  // compare equal, depends on the order: it is the zero met first column by
  // column, so the zero of the lowest column, then of the lowest row, wins.
  long zeroColumn = map->MbrLngXDim;
  long zeroRow = map->MbrLngYDim;
  double firstZero = 0.0;
  mapsupport::ForEachCell(map, [&](long LngX, long LngY, double value) {
    if (std::isnan(value))
      return;
    if (value == 0.0 && (LngX < zeroColumn || (LngX == zeroColumn && LngY < zeroRow))) {
      zeroColumn = LngX;
      zeroRow = LngY;
      firstZero = value;
    }
    if (last == counts.end() || last->first != value)
      last = counts.try_emplace(value, 0).first;
    ++last->second;
  });
  const auto zero = counts.find(0.0);
  if (zero != counts.end() && std::signbit(zero->first) != std::signbit(firstZero)) {
    const long zeros = zero->second;
    counts.erase(zero);
    counts.emplace(firstZero, zeros);
  }
  return counts;
}

int TMapTools::CountValues(TMap* map, double value) {
  int count = 0;
  const long rows =
      std::max(0L, std::min(map->MbrLngYDim, static_cast<long>(map->MbrVecValues.size())));
  for (long LngY = 0; LngY < rows; ++LngY) {
    const std::vector<double>& row = map->MbrVecValues[LngY];
    const long columns = std::max(0L, std::min(map->MbrLngXDim, static_cast<long>(row.size())));
    for (long LngX = 0; LngX < columns; ++LngX)
      if (row[LngX] == value)
        ++count;
  }
  return count;
}
