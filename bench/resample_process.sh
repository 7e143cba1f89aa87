#!/bin/sh
# Times the whole quillmap process on a generated 4000 x 4000 grid (cell size
# 1) at half and at twice its cell size: wall time and peak memory, as
# /usr/bin/time -v reports them (Debian package "time").
#
#   bench/resample_process.sh [size]
#
# Builds the tool in build/tool (Release) and works in build/bench.
set -eu
cd "$(dirname "$0")/.."

size=${1:-4000}
work=build/bench
grid=$work/terrain_$size.asc

if [ ! -x /usr/bin/time ]; then
  echo "needs /usr/bin/time: apt-get install time" >&2
  exit 1
fi

cmake -S . -B build/tool -DCMAKE_BUILD_TYPE=Release -DQUILLMAP_BUILD_TESTS=OFF \
  -DQUILLMAP_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/tool --target quillmap -j 2 >/dev/null

mkdir -p "$work"
if [ ! -f "$grid" ]; then
  echo "generating $grid"
  examples/make_sample_grid.sh "$size" "$size" 1 0 0 >"$grid"
fi
echo "source: $grid ($(wc -c <"$grid") bytes)"

for new_cell in 0.5 2; do
  result=$work/terrain_${size}_at_$new_cell.asc
  report=$work/time_$new_cell.txt
  /usr/bin/time -v build/tool/quillmap "$grid" "$result" "$new_cell" >"$work/stdout_$new_cell.txt" 2>"$report"
  if [ -s "$work/stdout_$new_cell.txt" ]; then
    echo "quillmap failed: $(cat "$work/stdout_$new_cell.txt")" >&2
    exit 1
  fi
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$report")
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$report")
  echo "R = $new_cell: $(head -n 2 "$result" | tr '\n' ' ')wall $wall, peak memory $peak kB"
done
