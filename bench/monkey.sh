#!/usr/bin/env bash
# The monkey run's long form: ten thousand seeded random events on the real velmora.exe (about
# three quarters of an hour), going on after a finding; prints the events done, the restarts, the
# commands issued and the findings. Usage: bench/monkey.sh [build-dir] [--seed N] [--events M].
# Without --seed the seed comes from the clock and is printed, so a finding can be replayed with
# tests/e2e/monkey.py --seed N --events M.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/win32
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  build=$1
  shift
fi
export VELMORA_BUILD_DIR PYTHONDONTWRITEBYTECODE=1
VELMORA_BUILD_DIR=$(cd "$build" && pwd)
# shellcheck source=tools/wine-session.sh
source tools/wine-session.sh
cd tests/e2e
/usr/bin/python3 monkey.py --events 10000 --keep-going "$@"
