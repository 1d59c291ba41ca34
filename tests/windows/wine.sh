# Shared by the Wine tests: skip cleanly without Wine, and keep Wine's state
# in the build tree, away from the user's own prefix.
# Usage: . wine.sh WORK_DIR [extra tools...]
mkdir -p "$1" && work=$(cd "$1" && pwd)
shift
for tool in wine wineserver winepath "$@"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (tools/packages: wine${*:+, display})"
    exit 77
  fi
done
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all
# Installed is not the same as able to run: a Wine whose loader this machine
# cannot execute (an ARM one, brought in by an added armhf architecture)
# fails every start. That is a fault of the machine's setup, not a reason to
# skip.
if ! wine_says=$(wine --version 2>&1); then
  echo "FAIL: Wine is installed but cannot run a program: $wine_says"
  exit 1
fi
if [ ! -d "$WINEPREFIX" ]; then
  # The first start sets the prefix up, which takes a while; not in a timed case.
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# The C runtime ends lines with CR LF; the program's own output has LF.
fold_crlf() { sed 's/\r$//' "$1"; }
