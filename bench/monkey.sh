#!/usr/bin/env bash
# The monkey run's long form: ten thousand seeded random events on the real velmora.exe (about an
# hour), going on after a finding; prints the events done, the restarts, the commands issued and
# the findings. Usage: bench/monkey.sh [build-dir] [--seed N] [--events M].
# Without --seed the seed comes from the clock and is printed, so a finding can be replayed with
# tests/e2e/monkey.py --seed N --events M.
# shellcheck source=bench/session.sh
source "$(dirname "$0")/session.sh" "$@"
cd tests/e2e
/usr/bin/python3 monkey.py --events 10000 --keep-going "${BENCH_ARGS[@]}"
