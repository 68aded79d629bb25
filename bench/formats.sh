#!/bin/sh
# Writing the formats other programs read: pgnutil against pgn-extract on the over-the-board
# collection ten times over (252 MB), in alternate runs, medians of RUNS (default 3): JSON Lines
# (pgn-extract --json), UCI moves (-Wuci), long algebraic (-Wlalg), EPD positions (-Wepd); and
# what --add-opening costs a plain job (alternate runs, the median of the rounds' ratios). Wall
# time from GNU time; output sizes in MB. PART=opening measures the last alone.
#   bench/formats.sh [copies, default 10]
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

. bench/common.sh  # median; this script measures in a way of its own
# Seconds a command takes in a fresh folder; the size of what it wrote stays in size.txt.
measure() {
  rm -rf "$work/run"
  mkdir "$work/run"
  (cd "$work/run" && /usr/bin/time -f "%e" -o ../time.txt "$@" >/dev/null 2>/dev/null) || true
  du -sb "$work/run" | awk '{ printf "%.0f\n", $1 / 1e6 }' >"$work/size.txt"
  cat "$work/time.txt"
}

echo "$mb MB, $runs runs each"
echo
echo "| output | pgnutil s | MB | pgn-extract s | MB | pgn-extract's time over ours |"
echo "|---|---|---|---|---|---|"
# row NAME "PGNUTIL OPTIONS" "PGN-EXTRACT OPTIONS" (options split on ";")
row() {
  name=$1
  : >"$work/p.txt"
  : >"$work/e.txt"
  for r in $(seq "$runs"); do
    IFS=';'
    # shellcheck disable=SC2086
    measure "$pgnutil" "$work/games.pgn" -q $2 -o out >>"$work/p.txt"
    unset IFS
    ours=$(cat "$work/size.txt")
    IFS=';'
    # shellcheck disable=SC2086
    measure "$extract" -s $3 -oout "$work/games.pgn" >>"$work/e.txt"
    unset IFS
    theirs=$(cat "$work/size.txt")
  done
  p=$(median <"$work/p.txt")
  e=$(median <"$work/e.txt")
  awk -v n="$name" -v p="$p" -v e="$e" -v o="$ours" -v t="$theirs" \
    'BEGIN { printf "| %s | %.2f | %d | %.2f | %d | **%.1f** |\n", n, p, o, e, t, e / p }'
}
if [ "${PART:-all}" != opening ]; then
  row "--format json / --json" "--format;json" "--json"
  row "--format uci / -Wuci" "--format;uci" "-Wuci"
  row "--format lan / -Wlalg" "--format;lan" "-Wlalg"
  row "--format epd / -Wepd" "--format;epd" "-Wepd"
fi

# --add-opening against the plain job, in alternate runs: the median of the rounds' ratios.
: >"$work/plain.txt"
: >"$work/named.txt"
: >"$work/ratio.txt"
for r in $(seq "$runs"); do
  plain=$(measure "$pgnutil" "$work/games.pgn" -q -o out)
  named=$(measure "$pgnutil" "$work/games.pgn" -q --add-opening -o out)
  echo "$plain" >>"$work/plain.txt"
  echo "$named" >>"$work/named.txt"
  awk -v a="$named" -v b="$plain" 'BEGIN { print a / b }' >>"$work/ratio.txt"
done
echo
echo "| job | pgnutil s (median of $runs) |"
echo "|---|---|"
echo "| plain job (PGN) | $(median <"$work/plain.txt") |"
echo "| plain job --add-opening | $(median <"$work/named.txt") |"
echo "| --add-opening over the plain job, median of the rounds' ratios | $(median <"$work/ratio.txt") |"
