#!/bin/sh
# Annotated collections against pgn-extract: the engine games (a log after every move) repeated
# to 300 MB and the online games (a clock and an evaluation after every move) to 55 MB, each read
# and written whole ("plain") and through the whole job (`--duplicates --add-eco --split-eco 3`),
# pgnutil and pgn-extract in alternate runs, medians of RUNS (default 3), with peak resident
# memory (GNU time); then `--remove-comments` on the engine games, and the online games read and
# checked on one thread by our reader (reader_bench) and by a single-header C++ chess library's
# (bench/library_reader.cpp over the header in ../shared/anchors, built here with -O3).
#   bench/annotated.sh
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${RUNS:-3}
data=$root/../shared/data/pgn
if [ -n "${PGNUTIL:-}" ]; then
  pgnutil=$(cd "$(dirname "$PGNUTIL")" && pwd)/$(basename "$PGNUTIL")
  reader_bench=$(dirname "$pgnutil")/../bench/reader_bench
else
  scripts/build-release pgnutil reader_bench >/dev/null
  pgnutil=$root/build/release/cli/pgnutil
  reader_bench=$root/build/release/bench/reader_bench
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. bench/common.sh

for i in $(seq 13); do cat "$data"/engine/*.pgn; done >"$work/engine.pgn"
for i in $(seq 11); do cat "$data"/online/*.pgn; done >"$work/online.pgn"

echo "| collection | MB | job | pgnutil s | peak MB | peak / input | pgn-extract s | peak MB | ratio |"
echo "|---|---|---|---|---|---|---|---|---|"
for collection in engine online; do
  input=$work/$collection.pgn
  mb=$(stat -c %s "$input" | awk '{ printf "%.1f", $1 / 1e6 }')
  for job in plain whole; do
    : >"$work/p.txt"
    : >"$work/e.txt"
    for r in $(seq "$runs"); do
      if [ "$job" = whole ]; then
        measure "$pgnutil" "$input" -q --duplicates --add-eco --split-eco 3 -o eco >>"$work/p.txt"
        measure /usr/games/pgn-extract -s -D -e/usr/share/pgn-extract/eco.pgn -E3 "$input" >>"$work/e.txt"
      else
        measure "$pgnutil" "$input" -q -o all >>"$work/p.txt"
        measure /usr/games/pgn-extract -s -oall.pgn "$input" >>"$work/e.txt"
      fi
    done
    p=$(cut -d' ' -f1 "$work/p.txt" | median)
    pk=$(cut -d' ' -f2 "$work/p.txt" | median)
    e=$(cut -d' ' -f1 "$work/e.txt" | median)
    ek=$(cut -d' ' -f2 "$work/e.txt" | median)
    awk -v c="$collection" -v mb="$mb" -v job="$job" -v p="$p" -v pk="$pk" -v e="$e" -v ek="$ek" 'BEGIN {
      printf "| %s | %.0f | %s | %.2f | %.0f | %.2f | %.2f | %.0f | %.1f |\n", c, mb, job, p, pk / 1024, pk * 1024 / (mb * 1e6), e, ek / 1024, e / p
    }'
  done
done

echo
: >"$work/r.txt"
for r in $(seq "$runs"); do measure "$pgnutil" "$work/engine.pgn" -q --remove-comments -o bare >>"$work/r.txt"; done
r=$(cut -d' ' -f1 "$work/r.txt" | median)
awk -v r="$r" -v n="$(stat -c %s "$work/engine.pgn")" 'BEGIN {
  printf "--remove-comments on the engine games: %.2f s, %.2f GB/s of input\n", r, n / r / 1e9
}'

echo
g++ -O3 -DNDEBUG -std=c++17 -I"$root/../shared/anchors/chess-library" -o "$work/library_reader" bench/library_reader.cpp
for r in $(seq "$runs"); do "$work/library_reader" "$work/online.pgn"; done |
  awk -v n="$(stat -c %s "$work/online.pgn")" '{ for (i = 1; i <= NF; ++i) if ($(i + 1) == "s") print $i }' |
  median | awk -v n="$(stat -c %s "$work/online.pgn")" '{ printf "the library, one thread: %.0f MB/s\n", n / $1 / 1e6 }'
"$reader_bench" --benchmark_filter='ReadCollectionForJob/online' --benchmark_repetitions="$runs" \
  --benchmark_report_aggregates_only=true 2>/dev/null | awk '/_median/ { for (i = 1; i <= NF; ++i) if ($i ~ /bytes_per_second=/) print "ours, one thread: " $i }'
