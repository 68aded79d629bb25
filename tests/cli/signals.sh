#!/bin/sh
# pgnutil ended by a signal while it waits for standard input: the exit status is 128 plus the
# signal, and nothing it made is left in the temporary folder.
#   tests/cli/signals.sh PGNUTIL
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/tmp"
mkdir "$TMPDIR"
mkfifo "$work/input"
failures=0
# The name the system gives the process once it runs the program: at most 15 bytes of the file's.
name_of_program=$(basename "$program" | cut -c1-15)

for pair in TERM:15 INT:2 HUP:1; do
  signal=${pair%:*}
  # The fifo is held open for writing, so pgnutil waits for more input until the signal comes.
  exec 3<>"$work/input"
  # Run with the signals' default handling: a shell has SIGINT ignored in what it runs in the
  # background, and pgnutil keeps a signal ignored that it inherits so (as nohup expects).
  env --default-signal=INT,TERM,HUP "$program" - -q -o "$work/out" <"$work/input" 2>"$work/stderr" &
  pid=$!
  # Wait until it catches the signal (it does before it reads), at most ten seconds: the mask
  # of signals caught in /proc has bit n-1 for signal n. The process must be pgnutil already:
  # the shell forked for it catches SIGINT itself until it starts the program, and a signal
  # sent then would end the shell's child instead. Name and mask come from one read.
  bit=$(printf '%x' $((1 << (${pair#*:} - 1))))
  tries=0
  while [ $tries -lt 1000 ]; do
    state=$(cat "/proc/$pid/status" 2>/dev/null)
    name=$(printf '%s\n' "$state" | sed -n 's/^Name:[[:space:]]*//p')
    caught=$(printf '%s\n' "$state" | sed -n 's/^SigCgt:[[:space:]]*//p')
    [ "$name" = "$name_of_program" ] && [ -n "$caught" ] && [ $(( 0x$caught & 0x$bit )) -ne 0 ] && break
    tries=$((tries + 1))
    sleep 0.01
  done
  kill -s "$signal" "$pid"
  wait "$pid"
  status=$?
  exec 3>&-
  expected=$((128 + ${pair#*:}))
  if [ "$status" -ne "$expected" ]; then
    echo "SIG$signal: exit status $status, expected $expected"; cat "$work/stderr"; failures=$((failures + 1))
  fi
  if [ -n "$(ls "$TMPDIR")" ]; then
    echo "SIG$signal: left behind: $(ls "$TMPDIR")"; failures=$((failures + 1))
    rm -rf "${TMPDIR:?}"/*
  fi
  if ! grep -q "stopped; what was complete is kept" "$work/stderr"; then
    echo "SIG$signal: no word of the stop"; cat "$work/stderr"; failures=$((failures + 1))
  fi
done
exit $failures
