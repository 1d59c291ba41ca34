#!/usr/bin/env bash
# The short-run program under Wine with no console at all: the whole output
# of a single run and of a rate run on three threads, each ended by itself
# after the prompt with status 0.
# Usage: short_run.sh WORK EXE EXPECTED
set -u
here=$(dirname "$0")
. "$here/wine.sh" "$1"
. "$here/transcript.sh"
exe=$2 expected=$3
failures=0
for threads in "" 3; do
  out="$work/short_run${threads}.out"
  setsid wine "$exe" ${threads:+--threads "$threads"} </dev/null >"$out" 2>"$work/short_run.err"
  status=$?
  name="short run${threads:+ on $threads threads}"
  if [ "$status" -ne 0 ]; then
    echo "FAIL $name: exit status $status"; cat "$work/short_run.err"; failures=$((failures + 1))
  else
    check_run "$name" "$out" "$expected" "$threads" || failures=$((failures + 1))
  fi
done
exit $((failures > 0))
