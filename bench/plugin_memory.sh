#!/bin/sh
# The 32-bit plug-in in the host of our own under Wine, loading a collection of over 400,000
# games with "Open...": how long it takes and how much of the 32-bit address space it takes
# (the host prints it: committed, reserved, the largest block still free).
#   bench/plugin_memory.sh [copies of the over-the-board collection, default 11]
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
copies=${1:-11}
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target pgnhost engpgn_util >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in $(seq "$copies"); do cat "$root"/../shared/data/pgn/otb/*.pgn >>"$work/games.pgn"; done
echo "collection: $(stat -c %s "$work/games.pgn") bytes, $(grep -c '^\[Event ' "$work/games.pgn") games"
cat >"$work/load.txt" <<SCRIPT
menu Panels/PGN handling
print memory
right-click 200 300
menu Open...
file $work/games.pgn
wait-modal
print memory
close
SCRIPT
rm -f build/win32/bin/pgn_util.dat
start=$(date +%s.%N)
cmake/wine-run "$root/build/win32/wineprefix" build/win32/bin/pgnhost.exe --script "$work/load.txt" \
  build/win32/bin/engpgn_util.dll
end=$(date +%s.%N)
awk -v a="$start" -v b="$end" 'BEGIN { printf "host run, start to close: %.1f s\n", b - a }'
