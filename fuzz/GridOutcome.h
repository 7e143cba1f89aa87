// GridOutcome: what the fuzz targets make of one input, as text that two runs
// can compare: the grid text written for a map, or the message of a failure.
// A written grid is checked for its shape (six header lines and one line per
// row); a grid of another shape aborts, which the fuzzer reports.
#ifndef QUILLMAP_FUZZ_GRIDOUTCOME_H
#define QUILLMAP_FUZZ_GRIDOUTCOME_H

#include <functional>
#include <string>

#include "grid/TMap.h"

// The map that `make` returns, written as a grid file; or "failure: " and the
// message when `make` or the writer throws one of the toolkit's messages.
std::string GridOutcome(const std::function<TMap*()>& make);

#endif
