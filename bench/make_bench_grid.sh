#!/bin/sh
# Writes a synthetic elevation grid for the process benchmarks on standard
# output: an ESRI ASCII grid of smooth hills with values of two decimals
# (1234.56 and the like, about 8 bytes a cell) and a small patch of no-data
# cells. Deterministic: the same arguments give the same file.
#
#   bench/make_bench_grid.sh [columns rows cellsize xllcorner yllcorner]
#
# The default is the benchmark's source: 4000 x 4000 cells of 30 m.
set -eu

columns=${1:-4000}
rows=${2:-4000}
cellsize=${3:-30}
xll=${4:-350000}
yll=${5:-4650000}

awk -v nc="$columns" -v nr="$rows" -v cs="$cellsize" -v xll="$xll" -v yll="$yll" '
BEGIN {
  printf "ncols %d\nnrows %d\nxllcorner %s\nyllcorner %s\ncellsize %s\nNODATA_value -9999\n", nc, nr, xll, yll, cs
  # Each value is printed as it is made: a row of millions of values is not
  # built up as one string.
  for (r = 0; r < nr; r++) {
    v = (nr - r - 0.5) / nr
    for (c = 0; c < nc; c++) {
      u = (c + 0.5) / nc
      if ((u - 0.8) ^ 2 + (v - 0.2) ^ 2 < 0.0004) {
        printf "-9999 "
        continue
      }
      z = 1100 + 400 * u + 250 * v + 180 * sin(17 * u + 5 * v) * cos(13 * v - 3 * u)
      z += 23 * sin(151 * u) * sin(173 * v) + ((c * 7919 + r * 104729) % 1000) / 1000
      printf "%.2f ", z
    }
    printf "\n"
  }
}'
