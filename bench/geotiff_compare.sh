#!/bin/sh
# Times the GeoTIFF reader and writer (bench/GeoTIFFCopy) side by side with
# GDAL on the 4000 x 4000 benchmark grid (bench/make_bench_grid.sh) saved by
# gdal_translate as a float32 GeoTIFF, uncompressed and with deflate and the
# floating-point predictor:
#   read      quillmap reads band 1 into a map of doubles; GDAL reads every
#             pixel (gdalinfo -checksum);
#   copy      quillmap reads and writes float32 with the source's codec;
#             gdal_translate does the same;
#   float64   the same copy written as float64, quillmap's exact default;
#   resample  the source resampled to R = S/2 (8000 x 8000) and R = 2S
#             (2000 x 2000) and written as float32 GeoTIFF with the source's
#             codec: quillmap's pipeline beside both gdal_translate -r
#             bilinear and gdalwarp -multi -r bilinear, the ratio taken
#             against the faster of the two; beside them the floors:
#             reading the source (cat) and writing quillmap's result bytes
#             (dd to a new file). Each timed command starts settled, with
#             no write-back of the previous one's output.
# The tools run alternately, several times each; the script prints the
# median wall time of each, the ratio (GDAL's time over quillmap's), the
# median CPU time and the peak memory (/usr/bin/time -v) of each, and checks
# that both copies hold the same values (gdalinfo -checksum).
#
#   bench/geotiff_compare.sh [runs]   (default 5 runs of each)
#
# Builds in build/release (make build) and works in build/compare, where it
# keeps the generated sources. Exits with status 1 when a check fails. Not
# part of the tests: it runs on demand.
set -eu
cd "$(dirname "$0")/.."

runs=${1:-5}
work=build/compare
# QUILLMAP_BENCH_GRID names an existing 4000 x 4000 grid to start from.
grid=${QUILLMAP_BENCH_GRID:-$work/source_4000.asc}
copy=build/release/bench/GeoTIFFCopy
resampler=build/release/quillmap
for tool in gdal_translate gdalinfo /usr/bin/time; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is needed (gdal-bin, time)"; exit 1; }
done
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DQUILLMAP_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/release --target GeoTIFFCopy quillmap -j 2 >/dev/null

mkdir -p "$work"
if [ ! -f "$grid" ]; then
  echo "generating $grid"
  bench/make_bench_grid.sh 4000 4000 30 350000 4650000 >"$grid.tmp"
  mv "$grid.tmp" "$grid"
fi
for codec in none deflate; do
  source=$work/source_4000_float32_$codec.tif
  [ -f "$source" ] && [ "$source" -nt "$grid" ] && continue
  options="-ot Float32 -a_srs EPSG:32633"
  [ "$codec" = deflate ] && options="$options -co COMPRESS=DEFLATE -co PREDICTOR=3"
  gdal_translate -q $options "$grid" "$source"
done

failed=0
fail() {
  echo "CHECK FAILED: $*"
  failed=1
}

. bench/timing.sh

checksum() {
  gdalinfo -checksum "$1" | sed -n 's/.*Checksum=//p'
}

# compare <label> "<quillmap command>" "<GDAL command>"
compare() {
  rm -f "$work/ours.txt" "$work/theirs.txt"
  i=0
  while [ "$i" -lt "$runs" ]; do
    timed "$work/ours.txt" $2
    timed "$work/theirs.txt" $3
    i=$((i + 1))
  done
  awk -v label="$1" -v ot="$(awk '{ print $1 }' "$work/ours.txt" | median)" \
    -v tt="$(awk '{ print $1 }' "$work/theirs.txt" | median)" \
    -v oc="$(awk '{ print $3 }' "$work/ours.txt" | median)" \
    -v tc="$(awk '{ print $3 }' "$work/theirs.txt" | median)" \
    -v om="$(awk '{ print $2 }' "$work/ours.txt" | sort -n | tail -n 1)" \
    -v tm="$(awk '{ print $2 }' "$work/theirs.txt" | sort -n | tail -n 1)" 'BEGIN {
      printf "%-22s %10.3f %8.3f %7.2fx %12.2f %8.2f %13.1f %9.1f\n", label, ot, tt, tt / ot, oc, tc, om / 1024, tm / 1024
    }'
}

# compare_resample <label> <source> <R> <quillmap codec> "<GDAL codec options>":
# quillmap, gdal_translate and gdalwarp -multi in turn, the ratio against
# the faster GDAL tool's median.
compare_resample() {
  rm -f "$work/ours.txt" "$work/translate.txt" "$work/warp.txt" "$work/read.txt" "$work/write.txt"
  i=0
  while [ "$i" -lt "$runs" ]; do
    settle "$work/ours.tif"
    timed "$work/ours.txt" "$resampler" --input-format geotiff --output-format geotiff \
      --output-type float32 --compress "$4" "$2" "$work/ours.tif" "$3"
    settle "$work/translate.tif"
    timed "$work/translate.txt" gdal_translate -q -r bilinear -tr "$3" "$3" $5 "$2" "$work/translate.tif"
    settle "$work/warp.tif"
    timed "$work/warp.txt" gdalwarp -q -multi -r bilinear -tr "$3" "$3" $5 "$2" "$work/warp.tif"
    timed "$work/read.txt" sh -c 'exec cat "$1" >/dev/null' sh "$2"
    settle "$work/floor.tif"
    timed "$work/write.txt" dd if="$work/ours.tif" of="$work/floor.tif" bs=8M status=none
    i=$((i + 1))
  done
  rm -f "$work/floor.tif"
  med() { awk -v c="$2" '{ print $c }' "$work/$1.txt" | median; }
  peak() { awk '{ print $2 }' "$work/$1.txt" | sort -n | tail -n 1; }
  awk -v label="$1" -v ot="$(med ours 1)" -v tt="$(med translate 1)" -v wt="$(med warp 1)" \
    -v om="$(peak ours)" -v tm="$(peak translate)" -v wm="$(peak warp)" \
    -v rt="$(med read 1)" -v wr="$(med write 1)" 'BEGIN {
      best = tt < wt ? tt : wt
      printf "%-22s %10.3f %10.3f %10.3f %7.2fx %13.1f %10.1f %10.1f %8.3f %8.3f\n", label, ot, tt, wt, best / ot, om / 1024, tm / 1024, wm / 1024, rt, wr
    }'
}

echo "source: 4000 x 4000 float32 GeoTIFF from $grid; $runs runs of each tool"
printf '\n%-22s %10s %8s %8s %12s %8s %13s %9s\n' "operation" "quillmap s" "gdal s" "ratio" \
  "quillmap cpu" "gdal cpu" "quillmap MiB" "gdal MiB"
for codec in none deflate; do
  source=$work/source_4000_float32_$codec.tif
  gdal_codec="-co COMPRESS=NONE"
  [ "$codec" = deflate ] && gdal_codec="-co COMPRESS=DEFLATE -co PREDICTOR=3"
  compare "read $codec" "$copy read $source" "gdalinfo -checksum $source"
  compare "copy float32 $codec" "$copy copy $source $work/ours.tif float32 $codec" \
    "gdal_translate -q $gdal_codec $source $work/theirs.tif"
  [ "$(checksum "$work/ours.tif")" = "$(checksum "$work/theirs.tif")" ] ||
    fail "copy float32 $codec: the two copies hold different values"
  compare "copy float64 $codec" "$copy copy $source $work/ours.tif float64 $codec" \
    "gdal_translate -q -ot Float64 $gdal_codec $source $work/theirs.tif"
  rm -f "$work/ours.tif" "$work/theirs.tif"
done
printf '\n%-22s %10s %10s %10s %8s %13s %10s %10s %8s %8s\n' "resample" "quillmap s" "translate" "warp -multi" \
  "ratio" "quillmap MiB" "trans MiB" "warp MiB" "read s" "write s"
for codec in none deflate; do
  source=$work/source_4000_float32_$codec.tif
  gdal_codec="-co COMPRESS=NONE"
  [ "$codec" = deflate ] && gdal_codec="-co COMPRESS=DEFLATE -co PREDICTOR=3"
  compare_resample "S/2 $codec" "$source" 15 "$codec" "$gdal_codec"
  compare_resample "2S $codec" "$source" 60 "$codec" "$gdal_codec"
  rm -f "$work/ours.tif" "$work/translate.tif" "$work/warp.tif"
done
echo
if [ "$failed" -ne 0 ]; then
  exit 1
fi
echo "checks passed: both float32 copies hold the same values"
