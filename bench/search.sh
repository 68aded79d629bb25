#!/bin/sh
# Finding games by what happens on the board: pgnutil against pgn-extract on the over-the-board
# collection ten times over (252 MB), in alternate runs, medians of RUNS (default 3): a position
# (a FEN), a line reached by any move order, a material balance held for four positions, games
# ending in mate. Wall time from GNU time; games found counted in each output. What each kind of
# criterion costs over the reading alone: reader_bench --benchmark_filter=Searching.
#   bench/search.sh [copies, default 10]
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
copies=${1:-10}
runs=${RUNS:-3}
if [ -n "${PGNUTIL:-}" ]; then
  pgnutil=$(cd "$(dirname "$PGNUTIL")" && pwd)/$(basename "$PGNUTIL")
else
  scripts/build-release pgnutil >/dev/null
  pgnutil=$root/build/release/cli/pgnutil
fi
extract=/usr/games/pgn-extract
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in $(seq "$copies"); do cat "$root"/../shared/data/pgn/otb/*.pgn >>"$work/games.pgn"; done
mb=$(stat -c %s "$work/games.pgn" | awk '{ printf "%.0f", $1 / 1e6 }')

sicilian="rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -"
najdorf="e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6"
printf 'FEN "%s"\n' "$sicilian" >"$work/fen.txt"
printf '%s\n' "$najdorf" >"$work/line.txt"
printf 'rp* rp*\n' >"$work/material.txt"

. bench/common.sh  # median; this script measures in a way of its own
# Seconds a command takes in a fresh folder; its output file, if any, stays as found.pgn.
measure() {
  rm -rf "$work/run"
  mkdir "$work/run"
  (cd "$work/run" && /usr/bin/time -f "%e" -o ../time.txt "$@" >/dev/null 2>/dev/null) || true
  [ -f "$work/run/found.pgn" ] && mv "$work/run/found.pgn" "$work/found.pgn"
  cat "$work/time.txt"
}
found() { if [ -f "$work/found.pgn" ]; then grep -c '^\[Event ' "$work/found.pgn"; else echo 0; fi; }

echo "$mb MB, $runs runs each"
echo
echo "| search | pgnutil s | games | pgn-extract s | games | pgn-extract's time over ours |"
echo "|---|---|---|---|---|---|"
# row NAME "PGNUTIL OPTIONS" "PGN-EXTRACT OPTIONS" (options split on ";")
row() {
  name=$1
  : >"$work/p.txt"
  : >"$work/e.txt"
  for r in $(seq "$runs"); do
    rm -f "$work/found.pgn"
    IFS=';'
    # shellcheck disable=SC2086
    measure "$pgnutil" "$work/games.pgn" -q $2 -o found >>"$work/p.txt"
    unset IFS
    ours=$(found)
    rm -f "$work/found.pgn"
    IFS=';'
    # shellcheck disable=SC2086
    measure "$extract" -s $3 -ofound.pgn "$work/games.pgn" >>"$work/e.txt"
    unset IFS
    theirs=$(found)
  done
  p=$(median <"$work/p.txt")
  e=$(median <"$work/e.txt")
  awk -v n="$name" -v p="$p" -v e="$e" -v o="$ours" -v t="$theirs" \
    'BEGIN { printf "| %s | %.2f | %d | %.2f | %d | **%.1f** |\n", n, p, o, e, t, e / p }'
}
row "--position (FEN)" "--position;$sicilian" "-t$work/fen.txt"
row "--reaches (the Najdorf)" "--reaches;$najdorf" "-x$work/line.txt"
row "--material KRP*:KRP* held 4 positions" "--material;KRP*:KRP*;--material-plies;4" "-y$work/material.txt"
row "--ends-in checkmate" "--ends-in;checkmate" "--checkmate"
