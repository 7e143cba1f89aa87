#!/usr/bin/env bash
# Makes the seed corpora of the fuzz targets in the given directory:
#   <dir>/read      grid files: valid ones in several layouts, each header
#                   error, short and unterminated bodies, CR LF line ends,
#                   huge counts, long tokens and extreme numbers;
#   <dir>/resample  the same kind of grids, each behind a first line holding
#                   a new cell size as the command line would read it;
#   <dir>/streaming the resampling inputs, each with a second line that sets
#                   the file-to-file resampling's buffer sizes and workers
#                   and, in some, its options.
# Usage: fuzz/make_corpus.sh <dir>
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 <dir>" >&2; exit 2; }
out=$1
rm -rf "$out/read" "$out/resample" "$out/streaming"
mkdir -p "$out/read" "$out/resample" "$out/streaming"

# header ncols nrows xll yll cellsize nodata
header() {
  printf 'ncols %s\nnrows %s\nxllcorner %s\nyllcorner %s\ncellsize %s\nNODATA_value %s\n' "$@"
}
# body columns rows: values column + 10 * row, one row per line
body() {
  local c r
  for ((r = 0; r < $2; r++)); do
    for ((c = 0; c < $1; c++)); do printf '%s ' $((c + 10 * r)); done
    printf '\n'
  done
}
grid() { header "$1" "$2" 0 0 1 -9999; body "$1" "$2"; }
read_seed() { cat > "$out/read/$1"; }
long_run() { head -c "$2" < /dev/zero | tr '\0' "$1"; }

# Valid grids in several sizes and layouts.
grid 1 1 | read_seed valid_1x1
grid 3 3 | read_seed valid_3x3
grid 4 4 | read_seed valid_4x4
grid 10 10 | read_seed valid_10x10
grid 7 2 | read_seed valid_7x2
{ header 3 2 512000.5 4180000 25 -32768; printf -- '-1.5 2e3 -32768\n0.001 +4 .5\n'; } |
  read_seed valid_decimals
{ header 2 2 0 0 1 -9999 | sed 's/NODATA_value/nodata_value/'; body 2 2; } | read_seed valid_lowercase_nodata
grid 3 3 | tr '\n' ' ' | sed 's/$/\n/' | read_seed valid_one_line
grid 3 3 | tr ' ' '\n' | read_seed valid_one_token_per_line
grid 3 3 | tr ' ' '\t' | read_seed valid_tabs
grid 4 4 | sed 's/$/\r/' | read_seed valid_crlf
{ grid 2 2; printf '99 98 97\ntrailing text\n'; } | read_seed valid_surplus_values

# Each header error.
grid 3 3 | sed 's/^ncols/NCOLS/' | read_seed bad_ncols_tag
grid 3 3 | sed 's/^nrows/nrow/' | read_seed bad_nrows_tag
grid 3 3 | sed 's/^xllcorner/xllcenter/' | read_seed bad_xllcorner_tag
grid 3 3 | sed 's/^yllcorner/yllcenter/' | read_seed bad_yllcorner_tag
grid 3 3 | sed 's/^cellsize/CellSize/' | read_seed bad_cellsize_tag
grid 3 3 | sed '/^NODATA_value/d' | read_seed missing_nodata
grid 3 3 | sed 's/^NODATA_value/NoData_Value/' | read_seed bad_nodata_tag
grid 3 3 | sed 's/^ncols 3/ncols 3.5/' | read_seed fractional_ncols
grid 3 3 | sed 's/^ncols 3/ncols three/' | read_seed word_ncols
grid 3 3 | sed 's/^cellsize 1/cellsize x/' | read_seed word_cellsize
grid 3 3 | sed 's/^NODATA_value -9999/NODATA_value none/' | read_seed word_nodata
grid 3 3 | sed 's/^ncols 3/ncols 0/' | read_seed zero_ncols
grid 3 3 | sed 's/^nrows 3/nrows -1/' | read_seed negative_nrows
grid 3 3 | sed 's/^cellsize 1/cellsize 0/' | read_seed zero_cellsize
grid 3 3 | sed 's/^cellsize 1/cellsize -2/' | read_seed negative_cellsize
header 3 3 0 0 1 | read_seed header_ends_early
printf 'ncols 3\nnrows' | read_seed header_cut
: | read_seed empty

# Bodies: short, unterminated, not numbers.
{ header 3 3 0 0 1 -9999; printf '1 2 3\n4 5\n'; } | read_seed short_body
grid 2 2 | head -c -1 | read_seed unterminated_body
{ header 2 2 0 0 1 -9999; printf '1 2\n3 x\n'; } | read_seed word_in_body
{ header 2 2 0 0 1 -9999; printf '1 2\n3 inf\n'; } | read_seed inf_in_body

# Huge counts and extreme numbers.
{ header 1000000 1000000 0 0 1 -9999; body 3 1; } | read_seed claims_10e12_cells
{ header 1000000000000 1 0 0 1 -9999; body 3 1; } | read_seed claims_10e12_columns
{ header 99999999999999999999 2 0 0 1 -9999; body 2 2; } | read_seed ncols_overflow
{ header 2 2147483648 0 0 1 -9999; body 2 2; } | read_seed nrows_beyond_32_bits
{ header 2 2 1e308 1e308 1e308 -9999; body 2 2; } | read_seed coordinates_overflow
{ header 3 3 1e17 1e17 1 -9999; body 3 3; } | read_seed coordinates_absorb_cell_size
{ header 3 3 0 0 1e-320 -9999; body 3 3; } | read_seed subnormal_cellsize
{ header 2 1 0 0 1 -9999; printf '1e999999 -1e-999999\n'; } | read_seed values_out_of_range

# Long tokens.
{ printf 'ncols%s 3\n' "$(long_run s 3000)"; grid 3 3 | tail -n +2; } | read_seed long_keyword
{ header 2 1 0 0 1 -9999; printf '1.%s 2\n' "$(long_run 7 2000)"; } | read_seed long_fraction
{ header 2 1 0 0 1 -9999; printf '%s 2\n' "$(long_run 9 400)"; } | read_seed long_integer
{ header 2 1 0 0 1 "0.$(long_run 0 1000)1"; printf '1 2\n'; } | read_seed long_tiny_nodata
{ header "$(long_run 0 1500)3" 1 0 0 1 -9999; printf '1 2 3\n'; } | read_seed long_zero_padded_ncols

# The resampling corpus: a new cell size on the first line, then a grid.
resample_seed() { { printf '%s\n' "$2"; cat "$out/read/$1"; } > "$out/resample/$1@$2"; }
for size in 1 0.5 2 0.3 3; do
  resample_seed valid_3x3 $size
  resample_seed valid_4x4 $size
  resample_seed valid_10x10 $size
done
for size in abc 0 -1 nan inf 0x10 2.5m 1e-9 1e308 100; do resample_seed valid_10x10 "$size"; done
for seed in valid_decimals valid_7x2 valid_crlf valid_one_line coordinates_absorb_cell_size \
  subnormal_cellsize coordinates_overflow claims_10e12_cells short_body bad_cellsize_tag \
  bad_ncols_tag bad_xllcorner_tag missing_nodata unterminated_body; do
  resample_seed "$seed" 0.5
done
{ printf '0.5\n'; header 4 2 0 0 1 -9999; body 4 2; } > "$out/resample/two_rows@0.5"
{ printf '0.5\n'; header 6 1 0 0 1 -9999; body 6 1; } > "$out/resample/one_row@0.5"
{ printf '1e-7\n'; header 3 3 1e9 1e9 1e-6 -9999; body 3 3; } > "$out/resample/large_coordinates"

for seed in "$out/resample"/*; do
  # A sixth byte picks the options (StreamingResampleFuzz.cpp): C lenient and
  # no-data-aware with 16 digits, b no-data-aware with 6, % lenient with 9;
  # with bands of 529 bytes, an eighth the bytes of the runs' source rows
  # kept: ! 256, ~ 1000.
  for knobs in 00000 abcde 3x1y9 abcdeC 3x1y9b 00000% '1x1y!b0!' '1x1y!C0~'; do
    { head -n 1 "$seed"; printf '%s\n' "$knobs"; tail -n +2 "$seed"; } \
      > "$out/streaming/$(basename "$seed")@$knobs"
  done
done
echo "corpus: $(ls "$out/read" | wc -l) grid files, $(ls "$out/resample" | wc -l) resampling inputs," \
  "$(ls "$out/streaming" | wc -l) streaming inputs in $out"
