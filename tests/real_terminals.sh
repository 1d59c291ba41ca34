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
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (tools/packages: display)"; exit 77; }
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
# NAME TITLE PROGRAMS ARGS...: starts the first of PROGRAMS (names a|b) that
# is installed with a loop that runs the benchmark once for each output file
# named on a pipe, then types the keys. A terminal that ends before it shows
# a window cannot start on this system, which is no fault of ours: skipped,
# with what it said.
check_terminal() {
  local name=$1 title=$2 program="" candidate
  for candidate in ${3//|/ }; do
    command -v "$candidate" >/dev/null && { program=$candidate; break; }
  done
  shift 3
  if [ -z "$program" ]; then
    echo "SKIPPED $name: not installed (tools/packages: terminals)"
    return
  fi
  local runs="$work/$name.runs" log="$work/$name.log"
  mkfifo "$runs"
  "$program" "$@" -e sh -c 'while IFS= read -r out <"$1"; do stdbuf -o0 "$0" >"$out"; done' "$bin" "$runs" \
    >"$log" 2>&1 &
  local terminal=$! window
  window=$(window_named "^$title\$" 10)
  if [ -z "$window" ] && ! kill -0 $terminal 2>/dev/null; then
    local status=0
    wait $terminal || status=$?
    echo "SKIPPED $name: $program cannot start here (status $status): $(tail -n 3 "$log" | tr '\n' ' ')"
    return
  fi
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
        type_keys "$key" Escape
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
# Debian's st was stterm until 0.9.3, which installs it as st.
check_terminal st pb-st 'stterm|st' -t pb-st
[ $checked -eq 0 ] && { echo "SKIPPED: no terminal to type into (tools/packages: terminals)"; exit 77; }
exit $((failures > 0))
