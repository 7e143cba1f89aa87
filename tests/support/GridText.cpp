#include "support/GridText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

std::string GridHeaderText(const std::string& ncols, const std::string& nrows,
                           const std::string& xllcorner, const std::string& yllcorner,
                           const std::string& cellsize, const std::string& noData) {
  return "ncols " + ncols + "\nnrows " + nrows + "\nxllcorner " + xllcorner + "\nyllcorner " +
         yllcorner + "\ncellsize " + cellsize + "\nNODATA_value " + noData + "\n";
}

std::string ShortestText(double value) {
  if (std::abs(value) < 1e15 && value == std::floor(value)) {
    char whole[24];
    std::snprintf(whole, sizeof whole, "%.0f", value);
    return whole;
  }
  for (int digits = 1;; ++digits) {
    std::ostringstream text;
    text.precision(digits);
    text << value;
    if (digits >= 17 || std::strtod(text.str().c_str(), nullptr) == value)
      return text.str();
  }
}

std::string GridText(long columns, long rows, double xllcorner, double yllcorner, double cellsize,
                     double noData, const std::vector<double>& values) {
  std::string text =
      GridHeaderText(std::to_string(columns), std::to_string(rows), ShortestText(xllcorner),
                     ShortestText(yllcorner), ShortestText(cellsize), ShortestText(noData));
  for (std::size_t k = 0; k < values.size(); ++k)
    text +=
        ShortestText(values[k]) +
        ((k + 1) % static_cast<std::size_t>(columns) == 0 || k + 1 == values.size() ? "\n" : " ");
  return text;
}
