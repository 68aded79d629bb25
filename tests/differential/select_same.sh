#!/bin/sh
# Selects games with pgnutil and with pgn-extract and compares what each selected, game by game
# (the seven tag roster of each game, as a key), over the shared collections.
#   tests/differential/select_same.sh PGNUTIL PGN-EXTRACT COLLECTION...
# Each case below is: a name, pgnutil's options, and pgn-extract's (a tag file's lines after
# "tags:", or options).
set -u
pgnutil=$1
extract=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
cases=0
within=no  # yes: every game pgn-extract selects must be among pgnutil's, not the other way

# The roster of every game of the PGN text on standard input, one line each, sorted.
keys() {
  awk '
    /^\[Event "/ { if (seen) print line(); seen = 1 }
    /^\[(Event|Site|Date|Round|White|Black|Result) "/ {
      name = substr($1, 2); value = $0; sub(/^[^"]*"/, "", value); sub(/"\][ \t\r]*$/, "", value); tag[name] = value
    }
    function line() { return tag["Event"] "|" tag["Site"] "|" tag["Date"] "|" tag["Round"] "|" tag["White"] "|" tag["Black"] "|" tag["Result"] }
    END { if (seen) print line() }
  ' | LC_ALL=C sort
}

# Every game file below a folder, in name order, as plain text (pgn-extract reads no compressed
# file).
plain_text() {
  find "$1" -type f \( -name '*.pgn' -o -name '*.pgn.*' \) | LC_ALL=C sort | while read -r file; do
    case "$file" in
      *.gz) gzip -dc "$file" ;;
      *.xz) xz -dc "$file" ;;
      *.zst) zstd -qdc "$file" ;;
      *.bz2) bzip2 -dc "$file" ;;
      *) cat "$file" ;;
    esac
    echo
  done
}

# compare NAME "PGNUTIL OPTIONS" EXTRACT-TAG-LINES|"" "EXTRACT OPTIONS" [EXTRACT-VARIATION-LINES]
compare() {
  name=$1 ours=$2 taglines=$3 theirs=$4 varlines=${5:-}
  number=0
  for input in $inputs; do
    number=$((number + 1))
    prepared="$work/input$number"
    cases=$((cases + 1))
    label="$name on $(basename "$input")"
    rm -f "$work/ours.pgn" "$work/theirs.pgn"
    # The options are split on spaces, a "_" inside one standing for a space.
    set -- $(echo "$ours")
    for option; do
      shift
      set -- "$@" "$(echo "$option" | tr _ ' ')"
    done
    "$pgnutil" -r "$input" -q --overwrite "$@" -o "$work/ours" 2>"$work/ours.err"
    tagfile=""
    if [ -n "$taglines" ]; then
      printf '%b\n' "$taglines" >"$work/tags.txt"
      tagfile="-t$work/tags.txt"
    fi
    if [ -n "$varlines" ]; then
      printf '%b\n' "$varlines" >"$work/lines.txt"
      tagfile="$tagfile -x$work/lines.txt"
    fi
    # shellcheck disable=SC2086
    "$extract" -s $tagfile $theirs -o"$work/theirs.pgn" "$prepared.pgn" 2>/dev/null
    touch "$work/ours.pgn" "$work/theirs.pgn"
    tr -d '\r' <"$work/ours.pgn" | keys >"$work/ours.keys"
    tr -d '\r' <"$work/theirs.pgn" | keys | LC_ALL=C comm -12 - "$prepared.keys" >"$work/theirs.keys"
    if [ "$within" = yes ] && [ -z "$(LC_ALL=C comm -13 "$work/ours.keys" "$work/theirs.keys")" ]; then
      echo "within: $label (pgn-extract's $(wc -l <"$work/theirs.keys") games among pgnutil's $(wc -l <"$work/ours.keys"))"
    elif cmp -s "$work/ours.keys" "$work/theirs.keys"; then
      echo "same: $label ($(wc -l <"$work/ours.keys") games)"
    else
      failures=$((failures + 1))
      echo "DIFFERENT: $label: pgnutil $(wc -l <"$work/ours.keys") games, pgn-extract $(wc -l <"$work/theirs.keys")"
      diff "$work/ours.keys" "$work/theirs.keys" | head -5
    fi
  done
}

inputs="$*"
# Each collection once: as plain text for pgn-extract, and the keys of the games pgnutil reads
# (a game with a damaged move is reported and skipped, so it is no selection's).
number=0
for input in $inputs; do
  number=$((number + 1))
  plain_text "$input" >"$work/input$number.pgn"
  "$pgnutil" -r "$input" -q --overwrite -o "$work/readable" 2>/dev/null
  tr -d '\r' <"$work/readable.pgn" | keys >"$work/input$number.keys"
done
compare "rating and date" "--tag WhiteElo>=2700 --tag Date<2000" 'WhiteElo >= "2700"\nDate < "2000"' ""
compare "result" "--tag Result=0-1" 'Result = "0-1"' ""
compare "rating below" "--tag BlackElo<2400" 'BlackElo < "2400"' ""
compare "year from" "--tag Date>=2015" 'Date >= "2015"' ""
compare "ratings apart" "--tag WhiteElo>2750 --tag BlackElo<=2600" 'WhiteElo > "2750"\nBlackElo <= "2600"' ""
compare "a position" "--position rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR_w_-_-" \
  'FENPattern "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR"' ""
compare "a position with castling" "--position r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R_b_KQkq_-" \
  'FENPattern "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R"' ""
compare "a line reached" "--reaches e4_c5_Nf3_d6_d4_cxd4_Nxd4_Nf6_Nc3_a6" "" "" "1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6"
compare "checkmate" "--ends-in checkmate" "" "--checkmate"
compare "stalemate" "--ends-in stalemate" "" "--stalemate"
within=yes
compare "repetition" "--has repetition" "" "--repetition"
within=no
compare "fifty moves" "--has fifty-moves" "" "--fifty"
compare "underpromotion" "--has underpromotion" "" "--underpromotion"
compare "a pattern" "--pattern ?????rk?/?????ppp/*/*/*/*/*/* --in-variations" 'FENPattern "?????rk?/?????ppp/*/*/*/*/*/*"' ""
compare "a pattern with runs and classes" "--pattern */*/*/3[Pp]*/*/*/*/* --in-variations" 'FENPattern "*/*/*/3[Pp]*/*/*/*/*"' ""
compare "a pattern either colour" "--pattern ??kr????/ppp*/*/*/*/*/*/* --either-colour --in-variations" \
  'FENPatternI "??kr????/ppp*/*/*/*/*/*/*"' ""
# pgn-extract's material match has no stated length: it finds a balance held for three positions
# but not always, and not one the game starts in. Every game it finds must be among ours held
# for three; what a balance means is tested against chess.js (tests/chess).
within=yes
printf 'rp* rp*\n' >"$work/rook-endings.txt"
compare "a material balance" "--material KRP*:KRP* --material-plies 3" "" "-y$work/rook-endings.txt"
printf 'l2 l\n' >"$work/minor-up.txt"
compare "a material balance either colour" "--material L2:L --either-colour --material-plies 3" "" "-z$work/minor-up.txt"
within=no
printf 'e4 c5 Nf3 d6 d4\n' >"$work/line.txt"
compare "a first line" "--line 1._e4_c5_2._Nf3_d6_3._d4" "" "-P -v$work/line.txt"
# pgn-extract counts a position's en-passant square whenever a pawn stepped two squares; a
# repetition counts it only when a pawn can take there (as FIDE's rules and chess.js do), so
# --has repetition finds some more games.
# pgn-extract looks for a FEN pattern in every line of a game: --in-variations says so to pgnutil,
# which looks in the main line alone unless asked.
# pgn-extract follows a line given with -x only as deep as the line is long; --reaches looks at
# every position of the game (the case above reaches its position at the line's own depth).
# Where the two tools mean different things, pgnutil's meaning is tested on its own (tag_rules_test):
# pgn-extract compares a Date with its year alone ("2015.01.10" >= "2015.06.01"), reads a number
# from the front of a value ("2690:2222" as 2690, "1.4" = "1"), and compares results as numbers.

echo "$cases cases, $failures different"
[ "$failures" -eq 0 ]
