#!/usr/bin/env bash
# Builds the Windows program and starts it (under Wine on Linux). Installs what is missing.
# Uses the desktop's DISPLAY when there is one; otherwise starts a private Xvfb and says so.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j"$(nproc)" --target velmora

export WINEARCH=win32
export WINEPREFIX="${WINEPREFIX:-$HOME/.velmora-wine}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :77 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  export DISPLAY=:77
  echo "run.sh: no DISPLAY; started Xvfb on :77 (use 'import -display :77 -window root shot.png' to look)"
fi
if [ ! -d "$WINEPREFIX" ]; then
  echo "run.sh: creating the 32-bit Wine prefix $WINEPREFIX (about 10 s)"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
tools/wine-fonts.sh
exec wine build/win32/velmora.exe
