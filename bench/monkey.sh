#!/usr/bin/env bash
# The monkey run's long form: twenty runs of 500 seeded random events on the real velmora.exe
# (about an hour), each from the next seed, so that a finding ends its own run only. Prints each
# run's summary, and each finding with the command that replays it.
# Usage: bench/monkey.sh [build-dir] [--seed N] [--runs R] [--events M]; without --seed the first
# seed comes from the clock.
# shellcheck source=bench/session.sh
source "$(dirname "$0")/session.sh" "$@"
seed=$(($(date +%s) % 1000000)) runs=20 events=500
set -- "${BENCH_ARGS[@]}"
while [ $# -gt 1 ]; do
  case $1 in
    --seed) seed=$2 ;;
    --runs) runs=$2 ;;
    --events) events=$2 ;;
    *) break ;;
  esac
  shift 2
done
if [ $# -gt 0 ]; then
  echo "usage: bench/monkey.sh [build-dir] [--seed N] [--runs R] [--events M]" >&2
  exit 2
fi
cd tests/e2e || exit
found=0
for ((run = 0; run < runs; run++)); do
  /usr/bin/python3 monkey.py --seed $((seed + run)) --events "$events" || found=$((found + 1))
done
echo "monkey: $runs runs of $events events from seed $seed; $found ended on a finding"
[ "$found" -eq 0 ]
