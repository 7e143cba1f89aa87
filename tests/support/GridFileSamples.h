// GridFileSamples: small helpers shared by the grid file and export tests:
// maps with edge axes built from a lower-left corner, and the message of a
// failure together with the type it was thrown as.
#ifndef QUILLMAP_TESTS_SUPPORT_GRIDFILESAMPLES_H
#define QUILLMAP_TESTS_SUPPORT_GRIDFILESAMPLES_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/TMap.h"

// A map of the given size whose edge axes start at (xll, north edge) and
// step by the cell size, as the grid reader builds them; cell (x, y) holds
// values[y * columns + x], or -9999 when values is short.
std::unique_ptr<TMap> MakeGrid(long columns, long rows, double xll, double yll, double cellsize,
                               const std::vector<double>& values = {});

// "text: <message>" for a const char* failure, "string: <message>" for a
// std::string one, "no failure" otherwise.
std::string FailureOf(const std::function<void()>& action);

// A path under the system's temporary directory, unique to this process.
std::string TemporaryPath(const std::string& name);
std::string ReadWholeFile(const std::string& path);

#endif
