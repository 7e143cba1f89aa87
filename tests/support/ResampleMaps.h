// Maps for the resampling tests, with edges built as the grid reader builds
// them: X edges from the west edge upward, Y edges either from the north edge
// down (the usual layout) or from the south edge up, each edge the previous
// one plus (or minus) the cell size.
#ifndef QUILLMAP_TESTS_SUPPORT_RESAMPLEMAPS_H
#define QUILLMAP_TESTS_SUPPORT_RESAMPLEMAPS_H

#include <memory>
#include <string>
#include <vector>

#include "grid/TMap.h"

// A map of columns x rows cells whose south-west corner is (west, south),
// holding the values row by row (row 0 first); missing values stay -9999.
std::unique_ptr<TMap> ResampleMap(long columns, long rows, double cell, double west, double south,
                                  const std::vector<double>& values = {}, bool yAscending = false);

// Values 1, 2, 3, ... row by row.
std::vector<double> CountingValues(long count);

// Pseudo-random values in [-500, 500) from the seed, with about one cell in
// eight set to noData.
std::vector<double> ScatteredValues(long count, unsigned seed, double noData);

// The outcome of an operation that makes a map: the map, or the message.
struct ResampleOutcome {
  std::unique_ptr<TMap> map;
  std::string message;
};

template <typename Operation> ResampleOutcome Attempt(Operation operation) {
  ResampleOutcome outcome;
  try {
    outcome.map.reset(operation());
  } catch (const char* message) {
    outcome.message = message;
  }
  return outcome;
}

// Empty when the two maps have the same cell size, counts, no-data value,
// axes and cell bits; otherwise a description of the first difference.
std::string MapDifference(TMap* expected, TMap* actual);

#endif
