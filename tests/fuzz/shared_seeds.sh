#!/bin/sh
# Cuts PGN collections into small seed files for the reader's fuzzer: a few games each (the
# fuzzer reads at most its input length), at most 20 pieces a file; and, apart, up to 10 games
# a file whose comments run over several lines (paragraphs, diagrams' marks), which hold the
# texts a writer must take most care with. Folders that are missing give no seeds.
#   tests/fuzz/shared_seeds.sh OUTPUT_FOLDER PGN_FOLDER...
set -eu
to=$1
shift
mkdir -p "$to"
for from in "$@"; do
  [ -d "$from" ] || continue
  prefix=$(basename "$from")
  find "$from" -type f \( -name '*.pgn' -o -name '*.PGN' \) | sort | while read -r file; do
    base=$prefix-$(echo "$file" | sed "s|^$from/||; s|[^A-Za-z0-9._-]|_|g")
    awk -v out="$to/$base" '
      function flush() { if (length(chunk) > 0 && pieces < 20) { printf "%s", chunk > (out "." pieces); close(out "." pieces); pieces++ } chunk = "" }
      function keep_game() {
        if (multiline && kept < 10) { printf "%s", substr(game, 1, 4000) > (out ".c" kept); close(out ".c" kept); kept++ }
        game = ""; multiline = 0; open = 0
      }
      /^\[Event / && length(chunk) > 3000 { flush() }
      /^\[Event / { keep_game() }
      {
        chunk = chunk $0 "\n"
        game = game $0 "\n"
        line = $0
        while (line != "") {
          if (open) { at = index(line, "}"); if (at == 0) { multiline = 1; line = "" } else { open = 0; line = substr(line, at + 1) } }
          else { at = index(line, "{"); if (at == 0) line = ""; else { open = 1; line = substr(line, at + 1) } }
        }
        if (open) multiline = 1
      }
      END { flush(); keep_game() }
    ' "$file"
  done
done
