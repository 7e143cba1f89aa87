// Maps for the toolkit's tests, built as the grid reader builds them: X edges
// from the west edge upward, Y edges from the north edge down (or, on
// request, from the south edge up), each edge the previous one plus the cell
// size; plus the comparisons and outcome capture the tests share.
#ifndef QUILLMAP_TESTS_SUPPORT_TESTMAPS_H
#define QUILLMAP_TESTS_SUPPORT_TESTMAPS_H

#include <memory>
#include <string>
#include <vector>

#include "grid/TMap.h"

// A map of columns x rows cells of the given size whose south-west corner is
// (west, south), declaring noData and holding it in every cell that the
// values, taken row by row from row 0, do not fill.
std::unique_ptr<TMap> MakeMap(long columns, long rows, double cell, double west, double south,
                              const std::vector<double>& values = {}, double noData = -9999.0,
                              bool yAscending = false);

// The cell values row by row from row 0.
std::vector<double> MapValues(TMap* map);

// Values 1, 2, 3, ... row by row.
std::vector<double> CountingValues(long count);

// Pseudo-random values in [-500, 500) from the seed, with about one cell in
// eight set to noData.
std::vector<double> ScatteredValues(long count, unsigned seed, double noData);

// Equal to the bit (so NaN matches NaN and -0 differs from +0).
bool SameBits(double a, double b);

// Empty when the two maps have the same cell size, counts, no-data value,
// axes and cell bits; otherwise a description of the first difference.
std::string MapDifference(TMap* expected, TMap* actual);

// The outcome of an operation that makes a map: the map, or the message.
struct Outcome {
  std::unique_ptr<TMap> map;
  std::string message;
};

template <typename Operation> Outcome Attempt(Operation operation) {
  Outcome outcome;
  try {
    outcome.map.reset(operation());
  } catch (const char* message) {
    outcome.message = message;
  }
  return outcome;
}

#endif
