#!/usr/bin/env bash
# Installs whatever the build and the tests need and is missing (Debian; sudo when not root).
set -euo pipefail

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
# Both Windows programs: the 32-bit one (mingw-w64 i686, wine32) and the 64-bit one for hosts that
# cannot run 32-bit code (mingw-w64 x86-64, wine64).
for pkg in cmake g++ clang libgtest-dev googletest g++-mingw-w64-i686 binutils-mingw-w64-i686 \
           g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine32:i386 wine64 \
           xvfb xdotool imagemagick x11-utils \
           fonts-arphic-uming fonts-arphic-ukai python3 python3-pytest python3-xlib; do
  have_pkg "$pkg" || need+=("$pkg")
done

if [ ${#need[@]} -eq 0 ]; then exit 0; fi
echo "install-deps: installing ${need[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
