# Shared by the tests that type real keys into windows: a virtual display of
# their own, a wait for a window, a wait for text to reach a file, and the
# keys typed.
# Usage: . xvfb.sh WORK_DIR; then $xvfb is the server's pid, for the caller's
# exit trap to end.
Xvfb -displayfd 9 -screen 0 1024x768x24 9>"$1/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$1/display")"

wait_for() { # FILE TEXT SECONDS
  local deadline=$((SECONDS + $3))
  until grep -q -- "$2" "$1" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.01
  done
}

window_named() { # NAME-PATTERN SECONDS: prints the id of a visible window so named
  local window tries=$(($2 * 10))
  for _ in $(seq "$tries"); do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$window" ] && { echo "$window"; return; }
    sleep 0.1
  done
  return 1
}

# xdotool types a key named by its keysym with the modifiers under which the
# keymap lists that keysym, and since xkb-data 2.4x the F keys' keysym is
# listed under Alt as well: "F3" came out as Alt+F3, and "shift+F3" as
# Shift+Alt+F3. A key named by its keycode goes with no modifier but those
# named, so the F keys go by theirs: Xvfb's keycodes are evdev's, the Linux
# input code plus 8 (F1 to F10: 67 to 76).
type_keys() { # KEY... as xdotool names them (shift+F3)
  local key keys=()
  for key; do
    case ${key##*+} in
      F[1-9] | F10) key=${key%F*}$((66 + ${key##*F})) ;;
    esac
    keys+=("$key")
  done
  xdotool key "${keys[@]}"
}
