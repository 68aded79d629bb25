#!/bin/sh
# The same job with pgnutil and with pgn-extract, on the shared collections: read and validate,
# drop duplicates, classify by ECO, split by the full ECO code. Prints both times, the ratio and
# the peak memory (GNU time). Installs pgn-extract and time from Debian when they are missing.
#   bench/compare.sh [folder of PGN files, default ../shared/data/pgn/otb]
# The pgnutil measured is the release build (scripts/build-release, run first), or PGNUTIL.
# Runs should be half a minute apart: on a disk formatted as ext4 without a journal, new files
# are slow to create for that long after many were deleted (as this script deletes its output).
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
input=${1:-$root/../shared/data/pgn/otb}
for package in pgn-extract time; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq "$package" >/dev/null || sudo apt-get install -y -qq "$package" >/dev/null; }
done
if [ -z "${PGNUTIL:-}" ]; then
  scripts/build-release pgnutil >/dev/null
  PGNUTIL=build/release/cli/pgnutil
fi
pgnutil=$(cd "$(dirname "$PGNUTIL")" && pwd)/$(basename "$PGNUTIL")
bytes=$(cat "$input"/*.pgn | wc -c)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/pgnutil" "$work/pgnutil-small" "$work/pgn-extract"
# pgnutil twice: with its default memory budget, and with a budget of 2 MiB, where nearly every
# game is let go after loading and read again when written.
run_pgnutil() {
  cd "$work/$1"
  shift
  /usr/bin/time -f "%e %M" -o time.txt "$pgnutil" "$input" -q --duplicates --add-eco \
    --split-eco 3 -o eco "$@" 2>summary.txt
}
run_pgnutil pgnutil
read -r pgnutil_seconds pgnutil_kb <"$work/pgnutil/time.txt"
pgnutil_files=$(ls "$work/pgnutil"/eco_eco=*.pgn | wc -l)
run_pgnutil pgnutil-small --memory 2
read -r small_seconds small_kb <"$work/pgnutil-small/time.txt"
cd "$work/pgn-extract"
/usr/bin/time -f "%e %M" -o time.txt /usr/games/pgn-extract -s -D -e/usr/share/pgn-extract/eco.pgn -E3 \
  "$input"/*.pgn >/dev/null 2>log.txt
read -r extract_seconds extract_kb <time.txt
extract_files=$(ls [A-E]*.pgn 2>/dev/null | wc -l)

echo "input: $input, $bytes bytes"
echo "pgnutil:             ${pgnutil_seconds} s, peak ${pgnutil_kb} KB, $pgnutil_files files"
sed 's/^/  /' "$work/pgnutil/summary.txt"
echo "pgnutil --memory 2:  ${small_seconds} s, peak ${small_kb} KB"
diff -r -q -x time.txt -x summary.txt "$work/pgnutil" "$work/pgnutil-small" >/dev/null &&
  echo "  (the same files)" || echo "  (FILES DIFFER)"
echo "pgn-extract:         ${extract_seconds} s, peak ${extract_kb} KB, $extract_files files"
awk -v a="$pgnutil_seconds" -v s="$small_seconds" -v b="$extract_seconds" -v n="$bytes" -v k="$small_kb" 'BEGIN {
  printf "pgnutil %.1f MB/s, pgn-extract %.1f MB/s: %.1f times faster\n", n/a/1e6, n/b/1e6, b/a
  printf "with --memory 2: %.1f MB/s (%.1f times pgn-extract), peak %.2f times the input\n", n/s/1e6, b/s, k*1024/n
}'
