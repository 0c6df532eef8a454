#!/usr/bin/env bash
# Builds the Windows program and starts it (under Wine on Linux). Installs what is missing.
# Uses the desktop's DISPLAY when there is one; otherwise starts a private Xvfb, says how to look
# at it, and stops it when the program ends.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
# The toolchain is named only when the build folder is made (cmake warns when it is named again).
[ -f build/win32/CMakeCache.txt ] ||
  cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j"$(nproc)" --target velmora

export WINEPREFIX="${WINEPREFIX:-$HOME/.velmora-wine}"
# shellcheck source=tools/wine-prefix.sh
source tools/wine-prefix.sh
if [ -z "${DISPLAY:-}" ]; then
  xvfb_dir=$(mktemp -d)
  # Wine's own services outlive the program and would complain when their display goes away.
  trap 'wineserver -k 2>/dev/null; kill "$VELMORA_XVFB_PID" 2>/dev/null; rm -rf "$xvfb_dir"' EXIT
  velmora_start_xvfb "$xvfb_dir"
  echo "run.sh: no DISPLAY; started Xvfb on $DISPLAY (look with: import -display $DISPLAY -window root shot.png)"
fi
if [ ! -f "$WINEPREFIX/.velmora-fonts" ]; then
  echo "run.sh: preparing the 32-bit Wine prefix $WINEPREFIX (about 20 s, once)"
fi
velmora_prepare_prefix
wine build/win32/velmora.exe
