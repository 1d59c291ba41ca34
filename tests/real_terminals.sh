#!/usr/bin/env bash
# Real keys from real terminal emulators: under Xvfb, each terminal runs the
# benchmark and xdotool types into it through XTEST, as a keyboard would, so
# what is checked is what each terminal really sends for a key.
#
# The benchmark's output goes to a file, unbuffered (stdbuf), so that the line
# for the 1,000,000th prime shows when to type: the next checkpoint is some
# 200 ms away. Each case types a key and then Esc in one go; every code the
# key reads as costs one checkpoint, a dot, before the Esc ends the run. A key
# typed late can only add dots, never remove them, so a case with too many is
# tried once more; a key read as Esc shows as too few, a key that swallows the
# Esc as a run that never ends.
# Usage: real_terminals.sh PRIMEBENCH
set -u
bin=$1
for tool in Xvfb xdotool stdbuf; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (Debian: xvfb, xdotool)"; exit 77; }
done

work=$(mktemp -d)
. "$(dirname "$0")/xvfb.sh" "$work"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT

# The dots between the first report line and "Exiting...", or what went wrong.
dots_in() {
  local text
  text=$(tr -d '\r' <"$1")
  case $text in
    *"1,000,000th Prime: 15485863"$'\n'*$'\n'Exiting...) ;;
    *) echo "unexpected output: $text"; return ;;
  esac
  text=${text#*15485863$'\n'}
  text=${text%$'\n'Exiting...}
  [ -z "${text//./}" ] && echo "${#text}" || echo "unexpected output: $text"
}

failures=0
checked=0
# NAME TITLE TERMINAL-COMMAND...: starts the terminal with a loop that runs
# the benchmark once for each output file named on a pipe, then types the keys.
check_terminal() {
  local name=$1 title=$2
  shift 2
  if ! command -v "$1" >/dev/null; then
    echo "SKIPPED $name: $1 is not installed"
    return
  fi
  local runs="$work/$name.runs"
  mkfifo "$runs"
  "$@" -e sh -c 'while IFS= read -r out <"$1"; do stdbuf -o0 "$0" >"$out"; done' "$bin" "$runs" \
    >/dev/null 2>&1 &
  local terminal=$! window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -z "$window" ] || ! xdotool windowfocus --sync "$window"; then
    echo "FAIL $name: no window to type into"; failures=$((failures + 1)); kill $terminal; return
  fi
  checked=$((checked + 1))
  local key run=0 got attempt
  for key in Up F1 shift+F3 ctrl+Right alt+Up alt+a Home Insert ctrl+Delete; do
    for attempt in 1 2; do
      run=$((run + 1))
      local out="$work/$name.$run"
      echo "$out" >"$runs"
      if ! wait_for "$out" "1,000,000th Prime" 30; then
        got="no progress"
      else
        xdotool key "$key" Escape
        if wait_for "$out" "Exiting" 10; then
          got=$(dots_in "$out")
        else
          got="the run went on: the Esc was lost"
          xdotool key Escape
          wait_for "$out" "Exiting" 10
        fi
      fi
      [ $attempt = 1 ] && [[ $got =~ ^[0-9]+$ ]] && [ "$got" -gt 2 ] || break
    done
    if [ "$got" = 2 ]; then
      echo "ok   $name $key: 2 codes"
    else
      echo "FAIL $name $key: 2 codes expected, got $got"; failures=$((failures + 1))
    fi
  done
  exec 8>"$runs"; exec 8>&- # ends the loop, and the terminal with it
  wait $terminal 2>/dev/null
}

# xterm sends Alt+a as the character with the eighth bit set unless told to
# send Esc first, as users who want Alt keys do.
check_terminal xterm pb-xterm xterm -T pb-xterm -xrm 'XTerm*metaSendsEscape: true'
check_terminal rxvt-unicode pb-urxvt urxvt -title pb-urxvt
check_terminal st pb-st stterm -t pb-st
[ $checked -eq 0 ] && { echo "SKIPPED: none of the terminals is installed (Debian: xterm, rxvt-unicode, stterm)"; exit 77; }
exit $((failures > 0))
