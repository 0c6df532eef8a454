# Sourced by the bench scripts: takes an optional build folder (default: the one of the program
# this host runs, tools/arch.sh; VELMORA_ARCH forces one) from the front of the arguments into
# VELMORA_BUILD_DIR, leaves the rest in BENCH_ARGS, and starts the private Xvfb and Wine prefix.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
# shellcheck source=tools/arch.sh
source tools/arch.sh
build=$VELMORA_BUILD
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  build=$1
  shift
fi
BENCH_ARGS=("$@")
export VELMORA_BUILD_DIR PYTHONDONTWRITEBYTECODE=1
VELMORA_BUILD_DIR=$(cd "$build" && pwd)
# shellcheck source=tools/wine-session.sh
source tools/wine-session.sh
# Wine's services (explorer.exe, services.exe, ...) take the environment, so the group tag, of
# the process that boots them, and the rig's stop kills a group's tagged processes; and without
# a persistent wineserver they end with the last program, to be booted again by the next. Boot
# them once here, untagged, and keep them for the whole run, so no figure holds their start-up.
wineserver -p
"$VELMORA_WINE" wineboot >/dev/null 2>&1  # not /usr/bin/wineboot: it tries the 32-bit loader first
