#!/usr/bin/env bash
# Prints the timing figures of the countdown and the actions: command latency after the target
# second, every second of a countdown shown once, CPU time of idle ticking against a minimal
# window program. Usage: bench/timing.sh [build-dir] [--quick] [--only latency|countdown|cpu]
# [--firings N] [--countdown S] [--cpu-seconds S] [--cpu-rounds N] [--cpu-breakdown]. The full
# run takes about a quarter of an hour. The build dir defaults to that of the program this host
# runs (build/win32 or build/win64) and must hold velmora.exe, the yardsticks of bench/ and the
# test programs of tests/programs (its build makes them all).
# shellcheck source=bench/session.sh
source "$(dirname "$0")/session.sh" "$@"
/usr/bin/python3 bench/timing.py "${BENCH_ARGS[@]}"
