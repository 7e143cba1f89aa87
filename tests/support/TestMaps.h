// Maps for the toolkit's tests, built as the grid reader builds them: X edges
// from the west edge upward, Y edges from the north edge down (or, on
// request, from the south edge up), each edge the previous one plus the cell
// size; axes from a list of ordinates; plus the comparisons and the outcome
// capture the tests share.
#ifndef QUILLMAP_TESTS_SUPPORT_TESTMAPS_H
#define QUILLMAP_TESTS_SUPPORT_TESTMAPS_H

#include <memory>
#include <string>
#include <vector>

#include "grid/TMap.h"
#include "support/ExpectThrowMsg.h"

// A map of columns x rows cells of the given size whose south-west corner is
// (west, south), declaring noData and holding it in every cell that the
// values, taken row by row from row 0, do not fill.
std::unique_ptr<TMap> MakeMap(long columns, long rows, double cell, double west, double south,
                              const std::vector<double>& values = {}, double noData = -9999.0,
                              bool yAscending = false);

// An axis of points with the given ordinates in x ('X') or y (anything
// else), the other coordinate being `other`.
std::unique_ptr<TAxis> MakeAxis(const std::vector<double>& ordinates, char selector,
                                double resolution = 10.0, double other = 0.0);

// The ordinates of an axis's points, read with the selector.
std::vector<double> AxisOrdinates(TAxis* axis, char selector);

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
// stored rows, cell bits and axes; otherwise a description of the first
// difference.
std::string MapDifference(TMap* expected, TMap* actual);

// The outcome of an operation that makes a map: the map, or what it threw.
// For comparing two implementations; a test that expects a message uses
// EXPECT_THROW_MSG.
struct Outcome {
  std::unique_ptr<TMap> map;
  Thrown thrown;
};

template <typename Operation> Outcome Attempt(Operation operation) {
  Outcome outcome;
  outcome.thrown = CaptureThrow([&] { outcome.map.reset(operation()); });
  return outcome;
}

#endif
