#!/usr/bin/env bash
# Prints the soak figures: the in-process soak test's objects alive and private memory, then the
# real velmora.exe counting down for ten minutes with its memory at the start and the end.
# Usage: bench/soak.sh [build-dir] [--minutes N] [--warm-up S] [--only in-process|real].
# The build dir defaults to build/win32 and must hold velmora.exe and the test programs.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/win32
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  build=$1
  shift
fi
export VELMORA_BUILD_DIR
VELMORA_BUILD_DIR=$(cd "$build" && pwd)
# shellcheck source=tools/wine-session.sh
source tools/wine-session.sh
/usr/bin/python3 bench/soak.py "$@"
