#!/bin/sh
# What pgnutil writes to when the path is no plain file, or not a plain name: pipes and devices
# are written in place, links are followed and stay links, folders are refused, names made from
# long tags fit the file system (temporary files too), and appending never glues a game to an
# unended line or plain text onto compressed text. A full device is a failure, said so.
#   tests/cli/output_targets.sh PGNUTIL GAMES.pgn
set -u
program=$1
games=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
games_in() { grep -c '^\[Event ' "$1" 2>/dev/null || echo 0; }
expected=$(games_in "$games")

# A device: -o on a link to /dev/null writes nothing anywhere, and the link stays.
ln -s /dev/null devnull
"$program" "$games" -q -o devnull 2>stderr || fail "-o devnull: exit $?: $(cat stderr)"
[ -L devnull ] || fail "-o devnull: the link was replaced"
ls devnull?* >/dev/null 2>&1 && fail "-o devnull made $(ls devnull?*)"
"$program" "$games" -q -o devnull --split-eco 1 2>stderr && fail "-o devnull with a split was accepted"
grep -q 'cannot be split' stderr || fail "-o devnull with a split: $(cat stderr)"

# A full device: the games and the report are not written, and pgnutil says so with status 1.
printf '[Event "x"]\n[Result "*"]\n\n1. e4 e9 *\n' >damaged.pgn
if [ -w /dev/full ]; then
  "$program" "$games" -q -o /dev/full 2>stderr && fail "-o /dev/full reported success"
  grep -q 'not written' stderr || fail "-o /dev/full: $(cat stderr)"
  "$program" damaged.pgn -q -o out --report /dev/full 2>stderr && fail "--report /dev/full reported success"
  grep -q 'report.*not written' stderr || fail "--report /dev/full: $(cat stderr)"
fi

# A FIFO as the output (replacing or appending) and as the report: its reader gets the text.
mkfifo pipe
for mode in --overwrite --append; do
  cat pipe >from_pipe &
  reader=$!
  "$program" "$games" -q -o pipe $mode 2>stderr || fail "-o pipe $mode: exit $?: $(cat stderr)"
  wait $reader
  [ -p pipe ] || fail "-o pipe $mode: the FIFO was replaced"
  [ "$(games_in from_pipe)" = "$expected" ] || fail "-o pipe $mode: $(games_in from_pipe) games came through"
done
printf '[Event "x"]\n[Result "*"]\n\n1. e4 e9 *\n' >damaged.pgn
cat pipe >report_from_pipe &
reader=$!
"$program" damaged.pgn -q -o out --report pipe 2>stderr
wait $reader
[ -p pipe ] || fail "--report pipe: the FIFO was replaced"
grep -q 'skipped' report_from_pipe || fail "--report pipe: the reader got '$(cat report_from_pipe)'"

# Links to regular files: the file they lead to is replaced, the link stays.
mkdir real
ln -s real/report.txt report_link
ln -s real/games.pgn out_link.pgn
"$program" damaged.pgn "$games" -q -o out_link --overwrite --report report_link 2>stderr
[ -L report_link ] && [ -L out_link.pgn ] || fail "a link was replaced by a file"
grep -q 'skipped' real/report.txt || fail "the report did not reach the file the link leads to"
[ "$(games_in real/games.pgn)" = "$expected" ] || fail "the games did not reach the file the link leads to"

# A folder as the report is refused before anything is read.
"$program" "$games" -q -o out --report real 2>stderr
[ $? -eq 2 ] || fail "--report on a folder: exit status"

# A tag of 300 bytes as a split file's name: every name made, the temporary file's too, fits
# 255 bytes, whether the file is new, replaced or appended to.
long=$(printf 'x%.0s' $(seq 300))
printf '[Event "%s"]\n[White "a"]\n[Black "b"]\n[Result "1-0"]\n\n1. e4 e5 1-0\n' "$long" >long.pgn
for mode in --overwrite --overwrite --append; do
  "$program" long.pgn -q --split-event -o l $mode 2>stderr || fail "--split-event $mode: exit $?: $(cat stderr)"
done
made=$(ls | grep '^l_tournament=')
[ "$(echo "$made" | wc -l)" = 1 ] || fail "--split-event made: $made"
[ ${#made} -le 255 ] || fail "a name of ${#made} bytes"
[ "$(games_in "$made")" = 2 ] || fail "$made holds $(games_in "$made") games, not 2"
# A base the user gave is not cut, but its temporary file fits.
base=$(printf 'b%.0s' $(seq 251))
"$program" "$games" -q -o "$base" --overwrite 2>stderr || fail "a base of 251 bytes: exit $?: $(cat stderr)"
[ "$(games_in "$base.pgn")" = "$expected" ] || fail "a base of 251 bytes: the games were not written"

# Appending to a file whose last line is unended starts on a new line: every game reads back.
printf '[Event "before"]\n[Result "*"]\n\n1. e4 *' >unended.pgn
"$program" "$games" -q -o unended 2>stderr || fail "appending to unended.pgn: exit $?"
"$program" unended.pgn -q -o /dev/null 2>stderr
grep -q "^$((expected + 1)) games read" stderr || fail "appended to an unended line: $(cat stderr)"

# Appending plain text to a compressed file would damage it: refused, the file as it was.
gzip -c "$games" >packed.pgn
cp packed.pgn packed_before.pgn
"$program" "$games" -q -o packed 2>stderr && fail "appending to a gzip file was accepted"
grep -q 'stored as gzip' stderr && ! grep -q 'appended to' stderr || fail "appending to a gzip file: $(cat stderr)"
cmp -s packed.pgn packed_before.pgn || fail "the gzip file was changed"

[ $failures -eq 0 ] && echo "output targets: all as expected"
exit $failures
