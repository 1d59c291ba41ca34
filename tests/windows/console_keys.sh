#!/usr/bin/env bash
# Real console key events for primebench.exe: Xvfb gives Wine a display,
# wineconsole gives the program a console window, and xdotool types into that
# window through the X server, so the program reads key events with their
# scan codes, enhanced flag and modifier state, as on Windows.
#
# Each case waits until the line for the 1,000,000th prime has reached the
# output file (Wine writes redirected output line by line), then presses its
# keys at once; the next checkpoint is some 300 ms away. Esc alone then ends
# the run at the next checkpoint, with no dot after that line; every code read
# before the Esc costs one more checkpoint and shows as one more dot.
# Usage: console_keys.sh WORK EXE
set -u
. "$(dirname "$0")/wine.sh" "$1" wineconsole Xvfb xdotool
exe=$2
windows_exe=$(winepath -w "$exe")

. "$(dirname "$0")/../xvfb.sh" "$work"
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
# Wine's first console window on a new display did not show within a minute
# here; opening and closing one first avoids that.
wineconsole cmd /c exit >/dev/null 2>&1
wineserver -w

failures=0
press() { # NAME EXPECTED_DOTS KEYS...
  local name=$1 dots=$2
  shift 2
  local out="$work/keys.out"
  rm -f "$out"
  wineconsole cmd /c "$windows_exe > $(winepath -w "$out")" >/dev/null 2>&1 &
  local console=$! window trouble=""
  window=$(window_named 'cmd\.exe' 60)
  if [ -z "$window" ]; then
    trouble="no console window"
  elif ! xdotool windowfocus --sync "$window"; then
    trouble="the console window takes no focus"
  elif ! wait_for "$out" "1,000,000th Prime" 120; then
    trouble="no progress"
  fi
  if [ -n "$trouble" ]; then
    echo "FAIL $name: $trouble"; failures=$((failures + 1))
    kill $console 2>/dev/null; wineserver -k 2>/dev/null; return
  fi
  type_keys "$@"
  local deadline=$((SECONDS + 60))
  while kill -0 $console 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  local expected
  expected="$(printf 'Computing 15,000,000 Prime Numbers - Esc to quit...\n..........\n 1,000,000th Prime: 15485863\n%s\nExiting...' "$(printf "%${dots}s" | tr ' ' .)")"
  if [ "$(fold_crlf "$out")" = "$expected" ]; then
    echo "ok   $name: $dots dots after the first report line"
  else
    echo "FAIL $name: got"; cat "$out"; echo; failures=$((failures + 1))
  fi
  wineserver -w 2>/dev/null
}

press "Esc alone" 0 Escape
press "F1, then Esc" 2 F1 Escape
press "Up, then Esc" 2 Up Escape
press "a letter, then Esc" 1 a Escape
press "a lone Shift, then Esc" 0 shift Escape
exit $((failures > 0))
