#!/bin/sh
# Writes collections in every format pgnutil has and checks what it wrote with tools of their
# own: Python's JSON parser and a schema validator, chess.js replaying the moves and reading the
# positions, and pgnutil reading its SAN lines back as games.
#   tests/formats/check_formats.sh PGNUTIL ORACLE_DIR SCHEMA COLLECTION...
set -eu
pgnutil=$1
oracle=$2
schema=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ ! -d "$oracle/node_modules/chess.js" ]; then
  echo "chess.js is not in $oracle/node_modules: run scripts/setup" >&2
  exit 1
fi
# A Python with jsonschema: the one on the path, else the system's (scripts/setup installs
# python3-jsonschema for it).
python=""
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import jsonschema' 2>/dev/null; then
    python=$candidate
    break
  fi
done
if [ -z "$python" ]; then
  echo "no Python with jsonschema: run scripts/setup" >&2
  exit 1
fi
failed=0
for input in "$@"; do
  name=$(basename "$input")
  out="$work/$name"
  for format in json san uci lan fen epd; do
    # Each variation a game of its own too: its moves are replayed like the main lines'.
    "$pgnutil" "$input" -q --overwrite --format "$format" --split-variations 4 -o "$out" 2>"$work/errors" || {
      echo "FAILED: pgnutil --format $format on $name: $(cat "$work/errors")"
      failed=1
    }
  done
  echo "== $name"
  "$python" "$here/validate_json.py" "$schema" "$out.jsonl" || failed=1
  node "$here/check_formats.mjs" "$oracle" "$out.jsonl" "$out.uci.txt" "$out.lan.txt" "$out.fen" || failed=1
  # EPD: four fields, then opcodes each ended by ";", the id naming the game and the ply.
  if ! awk '!/^[^ ]+ [wb] [^ ]+ [^ ]+ hmvc [0-9]+; fmvn [0-9]+; id "[0-9]+:[0-9]+"; c0 "[^"]*"; c1 ".*";$/ { bad++; if (bad <= 3) print "EPD: " $0 } END { exit bad > 0 }' "$out.epd"; then
    failed=1
  fi
  if [ "$(wc -l <"$out.epd")" -ne "$(wc -l <"$out.fen")" ]; then
    echo "EPD and FEN hold different numbers of positions"
    failed=1
  fi
  # SAN lines read back as games give the same lines. Set-up and Chess960 games are left out
  # (their line starts with the position, which a movetext cannot carry).
  grep -v '^fen ' "$out.san.txt" | awk '{ printf "[Event \"%d\"]\n\n%s *\n\n", NR, $0 }' >"$work/again.pgn"
  grep -v '^fen ' "$out.san.txt" >"$work/expected.txt"
  "$pgnutil" "$work/again.pgn" -q --overwrite --format san -o "$work/again" 2>"$work/errors" || {
    echo "FAILED: SAN lines read back: $(head -3 "$work/errors")"
    failed=1
  }
  if cmp -s "$work/again.san.txt" "$work/expected.txt"; then
    echo "$(wc -l <"$work/expected.txt") SAN lines read back as the same moves"
  else
    echo "DIFFERENT: SAN lines read back"
    diff "$work/again.san.txt" "$work/expected.txt" | head -5
    failed=1
  fi
done
exit "$failed"
