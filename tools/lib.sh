# Sourced by the scripts in tools/, from the repository's root: the facts
# they share, each stated once here or read from the file that holds it.

# The version, as project() in CMakeLists.txt gives it.
version=$(sed -n 's/^project(primebench VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# Parallel jobs for a build or a test run.
jobs=$(nproc 2>/dev/null || echo 2)

# packages STAGE...: the Debian packages of those stages of tools/packages.
packages() {
  local stage
  for stage; do sed -n "s/^$stage: *//p" tools/packages; done | xargs
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q ' installed$'; }
# update_package_lists [APT-GET...]: an update of apt's lists, by the command
# given for apt-get (one that adds sudo), or apt-get. A package source that serves one index out of step with
# its release file ("Mirror sync in progress?") fails the whole update, yet
# apt keeps every list it could read. So a failed update is tried once more,
# then the run goes on with those lists: an install that needs a list that
# is missing fails there, naming the package.
update_package_lists() {
  [ $# -gt 0 ] || set -- apt-get
  "$@" update -q && return 0
  echo "apt-get update failed; trying again in 30 s" >&2
  sleep 30
  "$@" update -q && return 0
  echo "apt-get update failed again: going on with the package lists it could read" >&2
}
# wine_loaders_not_wanted: "wine32:ARCH-" for each foreign architecture of
# dpkg's whose Wine loader this machine cannot run, as apt-get install
# arguments that keep it out (and take it away where it came in before).
# wine64 recommends wine32, and apt meets that with any architecture that
# has one: with armhf added and i386 not, wine32:armhf, after which
# /usr/bin/wine starts the ARM loader and every run fails with "Exec format
# error". The native architecture's own 32-bit partner (i386 beside amd64,
# armhf beside arm64) runs, and stays welcome. Only names that apt knows:
# it refuses to remove a package it has never heard of.
wine_loaders_not_wanted() {
  local partner arch
  case $(dpkg --print-architecture) in
    amd64) partner=i386 ;;
    arm64) partner=armhf ;;
    *) partner= ;;
  esac
  for arch in $(dpkg --print-foreign-architectures); do
    [ "$arch" != "$partner" ] && [ -n "$(apt-cache policy "wine32:$arch" 2>/dev/null)" ] && echo "wine32:$arch-"
  done | xargs
}
# missing_of STAGE...: those of their packages that are not installed.
missing_of() {
  local package
  for package in $(packages "$@"); do installed "$package" || echo "$package"; done | xargs
}

# A setting of a target's toolchain file, cmake/TRIPLE.cmake: its set(NAME
# VALUE). The target native is this machine, with its own compiler.
toolchain_setting() {
  sed -n "s/^set($2 \([^ )]*\).*/\1/p" "cmake/$1.cmake"
}
# The architecture names of a target's packages, as Debian and RPM name them.
deb_arch() {
  if [ "$1" = native ]; then dpkg --print-architecture; else toolchain_setting "$1" CPACK_DEBIAN_PACKAGE_ARCHITECTURE; fi
}
rpm_arch() {
  if [ "$1" = native ]; then uname -m; else toolchain_setting "$1" CPACK_RPM_PACKAGE_ARCHITECTURE; fi
}

# The build of a target that tools/run-tests makes and tests.
tested_build() { if [ "$1" = native ]; then echo build; else echo "build-$1"; fi; }

# llvm_tool NAME: LLVM's tool NAME, by its plain name or, where Debian only
# has it with the version (llvm-lipo-14), the newest such.
llvm_tool() {
  command -v "$1" && return
  compgen -c "$1-" | grep -E "^$1-[0-9]+$" | sort -t- -k3n | tail -n 1 | grep . ||
    { echo "no $1 (Debian: llvm)" >&2; return 1; }
}

# The Zig that builds the macOS and Windows on ARM programs (tools/setup-zig).
zig_home=.cache/zig

# The release, a row a program: its target (native, or a toolchain file's
# triple; two joined by + are one universal program), then what is made of
# it, each a file in dist/:
#   deb, rpm     the Debian package and the RPM, named as each system names them
#   SYSTEM-ARCH  primebench-<version>-SYSTEM-ARCH, a .zip for Windows and a
#                .tar.gz else, unpacking into a folder of that name with the
#                program (statically linked for Linux) and its documents
release=(
  "native deb rpm linux-x86_64"
  "aarch64-linux-gnu deb rpm linux-aarch64"
  "arm-linux-gnueabihf deb linux-armhf"
  "x86_64-w64-mingw32 windows-x86_64"
  "aarch64-windows-gnu windows-arm64"
  "aarch64-macos+x86_64-macos macos-universal"
)
# The source tarball, from which every program of the release is built.
source_tarball=primebench-$version.tar.gz
# The release's date, the last commit's, for every date it writes: in the
# archives, and in the Windows programs' headers, which a strip rewrites.
release_epoch=$(git log -1 --format=%ct 2>/dev/null || true)
# Where tools/make-release builds: a folder a target, static-TARGET for the
# statically linked Linux programs.
release_work=build-release

# release_file TARGET KIND: the name of the file of that kind made of TARGET.
release_file() {
  case $2 in
    deb) echo "primebench_${version}_$(deb_arch "$1").deb" ;;
    rpm) echo "primebench-$version-$(sed -n 's/^set(CPACK_RPM_PACKAGE_RELEASE \(.*\))/\1/p' packaging/rpm.cmake).$(rpm_arch "$1").rpm" ;;
    windows-*) echo "primebench-$version-$2.zip" ;;
    *) echo "primebench-$version-$2.tar.gz" ;;
  esac
}

# Every file of the release, SHA256SUMS last.
release_files() {
  local row target kinds kind
  for row in "${release[@]}"; do
    read -r target kinds <<<"$row"
    for kind in $kinds; do release_file "$target" "$kind"; done
  done
  echo "$source_tarball"
  echo SHA256SUMS
}
