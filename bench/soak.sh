#!/usr/bin/env bash
# Prints the soak figures: the in-process soak test's objects alive and private memory, then the
# real velmora.exe counting down for ten minutes with its memory at the start and the end.
# Usage: bench/soak.sh [build-dir] [--minutes N] [--warm-up S] [--only in-process|real].
# The build dir defaults to that of the program this host runs (build/win32 or build/win64) and
# must hold velmora.exe and the test programs.
# shellcheck source=bench/session.sh
source "$(dirname "$0")/session.sh" "$@"
/usr/bin/python3 bench/soak.py "${BENCH_ARGS[@]}"
