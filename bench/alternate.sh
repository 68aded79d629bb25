#!/bin/sh
# Two builds of a benchmark program measured in turn, round after round: on this shared machine
# the same binary measures up to a third apart from one minute to the next, so two builds are
# compared only in the same minutes. Prints each round's figures (items a second, or bytes a
# second for a benchmark that counts bytes) and the second build's over the first's, then the
# medians of both and of the ratios. The ratios' median is the figure to quote: a round's two
# runs share the machine's mood, different rounds do not.
#   bench/alternate.sh BENCHMARK BEFORE AFTER [ROUNDS]
#     BENCHMARK  the benchmark's full name, such as ReaderPlyWork or ReadCollection/otb
#     BEFORE, AFTER  the two programs (copies of build/release/bench/board_bench, say)
#     ROUNDS     default 15; fewer than ten rounds rarely tell a few per cent from the noise
# MIN_TIME sets the seconds each run lasts at least (default 0.2).
set -eu
[ $# -ge 3 ] || { sed -n '2,12p' "$0" >&2; exit 2; }
name=$1
before=$2
after=$3
rounds=${4:-15}
for program in "$before" "$after"; do
  [ -x "$program" ] || { echo "alternate.sh: $program is no program" >&2; exit 2; }
done

# The benchmark's rate in one run of a program: items a second when it counts items.
rate() {
  "$1" --benchmark_filter="^$name\$" --benchmark_min_time="${MIN_TIME:-0.2}" --benchmark_format=csv 2>/dev/null |
    awk -F, -v name="\"$name\"" '$1 == name { print ($7 != "" ? $7 : $6); found = 1 } END { exit !found }' ||
    { echo "alternate.sh: $1 has no benchmark $name" >&2; exit 1; }
}

rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
round=1
while [ "$round" -le "$rounds" ]; do
  a=$(rate "$before")
  b=$(rate "$after")
  echo "$a $b" | awk -v r="$round" '{ printf "round %2d  %12.4g  %12.4g  %.3f\n", r, $1, $2, $2 / $1 }'
  echo "$a $b" >>"$rows"
  round=$((round + 1))
done
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
printf 'medians   %12.4g  %12.4g  ratio %.3f\n' "$(awk '{ print $1 }' "$rows" | median)" \
  "$(awk '{ print $2 }' "$rows" | median)" "$(awk '{ print $2 / $1 }' "$rows" | median)"
