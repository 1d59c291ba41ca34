#!/usr/bin/env bash
# What travels with a result from the Windows program under Wine: --version
# names the build, and the short run's result in JSON, read by Python's
# parser, is complete, valid and names the processor as this machine's
# kernel does (CPUID under Wine is the processor's own).
# Usage: result.sh WORK EXE SHORT_RUN_EXE EXPECTED
set -u
here=$(dirname "$0")
. "$here/wine.sh" "$1"
exe=$2 short_run=$3 expected=$4
command -v python3 >/dev/null || { echo "SKIPPED: python3 is not installed (tools/packages: wine)"; exit 77; }
failures=0
version=$(wine "$exe" --version </dev/null | tr -d '\r')
if [[ $version =~ ^primebench\ [0-9.]+$'\n'built\ by\ .+\ for\ .+\ Windows,\ .+$ ]]; then
  echo "ok   --version: ${version//$'\n'/ / }"
else
  echo "FAIL --version: $version"; failures=$((failures + 1))
fi
cpu=$(sed -n 's/^model name[[:space:]]*: *//p' /proc/cpuinfo 2>/dev/null | head -n 1 | sed 's/ *$//')
setsid wine "$short_run" --json </dev/null >"$work/result.json" 2>"$work/result.err"
python3 "$here/check_result.py" "$work/result.json" "$expected" "${cpu:--}" || failures=$((failures + 1))
exit $((failures > 0))
