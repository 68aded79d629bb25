# Helpers the benchmark scripts share; sourced with $work set to the script's scratch folder.

# Runs a command in a fresh folder $work/run, its output thrown away; prints its wall seconds
# and peak resident kilobytes (GNU time), and leaves them in $work/time.txt.
measure() {
  rm -rf "$work/run"
  mkdir "$work/run"
  (cd "$work/run" && /usr/bin/time -f "%e %M" -o ../time.txt "$@" >/dev/null 2>/dev/null) || true
  cat "$work/time.txt"
}

# The median of the numbers on standard input, one a line (the lower middle one of an even count).
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
