#!/bin/sh
# Cuts the shared PGN collections and quirk files into small seed files for the reader's fuzzer:
# a few games each (the fuzzer reads at most its input length), at most 20 pieces a file.
#   tests/fuzz/shared_seeds.sh SHARED_PGN_FOLDER OUTPUT_FOLDER
set -eu
from=$1
to=$2
mkdir -p "$to"
[ -d "$from" ] || exit 0
find "$from" -type f \( -name '*.pgn' -o -name '*.PGN' \) | sort | while read -r file; do
  base=$(echo "$file" | sed "s|^$from/||; s|[^A-Za-z0-9._-]|_|g")
  awk -v out="$to/$base" '
    function flush() { if (length(chunk) > 0 && pieces < 20) { printf "%s", chunk > (out "." pieces); close(out "." pieces); pieces++ } chunk = "" }
    /^\[Event / && length(chunk) > 3000 { flush() }
    { chunk = chunk $0 "\n" }
    END { flush() }
  ' "$file"
done
