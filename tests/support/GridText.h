// GridText: the text of a grid file as a user would write it, for tests
// that feed the reader or the tool: the six header lines, then the values
// one row a line, separated by single blanks.
#ifndef QUILLMAP_TESTS_SUPPORT_GRIDTEXT_H
#define QUILLMAP_TESTS_SUPPORT_GRIDTEXT_H

#include <string>
#include <vector>

// The six header lines with the words given (any text, to test the reader).
std::string GridHeaderText(const std::string& ncols, const std::string& nrows,
                           const std::string& xllcorner, const std::string& yllcorner,
                           const std::string& cellsize, const std::string& noData);

// A whole grid: values row by row from the north row, each written in the
// fewest digits that read back to the same double; a short list leaves the
// last rows short or empty.
std::string GridText(long columns, long rows, double xllcorner, double yllcorner, double cellsize,
                     double noData, const std::vector<double>& values);

// The number in the fewest significant digits that read back to it; a whole
// number below 10^15 without an exponent.
std::string ShortestText(double value);

#endif
