# Shell functions shared by the process benchmarks (sourced, not run):
#   timed <list> <command...>  runs the command under /usr/bin/time -v and
#                              appends "seconds kilobytes cpu-seconds" (wall
#                              time, peak memory, user + system time) to the
#                              list; the wall time is taken around
#                              /usr/bin/time (whose own figure has steps of
#                              10 ms), so it includes starting it, about a
#                              millisecond; the command's output goes to
#                              $work/stdout.txt, and a failing command calls
#                              the caller's fail function;
#   settle <files...>          removes the files and flushes the dirty pages
#                              of earlier runs, so that each timed command
#                              starts with no write-back of another's output;
#   median                     the median of the numbers on standard input.
timed() {
  list=$1
  shift
  start=$(date +%s%N)
  /usr/bin/time -v "$@" >"$work/stdout.txt" 2>"$work/time.txt" || fail "$* exited with an error"
  wall=$(($(date +%s%N) - start))
  wall=$(awk -v ns="$wall" 'BEGIN { printf "%.4f", ns / 1e9 }')
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
  cpu=$(sed -n 's/.*\(User\|System\) time (seconds): //p' "$work/time.txt" | awk '{ s += $1 } END { print s }')
  echo "$wall $peak $cpu" >>"$list"
}

settle() {
  rm -f "$@"
  sync
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
