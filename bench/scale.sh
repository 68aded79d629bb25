#!/bin/sh
# The whole job on collections of growing size: every shared collection repeated up to 1, 2, 4,
# 8 and 16 GB, plain and compressed with zstd, through `--duplicates --add-eco --split-eco 1`.
# Prints one line per run: wall seconds, seconds per GB, peak resident memory (GNU time), and
# pgn-extract's figures on the same plain file (the compressed one through zstd -dc) up to the
# size given by EXTRACT_UP_TO (GB, default 4: at its speed a 16 GB run takes over half an hour).
#   bench/scale.sh [sizes in GB, default "1 2 4 8 16"]
# MEMORY=n adds --memory n to every pgnutil run. The files go into WORK (default a folder in
# /tmp, removed at the end); 16 GB needs about 20 GB free there.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
sizes=${*:-1 2 4 8 16}
extract_up_to=${EXTRACT_UP_TO:-4}
for package in pgn-extract time zstd; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq "$package" >/dev/null || sudo apt-get install -y -qq "$package" >/dev/null; }
done
# The release build (scripts/build-release), or the pgnutil named by PGNUTIL.
if [ -n "${PGNUTIL:-}" ]; then
  pgnutil=$(cd "$(dirname "$PGNUTIL")" && pwd)/$(basename "$PGNUTIL")
else
  scripts/build-release pgnutil >/dev/null
  pgnutil=$root/build/release/cli/pgnutil
fi
work=${WORK:-$(mktemp -d)}
mkdir -p "$work"
[ -n "${WORK:-}" ] || trap 'rm -rf "$work"' EXIT
memory=""
[ -z "${MEMORY:-}" ] || memory="--memory $MEMORY"

find "$root/../shared/data/pgn" -name '*.pgn' | sort | xargs cat >"$work/base.pgn"
base_bytes=$(wc -c <"$work/base.pgn")
echo "base: every shared collection, $base_bytes bytes; pgnutil $memory"
echo "| size | input | pgnutil s | s/GB | peak MB | pgn-extract s | s/GB | peak MB |"
echo "|---|---|---|---|---|---|---|---|"

# Wall seconds and peak kilobytes of a command run in a fresh output folder.
measure() {
  out=$1
  shift
  rm -rf "$work/$out"
  mkdir "$work/$out"
  (cd "$work/$out" && /usr/bin/time -f "%e %M" -o ../time.txt "$@" >/dev/null 2>../stderr.txt) || {
    echo "failed: $*" >&2
    cat "$work/stderr.txt" >&2
  }
  cat "$work/time.txt"
  rm -rf "$work/$out"
}

for size in $sizes; do
  file=$work/games-$size.pgn
  rm -f "$file"
  target=$(awk -v s="$size" 'BEGIN { printf "%.0f", s * 1e9 }')
  # (awk compares: the shell's test takes 32-bit numbers on some systems)
  while awk -v have="$(stat -c %s "$file" 2>/dev/null || echo 0)" -v want="$target" 'BEGIN { exit !(have < want) }'; do
    cat "$work/base.pgn" >>"$file"
  done
  bytes=$(stat -c %s "$file")
  zstd -q -T2 -3 -f "$file" -o "$file.zst"
  for input in "$file" "$file.zst"; do
    set -- $(measure pgnutil "$pgnutil" "$input" -q --duplicates --add-eco --split-eco 1 $memory -o eco)
    p_seconds=$1 p_kb=$2
    e_seconds=- e_kb=-
    if awk -v s="$size" -v u="$extract_up_to" 'BEGIN { exit !(s <= u) }'; then
      if [ "$input" = "$file" ]; then
        set -- $(measure extract /usr/games/pgn-extract -s -D -e/usr/share/pgn-extract/eco.pgn -E1 "$input")
      else
        set -- $(measure extract sh -c "zstd -dc '$input' | /usr/games/pgn-extract -s -D -e/usr/share/pgn-extract/eco.pgn -E1")
      fi
      e_seconds=$1 e_kb=$2
    fi
    kind=plain
    [ "$input" = "$file" ] || kind="zst, $(stat -c %s "$input" | awk '{printf "%.2f GB", $1/1e9}')"
    awk -v size="$size" -v kind="$kind" -v b="$bytes" -v ps="$p_seconds" -v pk="$p_kb" -v es="$e_seconds" -v ek="$e_kb" 'BEGIN {
      gb = b / 1e9
      line = sprintf("| %.2f GB | %s | %.1f | %.1f | %.0f |", gb, kind, ps, ps / gb, pk / 1024)
      if (es == "-") line = line " - | - | - |"
      else line = line sprintf(" %.1f | %.1f | %.0f |", es, es / gb, ek / 1024)
      print line
    }'
  done
  rm -f "$file" "$file.zst"
done
