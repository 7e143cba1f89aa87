#!/usr/bin/env bash
# Runs the fuzz targets of a fuzz build at the same time, each for the given
# number of seconds, over seed corpora made afresh by fuzz/make_corpus.sh
# (and, for the GeoTIFF reader, by MakeGeoTIFFSeeds, which uses libtiff).
# New inputs go to <build>/fuzz-work/<target>, crashing inputs to
# <build>/fuzz-findings/; each target's log is <build>/fuzz-<target>.log.
# Prints one line per target; fails when a target fails (a crash, a leak, a
# timeout or too much memory), printing the end of its log.
# Further arguments go to every fuzzer (-fork=2 -ignore_crashes=1, say).
# Usage: fuzz/run_fuzzers.sh <fuzz build dir> <seconds> [libFuzzer options]
set -uo pipefail
[ $# -ge 2 ] || { echo "usage: $0 <fuzz build dir> <seconds> [options]" >&2; exit 2; }
build=$(cd "$1" && pwd)
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

# Standard output is the result alone: one line per target.
"$here/make_corpus.sh" "$build/fuzz-corpus" >&2 || exit 1
mkdir -p "$build/fuzz-findings"
targets=(ReadWriteFuzz ResampleFuzz StreamingResampleFuzz)
declare -A seeds=([ReadWriteFuzz]=read [ResampleFuzz]=resample [StreamingResampleFuzz]=streaming
  [GeoTIFFReadFuzz]=geotiff)
# The GeoTIFF reader's target exists in builds with libtiff; its seeds are
# made with libtiff itself.
if [ -x "$build/fuzz/GeoTIFFReadFuzz" ]; then
  rm -rf "$build/fuzz-corpus/geotiff"
  mkdir -p "$build/fuzz-corpus/geotiff"
  "$build/fuzz/MakeGeoTIFFSeeds" "$build/fuzz-corpus/geotiff" >&2 || exit 1
  targets+=(GeoTIFFReadFuzz)
fi
pids=()
for target in "${targets[@]}"; do
  mkdir -p "$build/fuzz-work/$target"
  "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=10 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz-findings/$target-" "$@" \
    "$build/fuzz-work/$target" "$build/fuzz-corpus/${seeds[$target]}" \
    > "$build/fuzz-$target.log" 2>&1 &
  pids+=($!)
done

status=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  if wait "${pids[$i]}"; then
    # One line: the inputs run, from the final statistics or, in fork mode,
    # from the last status line.
    runs=$(grep -E '^stat::number_of_executed_units' "$build/fuzz-$target.log" | grep -oE '[0-9]+$')
    runs=${runs:-$(grep -oE '^#[0-9]+' "$build/fuzz-$target.log" | tail -n 1 | tr -d '#')}
    echo "$target: passed, ${runs:-?} inputs in $seconds s"
  else
    status=1
    echo "$target failed; its log ends:"
    tail -n 40 "$build/fuzz-$target.log"
  fi
done
exit $status
