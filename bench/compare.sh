#!/bin/sh
# Times quillmap side by side with the command a user without it would run,
#   gdal_translate -of AAIGrid -tr R R -r bilinear -co SIGNIFICANT_DIGITS=6 src dst
# and, on all cores, gdalwarp -multi -wo NUM_THREADS=ALL_CPUS with the same
# options, on a 4000 x 4000 grid of 30 m cells (bench/make_bench_grid.sh), at
# half and at twice the cell size, each on all cores and on one core
# (taskset -c 0). The tools run alternately, several times each; the script
# prints the median wall time of each, the ratio to the faster GDAL command,
# the median CPU time of each (user + system, telling on a shared machine),
# and the peak memory of each (/usr/bin/time -v), which for quillmap must
# stay within 64 MiB. It then checks that both outputs have the same
# dimensions and that gdalinfo reads quillmap's output with the expected
# corner and cell size.
#
# On all cores it also measures the machine's floors in the same run:
# reading the source (cat to /dev/null, from the page cache) and writing the
# result's bytes (dd of quillmap's result, in large blocks, to a new file
# beside it), and prints quillmap's time over their sum. Given a second
# quillmap binary (an earlier build, say), it runs beside on the square grid
# too and its median wall time is printed.
#
# Then grids far from square, of the same values: 4 and 8 columns by
# 1,250,000 rows (41 and 82 MB of text) and their transposes, at the same two
# cell sizes: wall and CPU time, the time per result cell over the square
# grid's on all cores (the wall ratio at most 1.5) and the peak memory (at
# most 64 MiB). Given a second quillmap binary (an earlier build, say), the
# script runs it beside on these grids, reports its figures too and checks
# that both write the same bytes.
#
#   bench/compare.sh [runs [other]]  (default 5 runs of each tool for each R)
#   LARGE=1 bench/compare.sh [runs]  also resamples a 12000 x 12000 grid
#                                    (1.1 GB) to half its cell size (4.5 GB)
#                                    once, and reports its time and peak
#                                    beside the floors of that size
#
# Installs gdal-bin and time with apt-get if they are missing. Builds the tool
# in build/tool (Release) and works in build/compare, where it keeps the
# generated sources. Exits with status 1 when a check fails. Not part of the
# tests: it runs on demand.
set -eu
cd "$(dirname "$0")/.."

runs=${1:-5}
other=${2:-}
size=4000
cell=30
xll=350000
yll=4650000
work=build/compare
grid=$work/source_${size}.asc

install_missing() {
  command -v "$1" >/dev/null 2>&1 && return 0
  echo "installing $2"
  apt-get install -y -q "$2" >/dev/null || { apt-get update -q >/dev/null && apt-get install -y -q "$2" >/dev/null; }
}
install_missing gdal_translate gdal-bin
[ -x /usr/bin/time ] || install_missing /usr/bin/time time

cmake -S . -B build/tool -DCMAKE_BUILD_TYPE=Release -DQUILLMAP_BUILD_TESTS=OFF \
  -DQUILLMAP_BUILD_BENCHMARKS=OFF -DQUILLMAP_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build/tool --target quillmap -j 2 >/dev/null

mkdir -p "$work"
if [ ! -f "$grid" ]; then
  echo "generating $grid"
  bench/make_bench_grid.sh "$size" "$size" "$cell" "$xll" "$yll" >"$grid.tmp"
  mv "$grid.tmp" "$grid"
fi
echo "source: $grid, $size x $size cells of $cell, $(wc -c <"$grid") bytes; $runs runs of each tool"

failed=0
fail() {
  echo "CHECK FAILED: $*"
  failed=1
}

. bench/timing.sh

header_value() {
  awk -v key="$2" '$1 == key { print $2; exit }' "$1"
}

budget_mib=64
rm -f "$work/square.txt" "$work/ours_all.txt"
printf '\n%-6s %-6s %-11s %10s %10s %10s %8s %12s %8s %13s %10s %8s\n' "R" "cores" "cells" "quillmap s" \
  "gdal s" "warp s" "ratio" "quillmap cpu" "gdal cpu" "quillmap MiB" "gdal MiB" "other s"
rm -f "$work/floors.txt"
for new_cell in $((cell / 2)) $((cell * 2)); do
  for cores in all one; do
    pin=
    [ "$cores" = one ] && pin="taskset -c 0"
    ours=$work/quillmap_$new_cell.asc
    theirs=$work/gdal_$new_cell.asc
    rm -f "$work/ours.txt" "$work/theirs.txt" "$work/warp.txt" "$work/other.txt" "$work/read.txt" \
      "$work/write.txt"
    i=0
    while [ "$i" -lt "$runs" ]; do
      settle "$ours"
      timed "$work/ours.txt" $pin build/tool/quillmap "$grid" "$ours" "$new_cell"
      [ -s "$work/stdout.txt" ] && fail "quillmap printed: $(cat "$work/stdout.txt")"
      settle "$theirs"
      timed "$work/theirs.txt" $pin gdal_translate -q -of AAIGrid -tr "$new_cell" "$new_cell" \
        -r bilinear -co SIGNIFICANT_DIGITS=6 "$grid" "$theirs"
      if [ "$cores" = all ]; then
        settle "$theirs"
        timed "$work/warp.txt" gdalwarp -q -overwrite -multi -wo NUM_THREADS=ALL_CPUS -of AAIGrid \
          -tr "$new_cell" "$new_cell" -r bilinear -co SIGNIFICANT_DIGITS=6 "$grid" "$theirs"
        [ -n "$other" ] && settle "$work/other_$new_cell.asc" && timed "$work/other.txt" "$other" "$grid" "$work/other_$new_cell.asc" "$new_cell"
        timed "$work/read.txt" sh -c 'exec cat "$1" >/dev/null' sh "$grid"
        settle "$work/floor_write.asc"
        timed "$work/write.txt" dd if="$ours" of="$work/floor_write.asc" bs=8M status=none
      fi
      i=$((i + 1))
    done
    warp_time=-
    other_time=-
    if [ "$cores" = all ]; then
      warp_time=$(awk '{ print $1 }' "$work/warp.txt" | median)
      [ -n "$other" ] && other_time=$(awk '{ print $1 }' "$work/other.txt" | median)
      [ -n "$other" ] && { cmp -s "$ours" "$work/other_$new_cell.asc" ||
        fail "R = $new_cell: the two binaries write different bytes"; }
      echo "$new_cell $(awk '{ print $1 }' "$work/read.txt" | median)" \
        "$(awk '{ print $1 }' "$work/write.txt" | median) $(wc -c <"$ours")" >>"$work/floors.txt"
      rm -f "$work/floor_write.asc" "$work/other_$new_cell.asc"
    fi

    our_time=$(awk '{ print $1 }' "$work/ours.txt" | median)
    their_time=$(awk '{ print $1 }' "$work/theirs.txt" | median)
    our_cpu=$(awk '{ print $3 }' "$work/ours.txt" | median)
    their_cpu=$(awk '{ print $3 }' "$work/theirs.txt" | median)
    our_peak=$(awk '{ print $2 }' "$work/ours.txt" | sort -n | tail -n 1)
    their_peak=$(awk '{ print $2 }' "$work/theirs.txt" | sort -n | tail -n 1)
    columns=$(header_value "$ours" ncols)
    rows=$(header_value "$ours" nrows)
    awk -v r="$new_cell" -v k="$cores" -v c="${columns}x$rows" -v ot="$our_time" -v tt="$their_time" \
      -v wt="$warp_time" -v oc="$our_cpu" -v tc="$their_cpu" -v om="$our_peak" -v tm="$their_peak" \
      -v xt="$other_time" 'BEGIN {
        best = (wt != "-" && wt + 0 < tt + 0) ? wt : tt
        printf "%-6s %-6s %-11s %10.3f %10.3f %10s %7.1fx %12.2f %8.2f %13.1f %10.1f %8s\n", r, k, c, ot, tt, wt, best / ot, oc, tc, om / 1024, tm / 1024, xt
      }'
    [ "$cores" = all ] && echo "$new_cell $our_time" >>"$work/ours_all.txt"
    awk -v om="$our_peak" -v b="$budget_mib" 'BEGIN { exit !(om / 1024 <= b) }' ||
      fail "R = $new_cell on $cores cores: quillmap's peak memory exceeds $budget_mib MiB"
    [ "$cores" = one ] && { rm -f "$ours" "$theirs"; continue; }
    # The square grid's time per result cell, for the shapes below.
    echo "$new_cell $our_time $our_cpu $((columns * rows))" >>"$work/square.txt"

    [ "$columns" = "$(header_value "$theirs" ncols)" ] && [ "$rows" = "$(header_value "$theirs" nrows)" ] ||
      fail "R = $new_cell: the two outputs differ in dimensions"
    info=$(gdalinfo "$ours")
    origin=$(echo "$info" | sed -n 's/^Origin = (\(.*\))$/\1/p' | awk -F, '{ printf "%.6f,%.6f", $1, $2 }')
    pixel=$(echo "$info" | sed -n 's/^Pixel Size = (\(.*\))$/\1/p' | awk -F, '{ printf "%.6f,%.6f", $1, $2 }')
    expected_origin=$(awk -v x=$xll -v y=$yll -v n=$size -v s=$cell 'BEGIN { printf "%.6f,%.6f", x, y + n * s }')
    expected_pixel=$(awk -v r="$new_cell" 'BEGIN { printf "%.6f,%.6f", r, -r }')
    [ "$origin" = "$expected_origin" ] ||
      fail "R = $new_cell: gdalinfo reads the corner as $origin, expected $expected_origin"
    [ "$pixel" = "$expected_pixel" ] ||
      fail "R = $new_cell: gdalinfo reads the cell size as $pixel, expected $expected_pixel"
    # The results of the finer cell size take a gigabyte; only the source is kept.
    rm -f "$ours" "$theirs"
  done
done

# The floors of the same run beside quillmap on all cores.
printf '\n%-6s %12s %10s %12s %10s %12s\n' "R" "result bytes" "read s" "write s" "quillmap s" "over floors"
while read -r r read_time write_time bytes; do
  our_time=$(awk -v r="$r" '$1 == r { print $2 }' "$work/ours_all.txt")
  awk -v r="$r" -v b="$bytes" -v rt="$read_time" -v wt="$write_time" -v ot="$our_time" 'BEGIN {
    printf "%-6s %12d %10.3f %12.3f %10.3f %11.1fx\n", r, b, rt, wt, ot, ot / (rt + wt)
  }'
done <"$work/floors.txt"

# Grids of a few columns and many rows, and their transposes: the same work
# per result cell as the square grid, within 1.5 times its time.
most_ratio=1.5
printf '\n%-12s %-4s %-9s %7s %7s %10s %9s %6s' "grid" "R" "cells" "wall s" "cpu s" \
  "wall/cell" "cpu/cell" "MiB"
[ -n "$other" ] && printf ' %11s %10s %10s' "other wall" "other cpu" "other MiB"
printf '\n'
for shape in 4x1250000 8x1250000 1250000x4 1250000x8; do
  shape_grid=$work/shape_$shape.asc
  if [ ! -f "$shape_grid" ]; then
    echo "generating $shape_grid"
    bench/make_bench_grid.sh "${shape%x*}" "${shape#*x}" "$cell" "$xll" "$yll" >"$shape_grid.tmp"
    mv "$shape_grid.tmp" "$shape_grid"
  fi
  for new_cell in $((cell / 2)) $((cell * 2)); do
    ours=$work/shape_quillmap.asc
    theirs=$work/shape_other.asc
    rm -f "$work/ours.txt" "$work/theirs.txt"
    i=0
    while [ "$i" -lt "$runs" ]; do
      settle "$ours"
      timed "$work/ours.txt" build/tool/quillmap "$shape_grid" "$ours" "$new_cell"
      [ -s "$work/stdout.txt" ] && fail "quillmap printed: $(cat "$work/stdout.txt")"
      [ -n "$other" ] && settle "$theirs" && timed "$work/theirs.txt" "$other" "$shape_grid" "$theirs" "$new_cell"
      i=$((i + 1))
    done
    cells=$(($(header_value "$ours" ncols) * $(header_value "$ours" nrows)))
    our_time=$(awk '{ print $1 }' "$work/ours.txt" | median)
    our_cpu=$(awk '{ print $3 }' "$work/ours.txt" | median)
    our_peak=$(awk '{ print $2 }' "$work/ours.txt" | sort -n | tail -n 1)
    # The square grid's median wall and CPU time and its result cells.
    set -- $(awk -v r="$new_cell" '$1 == r { print $2, $3, $4 }' "$work/square.txt")
    wall_ratio=$(awk -v c="$cells" -v t="$our_time" -v st="$1" -v sc="$3" 'BEGIN { print (t / c) / (st / sc) }')
    cpu_ratio=$(awk -v c="$cells" -v t="$our_cpu" -v st="$2" -v sc="$3" 'BEGIN { print (t / c) / (st / sc) }')
    awk -v s="$shape" -v r="$new_cell" -v c="$cells" -v t="$our_time" -v u="$our_cpu" -v m="$our_peak" \
      -v wr="$wall_ratio" -v cr="$cpu_ratio" 'BEGIN {
        printf "%-12s %-4s %-9d %7.2f %7.2f %9.2fx %8.2fx %6.1f", s, r, c, t, u, wr, cr, m / 1024
      }'
    if [ -n "$other" ]; then
      awk -v t="$(awk '{ print $1 }' "$work/theirs.txt" | median)" \
        -v u="$(awk '{ print $3 }' "$work/theirs.txt" | median)" \
        -v m="$(awk '{ print $2 }' "$work/theirs.txt" | sort -n | tail -n 1)" \
        'BEGIN { printf " %11.2f %10.2f %10.1f", t, u, m / 1024 }'
      cmp -s "$ours" "$theirs" || fail "$shape at R = $new_cell: the two binaries write different bytes"
    fi
    printf '\n'
    awk -v om="$our_peak" -v b="$budget_mib" 'BEGIN { exit !(om / 1024 <= b) }' ||
      fail "$shape at R = $new_cell: quillmap's peak memory exceeds $budget_mib MiB"
    awk -v r="$wall_ratio" -v most="$most_ratio" 'BEGIN { exit !(r <= most) }' ||
      fail "$shape at R = $new_cell: time per result cell beyond $most_ratio times the square grid's"
    rm -f "$ours" "$theirs"
  done
done

if [ "${LARGE:-0}" = 1 ]; then
  large=12000
  large_grid=$work/source_${large}.asc
  if [ ! -f "$large_grid" ]; then
    # Three by three copies of the benchmark grid: awk works here by whole
    # lines, where generating every cell afresh would take about an hour.
    echo "generating $large_grid"
    awk -v n="$large" 'NR <= 6 { if ($1 == "ncols" || $1 == "nrows") $2 = n; print; next }
      { print $0 " " $0 " " $0 }' "$grid" >"$work/rows.tmp"
    { head -n 6 "$work/rows.tmp"; for copy in 1 2 3; do tail -n +7 "$work/rows.tmp"; done; } >"$large_grid.tmp"
    rm -f "$work/rows.tmp"
    mv "$large_grid.tmp" "$large_grid"
  fi
  rm -f "$work/large.txt"
  timed "$work/large.txt" build/tool/quillmap "$large_grid" "$work/quillmap_large.asc" $((cell / 2))
  [ -s "$work/stdout.txt" ] && fail "quillmap printed: $(cat "$work/stdout.txt")"
  read -r large_time large_peak large_cpu <"$work/large.txt"
  # The floors of this size: reading the source, writing the result's bytes.
  rm -f "$work/large_read.txt" "$work/large_write.txt"
  timed "$work/large_read.txt" sh -c 'exec cat "$1" >/dev/null' sh "$large_grid"
  timed "$work/large_write.txt" dd if="$work/quillmap_large.asc" of="$work/floor_large.asc" bs=8M status=none
  rm -f "$work/floor_large.asc"
  read -r large_read _ _ <"$work/large_read.txt"
  read -r large_write _ _ <"$work/large_write.txt"
  echo
  echo "$large x $large at R = $((cell / 2)): $(wc -c <"$work/quillmap_large.asc") bytes written in" \
    "$large_time s (cpu $large_cpu s), peak $((large_peak / 1024)) MiB; floors: read $large_read s," \
    "write $large_write s; quillmap over them" \
    "$(awk -v t="$large_time" -v r="$large_read" -v w="$large_write" 'BEGIN { printf "%.1fx", t / (r + w) }')"
  awk -v om="$large_peak" -v b="$budget_mib" 'BEGIN { exit !(om / 1024 <= b) }' ||
    fail "the large run's peak memory exceeds $budget_mib MiB"
  rm -f "$work/quillmap_large.asc"
fi
echo
if [ "$failed" -ne 0 ]; then
  exit 1
fi
echo "checks passed: same dimensions; gdalinfo reads quillmap's corner and cell size as expected;"
echo "peak memory within $budget_mib MiB and time per cell within $most_ratio times the square grid's"
