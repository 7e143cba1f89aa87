// Sample maps for the map-algebra tests, laid out as the grid reader lays them
// out: X edges ascending from the west edge, Y edges descending from the north
// edge, each edge the previous one plus (or minus) the cell size.
#ifndef QUILLMAP_TESTS_SUPPORT_ALGEBRAMAPS_H
#define QUILLMAP_TESTS_SUPPORT_ALGEBRAMAPS_H

#include <memory>
#include <string>
#include <vector>

#include "grid/TMap.h"

// A map of columns x rows cells of the given size whose south-west corner is
// (west, south). The values run row by row from the northern row; an empty
// list leaves every cell at the no-data value.
std::unique_ptr<TMap> AlgebraMap(long columns, long rows, double cell, double west, double south,
                                 const std::vector<double>& values = {}, double noData = -9999.0);

// The cell values row by row from the northern row.
std::vector<double> AlgebraValues(TMap* map);

// Equal to the bit (so NaN matches NaN and -0 differs from +0).
bool SameBits(double a, double b);

// The outcome of a map operation: the map it made, or the message it threw.
struct AlgebraOutcome {
  std::unique_ptr<TMap> map;
  std::string message;
};

template <typename Operation> AlgebraOutcome AlgebraRun(Operation operation) {
  AlgebraOutcome outcome;
  try {
    outcome.map.reset(operation());
  } catch (const char* message) {
    outcome.message = message;
  }
  return outcome;
}

#endif
