#!/bin/sh
# Seconds per 100 MB at 25, 100 and 250 MB: the over-the-board collection (25 MB) one, four and
# ten times over, through the whole job (`--duplicates --add-eco --split-eco 3`) and a plain
# read and write of everything, pgnutil and pgn-extract in alternate runs, medians of RUNS
# (default 3), with peak resident memory (GNU time).
#   bench/sizes.sh [copies ..., default "1 4 10"]
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
copies=${*:-1 4 10}
runs=${RUNS:-3}
# The release build (scripts/build-release), or the pgnutil named by PGNUTIL.
if [ -n "${PGNUTIL:-}" ]; then
  pgnutil=$(cd "$(dirname "$PGNUTIL")" && pwd)/$(basename "$PGNUTIL")
else
  scripts/build-release pgnutil >/dev/null
  pgnutil=$root/build/release/cli/pgnutil
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. bench/common.sh

echo "| MB | job | pgnutil s | s/100 MB | peak MB | pgn-extract s | s/100 MB | ratio |"
echo "|---|---|---|---|---|---|---|---|"
for n in $copies; do
  rm -f "$work/games.pgn"
  for i in $(seq "$n"); do cat "$root"/../shared/data/pgn/otb/*.pgn >>"$work/games.pgn"; done
  mb=$(stat -c %s "$work/games.pgn" | awk '{ printf "%.0f", $1 / 1e6 }')
  for job in whole plain; do
    : >"$work/p.txt"
    : >"$work/e.txt"
    for r in $(seq "$runs"); do
      if [ "$job" = whole ]; then
        measure "$pgnutil" "$work/games.pgn" -q --duplicates --add-eco --split-eco 3 -o eco >>"$work/p.txt"
        measure /usr/games/pgn-extract -s -D -e/usr/share/pgn-extract/eco.pgn -E3 "$work/games.pgn" >>"$work/e.txt"
      else
        measure "$pgnutil" "$work/games.pgn" -q -o all >>"$work/p.txt"
        measure /usr/games/pgn-extract -s -oall.pgn "$work/games.pgn" >>"$work/e.txt"
      fi
    done
    p=$(cut -d' ' -f1 "$work/p.txt" | median)
    pk=$(cut -d' ' -f2 "$work/p.txt" | median)
    e=$(cut -d' ' -f1 "$work/e.txt" | median)
    awk -v mb="$mb" -v job="$job" -v p="$p" -v pk="$pk" -v e="$e" 'BEGIN {
      printf "| %d | %s | %.2f | %.2f | %.0f | %.2f | %.2f | %.1f |\n", mb, job, p, p / mb * 100, pk / 1024, e, e / mb * 100, e / p
    }'
  done
done
