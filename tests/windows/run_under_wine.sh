#!/usr/bin/env bash
# Runs a cross-built test executable under Wine. Usage: run_under_wine.sh WORK EXE [ARGS...]
set -u
. "$(dirname "$0")/wine.sh" "$1"
shift
exec wine "$@"
