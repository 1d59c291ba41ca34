#!/usr/bin/env bash
# A complete run of primebench.exe under Wine with no console at all, as from
# a scheduled task: it must end by itself after the prompt, print exactly the
# expected output and exit with status 0.
# Usage: complete_run.sh WORK EXE EXPECTED
set -u
. "$(dirname "$0")/wine.sh" "$1"
exe=$2 expected=$3
out="$work/complete_run.out"
setsid wine "$exe" </dev/null >"$out" 2>"$work/complete_run.err"
status=$?
if [ "$status" -ne 0 ]; then
  echo "exit status $status"; cat "$work/complete_run.err"; exit 1
fi
actual=$(fold_crlf "$out" | sed -E 's/^Time taken: [0-9]+ Minutes, [0-5]?[0-9] Seconds, [0-9]{1,3} Milliseconds$/Time taken: T/')
if [ "$actual" != "$(cat "$expected")" ]; then
  echo "unexpected output:"; cat "$out"; exit 1
fi
echo "complete run under Wine: output as expected, exit status 0"
