#!/usr/bin/env bash
# Prints the start-up, memory and size figures of velmora.exe against the window that does only
# what the timer's must (and, for information, a minimal window program), and the size of each
# released program file. Makes the release first (tools/release.sh, into dist/).
# Usage: bench/run.sh [build-dir] [--runs N] [--breakdown]; the build dir defaults to that of the
# program this host runs (build/win32 or build/win64) and must hold velmora.exe, the yardsticks of
# bench/ and the test programs of tests/programs (its build makes them all).
"$(dirname "$0")/../tools/release.sh" >/dev/null || exit 1
# shellcheck source=bench/session.sh
source "$(dirname "$0")/session.sh" "$@"
/usr/bin/python3 bench/startup.py "${BENCH_ARGS[@]}"
