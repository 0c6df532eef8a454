#!/usr/bin/env bash
# Builds the Windows program and starts it (under Wine on Linux). Installs what is missing.
# Runs the program this host can run (tools/arch.sh; VELMORA_ARCH=win32|win64 forces one).
# Uses the desktop's DISPLAY when there is one; otherwise starts a private Xvfb, says how to look
# at it, and stops it when the program ends. On any failure it says in one line what failed and
# what to do, and stops whatever it started.
set -uo pipefail
cd "$(dirname "$0")"

xvfb_dir=""
cleanup() {
  if [ -n "$xvfb_dir" ]; then
    # Wine's own services outlive the program and would complain when their display goes away.
    wineserver -k >/dev/null 2>&1
    [ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" 2>/dev/null
    rm -rf "$xvfb_dir"
  fi
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP  # through the EXIT trap
fail() {
  echo "run.sh: $*" >&2
  exit 1
}

tools/install-deps.sh ||
  fail "installing the packages failed (above); run tools/install-deps.sh again once apt-get works"
# shellcheck source=tools/wine-prefix.sh
source tools/wine-prefix.sh || exit 1  # it said why
# The toolchain is named only when the build folder is made (cmake warns when it is named again).
if [ ! -f "$VELMORA_BUILD/CMakeCache.txt" ]; then
  cmake -S . -B "$VELMORA_BUILD" -DCMAKE_TOOLCHAIN_FILE="$VELMORA_TOOLCHAIN" >/dev/null ||
    fail "configuring $VELMORA_BUILD failed (above); remove that folder and run again"
fi
cmake --build "$VELMORA_BUILD" -j"$(nproc)" --target velmora ||
  fail "building $VELMORA_BUILD/velmora.exe failed (the compiler's errors are above)"

export WINEPREFIX="${WINEPREFIX:-$VELMORA_USER_PREFIX}"
if [ -z "${DISPLAY:-}" ]; then
  xvfb_dir=$(mktemp -d) || fail "no temporary folder for Xvfb: is /tmp writable?"
  velmora_start_xvfb "$xvfb_dir" || exit 1  # it said why
  echo "run.sh: no DISPLAY; started Xvfb on $DISPLAY (look with: import -display $DISPLAY -window root shot.png)"
fi
if [ ! -f "$WINEPREFIX/.velmora-fonts" ]; then
  echo "run.sh: preparing the $VELMORA_ARCH Wine prefix $WINEPREFIX (about 20 s, once)"
fi
velmora_prepare_prefix || exit 1  # it said why
echo "run.sh: starting $VELMORA_BUILD/velmora.exe under $VELMORA_WINE ($VELMORA_ARCH_WHY)"
"$VELMORA_WINE" "$VELMORA_BUILD/velmora.exe" ||
  fail "Wine could not run $VELMORA_BUILD/velmora.exe (exit $?)"
