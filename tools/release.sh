#!/usr/bin/env bash
# Makes the release into one folder (default dist/): velmora-<version>-win32.zip and
# velmora-<version>-win64.zip, packed by CPack from Release builds in build/win32 and build/win64
# (each holds the stripped velmora.exe and README.txt), and SHA256SUMS for both.
#   tools/release.sh [folder]
set -euo pipefail
cd "$(dirname "$0")/.."
dist=${1:-dist}
mkdir -p "$dist"
rm -f "$dist"/velmora-*.zip "$dist/SHA256SUMS"
for arch in win32 win64; do
  toolchain=cmake/mingw-i686.cmake
  [ "$arch" = win64 ] && toolchain=cmake/mingw-x86_64.cmake
  # The toolchain is named only when the build folder is made (cmake warns when it is named again).
  [ -f "build/$arch/CMakeCache.txt" ] ||
    cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      >/dev/null
  cmake --build "build/$arch" -j"$(nproc)" --target velmora
  [ "$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "build/$arch/CMakeCache.txt")" = Release ] || {
    echo "release.sh: build/$arch is not a Release build; remove it and run again" >&2
    exit 1
  }
  (cd "build/$arch" && cpack -G ZIP >/dev/null)
  name=$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "build/$arch/CPackConfig.cmake")
  cp "build/$arch/$name.zip" "$dist/"
done
(cd "$dist" && sha256sum velmora-*.zip >SHA256SUMS)
echo "release.sh: $(cd "$dist" && pwd):"
ls -l "$dist"
