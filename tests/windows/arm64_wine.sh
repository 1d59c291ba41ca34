#!/usr/bin/env bash
# The Windows on ARM programs run for real: under Debian's own arm64 Wine, in
# an arm64 Debian root whose programs run through qemu-user. Runs the unit
# tests, then the short-run program alone and on three threads, each with
# no console, against the expected transcript, and its --version and its
# result in JSON.
#
# The root is made once, in .cache/arm64-wine (which git ignores), and
# reused: debootstrap's first stage here, its second under emulation, with
# Wine and what it needs but nothing it only recommends. qemu-user-static and
# debootstrap are fetched with apt-get download and unpacked there, never
# installed. For the run this registers a binfmt_misc entry of its own name
# (Debian's aarch64 line, with the unpacked interpreter, flags OPF: the
# kernel opens it at once, so the root needs no copy) and mounts /proc, /dev
# and /dev/pts in the root; it undoes each when it ends, interrupted or not,
# touches no other entry, and never removes a directory with a mount in it.
#
# Exits 77, saying why, where that cannot be set up: not root, no
# binfmt_misc, no candidate for a package, no network for the root.
# Usage: arm64_wine.sh UNIT_TESTS_EXE SHORT_RUN_EXE EXPECTED
#        arm64_wine.sh --prepare      (makes the root, and runs nothing)
set -uo pipefail
prepare_only=false
if [ "${1:-}" = --prepare ]; then
  prepare_only=true
else
  unit_tests=$(realpath "$1") short_run=$(realpath "$2") expected=$(realpath "$3")
fi
here=$(cd "$(dirname "$0")" && pwd)
. "$here/transcript.sh"
home=$(cd "$here/../.." && pwd)/.cache/arm64-wine
root=$home/root
tools=$home/tools
binfmt=/proc/sys/fs/binfmt_misc
entry=primebench-qemu-aarch64
suite=bookworm

skip() {
  echo "SKIPPED: $*"
  exit 77
}
fail() {
  echo "FAIL: $*"
  exit 1
}

# What this run set up, undone in reverse on every way out.
mounts=() registered=false mounted_binfmt=false
undo() {
  if $registered && [ -x "$root/usr/bin/wineserver" ]; then
    chroot "$root" /usr/bin/wineserver -k >/dev/null 2>&1
  fi
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"
  done
  if $registered && [ -e "$binfmt/$entry" ]; then
    echo -1 >"$binfmt/$entry"
  fi
  if $mounted_binfmt; then
    umount "$binfmt"
  fi
}
trap undo EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Whether anything is mounted at or below a directory. /proc/mounts writes a
# space in a path as \040.
has_mounts() {
  awk -v dir="$(realpath -m "$1")" '{ gsub(/\\040/, " ", $2) } $2 == dir || index($2, dir "/") == 1 { found = 1 } END { exit !found }' /proc/mounts
}

# The setup's own: qemu-aarch64-static and debootstrap, unpacked.
fetch_tools() {
  [ -x "$tools/usr/bin/qemu-aarch64-static" ] && [ -x "$tools/usr/sbin/debootstrap" ] && return
  local package candidate
  for package in qemu-user-static debootstrap; do
    candidate=$(apt-cache policy "$package" 2>/dev/null | sed -n 's/^ *Candidate: //p')
    [ -n "$candidate" ] && [ "$candidate" != "(none)" ] || skip "no candidate for $package in apt's lists"
  done
  rm -rf "$home/debs" "$tools"
  mkdir -p "$home/debs"
  (cd "$home/debs" && apt-get -q -o APT::Sandbox::User=root download qemu-user-static debootstrap) ||
    skip "apt-get download qemu-user-static debootstrap failed"
  local deb
  for deb in "$home"/debs/*.deb; do dpkg -x "$deb" "$tools" || fail "cannot unpack $deb"; done
}

# The package source apt fetched debootstrap from: the arm64 root uses it too.
mirror() {
  apt-get -o APT::Sandbox::User=root download --print-uris debootstrap 2>/dev/null |
    sed -n "s|^'\(.*\)/pool/.*|\1|p" | head -n 1
}

# Debian's line for aarch64, with its own name and the unpacked interpreter.
register() {
  if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || skip "no binfmt_misc here"
    mounted_binfmt=true
  fi
  # One of ours left by a run that was killed outright.
  [ ! -e "$binfmt/$entry" ] || echo -1 >"$binfmt/$entry"
  local line
  line=$(sed -n 's/^:qemu-aarch64:\(.*\):[^:]*:[^:]*$/\1/p' "$tools/usr/lib/binfmt.d/qemu-aarch64.conf")
  [ -n "$line" ] || fail "no aarch64 line in qemu-user-static's binfmt.d file"
  echo ":$entry:$line:$tools/usr/libexec/qemu-binfmt/aarch64-binfmt-P:OPF" >"$binfmt/register" ||
    skip "binfmt_misc takes no new entry here"
  registered=true
}

mount_in_root() {
  mount "$@" && mounts+=("${!#}") || fail "cannot mount ${!#}"
}

# The environment Wine runs with: a clean one, no prompts for Mono or Gecko.
in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/bin:/bin LANG=C.UTF-8 WINEDEBUG=-all \
    WINEDLLOVERRIDES='mscoree,mshtml=' "$@"
}

# A root that is ready has Wine set up; anything else is made again.
make_root() {
  [ -f "$root/.ready" ] && return
  if [ -e "$root" ]; then
    has_mounts "$root" && fail "$root has mounts in it: unmount them first"
    rm -rf "$root"
  fi
  local source
  source=$(mirror)
  [ -n "$source" ] || skip "no package source for debootstrap"
  echo "== arm64 root: debootstrap's first stage, from $source"
  DEBOOTSTRAP_DIR=$tools/usr/share/debootstrap "$tools/usr/sbin/debootstrap" --foreign --arch=arm64 \
    --variant=minbase --include=wine64,wine "$suite" "$root" "$source" >"$home/debootstrap.log" 2>&1 ||
    skip "debootstrap's first stage failed (the end of $home/debootstrap.log: $(tail -n 1 "$home/debootstrap.log"))"
  echo "== arm64 root: the second stage, emulated"
  chroot "$root" /debootstrap/debootstrap --second-stage >>"$home/debootstrap.log" 2>&1 ||
    fail "debootstrap's second stage failed: $(tail -n 3 "$home/debootstrap.log")"
}

set_up_wine() {
  [ -f "$root/.ready" ] && return
  echo "== arm64 root: Wine's prefix"
  in_root wineboot -i >/dev/null 2>&1
  in_root wineserver -w
  [ -f "$root/root/.wine/system.reg" ] || fail "wineboot made no prefix"
  touch "$root/.ready"
}

[ "$(id -u)" -eq 0 ] || skip "making and entering an arm64 root needs root"
[ -d "$binfmt" ] || skip "no binfmt_misc in this kernel"
mkdir -p "$home"
fetch_tools
register
start=$SECONDS
make_root
mount_in_root -t proc proc "$root/proc"
mount_in_root --bind /dev "$root/dev"
mount_in_root --bind /dev/pts "$root/dev/pts"
set_up_wine
echo "== arm64 root ready: took $((SECONDS - start)) s"
$prepare_only && exit 0

mkdir -p "$root/work"
cp "$unit_tests" "$short_run" "$root/work/"
failures=0
if in_root setsid wine "/work/$(basename "$unit_tests")" </dev/null >"$home/unit_tests.out" 2>&1; then
  echo "ok   unit tests: $(grep -a 'PASSED' "$home/unit_tests.out" | tr -d '\r')"
else
  echo "FAIL unit tests:"; cat "$home/unit_tests.out"; failures=$((failures + 1))
fi
for threads in "" 3; do
  name="short run${threads:+ on $threads threads}"
  out=$home/short_run$threads.out
  if in_root setsid wine "/work/$(basename "$short_run")" ${threads:+--threads "$threads"} </dev/null >"$out" 2>"$home/short_run.err"; then
    check_run "$name" "$out" "$expected" "$threads" || failures=$((failures + 1))
  else
    echo "FAIL $name: exit status $?"; cat "$out" "$home/short_run.err"; failures=$((failures + 1))
  fi
done
version=$(in_root wine "/work/$(basename "$short_run")" --version </dev/null 2>/dev/null | tr -d '\r')
if [[ $version =~ ^primebench\ [0-9.]+$'\n'built\ by\ .+\ for\ ARM64\ Windows,\ .+$ ]]; then
  echo "ok   --version: ${version//$'\n'/ / }"
else
  echo "FAIL --version: $version"; failures=$((failures + 1))
fi
# The processor's name is what Wine's registry holds under emulation: any
# name will do, but not none.
if command -v python3 >/dev/null; then
  in_root setsid wine "/work/$(basename "$short_run")" --json </dev/null >"$home/result.json" 2>"$home/short_run.err"
  python3 "$here/check_result.py" "$home/result.json" "$expected" - || failures=$((failures + 1))
else
  echo "skipped: the result in JSON: python3 is not installed (tools/packages: wine)"
fi
exit $((failures > 0))
