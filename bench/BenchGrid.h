// BenchGrid: the benchmark grid of bench/make_bench_grid.sh made in memory:
// 4000 x 4000 cells of 30 m, smooth hills with values of two decimals
// ("1234.56", about 8 bytes a cell) and a small patch of no-data cells.
#ifndef QUILLMAP_BENCH_BENCHGRID_H
#define QUILLMAP_BENCH_BENCHGRID_H

#include <charconv>
#include <cmath>
#include <string>

namespace BenchGrid {
const long kSide = 4000;
const double kCell = 30.0;

// The surface of bench/make_bench_grid.sh.
inline double Elevation(long column, long row) {
  const double u = (column + 0.5) / kSide;
  const double v = (kSide - row - 0.5) / kSide;
  if ((u - 0.8) * (u - 0.8) + (v - 0.2) * (v - 0.2) < 0.0004)
    return -9999.0;
  double z = 1100 + 400 * u + 250 * v + 180 * std::sin(17 * u + 5 * v) * std::cos(13 * v - 3 * u);
  z +=
      23 * std::sin(151 * u) * std::sin(173 * v) + ((column * 7919 + row * 104729) % 1000) / 1000.0;
  return std::round(z * 100) / 100;
}

// The body rows [firstRow, firstRow + rows) as the script writes them.
inline std::string BodyText(long firstRow, long rows) {
  std::string text;
  text.reserve(static_cast<std::size_t>(rows * kSide * 8 + 16));
  char value[32];
  for (long row = firstRow; row < firstRow + rows; ++row) {
    for (long column = 0; column < kSide; ++column) {
      const double z = Elevation(column, row);
      char* end =
          z == -9999.0
              ? std::to_chars(value, value + sizeof value, -9999).ptr
              : std::to_chars(value, value + sizeof value, z, std::chars_format::fixed, 2).ptr;
      text.append(value, end).push_back(' ');
    }
    text.push_back('\n');
  }
  return text;
}

// The whole file.
inline std::string FileText() {
  return "ncols 4000\nnrows 4000\nxllcorner 350000\nyllcorner 4650000\n"
         "cellsize 30\nNODATA_value -9999\n" +
         BodyText(0, kSide);
}
} // namespace BenchGrid

#endif
