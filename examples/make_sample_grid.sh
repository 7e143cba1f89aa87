#!/bin/sh
# Writes a synthetic terrain as an ESRI ASCII grid on standard output: rolling
# hills over a tilted plane, a ridge, a valley, and a lake whose cells carry
# the no-data value. Deterministic: the same arguments give the same file.
#
#   examples/make_sample_grid.sh [columns rows cellsize xllcorner yllcorner]
#
# Without arguments it makes the sample that ships with the repository:
#   examples/make_sample_grid.sh > examples/sample_terrain.asc
set -eu

columns=${1:-300}
rows=${2:-240}
cellsize=${3:-25}
xll=${4:-512000}
yll=${5:-4180000}

awk -v nc="$columns" -v nr="$rows" -v cs="$cellsize" -v xll="$xll" -v yll="$yll" '
function hill(x, y, cx, cy, height, radius) {
  return height * exp(-((x - cx) ^ 2 + (y - cy) ^ 2) / (2 * radius ^ 2))
}
BEGIN {
  printf "ncols %d\nnrows %d\nxllcorner %s\nyllcorner %s\ncellsize %s\nNODATA_value -9999\n", nc, nr, xll, yll, cs
  for (r = 0; r < nr; r++) {
    line = ""
    for (c = 0; c < nc; c++) {
      # Position in the unit square, u eastward and v northward.
      u = (c + 0.5) / nc
      v = (nr - r - 0.5) / nr
      z = 420 + 180 * u + 90 * v
      z += hill(u, v, 0.28, 0.70, 520, 0.11) + hill(u, v, 0.72, 0.32, 380, 0.09)
      z += hill(u, v, 0.55, 0.82, 240, 0.06)
      z += 35 * sin(11 * u + 3 * v) * cos(7 * v - 2 * u)
      z -= 140 * exp(-((v - 0.45 - 0.25 * sin(6 * u)) ^ 2) / 0.004)
      if ((u - 0.18) ^ 2 / 0.006 + (v - 0.22) ^ 2 / 0.003 < 1)
        line = line "-9999 "
      else
        line = line sprintf("%.1f ", z)
    }
    print line
  }
}'
