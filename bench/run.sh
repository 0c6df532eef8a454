#!/usr/bin/env bash
# Prints the start-up, memory and size figures of velmora.exe against a minimal window program.
# Usage: bench/run.sh [build-dir] [--runs N] [--breakdown]; the build dir defaults to build/win32
# and must hold velmora.exe, the yardsticks of bench/ and the test programs of tests/programs
# (the win32 build makes them all).
# shellcheck source=bench/session.sh
source "$(dirname "$0")/session.sh" "$@"
/usr/bin/python3 bench/startup.py "${BENCH_ARGS[@]}"
