# Sourced by every script that builds or runs the Windows program: the one place that decides
# which of its two builds this host runs, and how.
#   win32: the 32-bit program (the product), under /usr/bin/wine in a 32-bit prefix;
#   win64: the same sources built for x86-64, under Wine's 64-bit loader in a 64-bit prefix, for
#          hosts that cannot run 32-bit code at all (some virtual machines have no 32-bit mode).
# VELMORA_ARCH=win32|win64 in the environment forces one where the host allows it. Exports
# VELMORA_ARCH, VELMORA_ARCH_WHY (one line on why), VELMORA_BUILD (the build folder),
# VELMORA_TOOLCHAIN (its CMake toolchain file), VELMORA_WINE (the loader that runs the program and
# Wine's own tools: /usr/bin/wine tries the 32-bit loader first wherever wine32 is installed) and
# WINEARCH, and VELMORA_USER_PREFIX (./run.sh's prefix in $HOME, one for each architecture).
# Sourcing it returns 1, having said why, when the forced build cannot run here.

# The 32-bit dynamic loader fails with "Exec format error" where the kernel runs no 32-bit code.
velmora_host_runs_32bit() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

velmora_choose_arch() {
  local runs32=yes
  velmora_host_runs_32bit || runs32=no
  case "${VELMORA_ARCH:-}:$runs32" in
    win32:no)
      echo "VELMORA_ARCH=win32, but this host cannot run 32-bit code" \
        "(/lib/ld-linux.so.2: Exec format error): use win64 or leave VELMORA_ARCH unset" >&2
      return 1 ;;
    win32:yes) VELMORA_ARCH_WHY="forced by VELMORA_ARCH=win32" ;;
    win64:*) VELMORA_ARCH_WHY="forced by VELMORA_ARCH=win64" ;;
    :yes) VELMORA_ARCH=win32 VELMORA_ARCH_WHY="this host runs 32-bit code" ;;
    :no)
      VELMORA_ARCH=win64
      VELMORA_ARCH_WHY="this host cannot run 32-bit code (/lib/ld-linux.so.2: Exec format error)" ;;
    *)
      echo "VELMORA_ARCH=$VELMORA_ARCH: use win32 or win64" >&2
      return 1 ;;
  esac
  if [ "$VELMORA_ARCH" = win32 ]; then
    VELMORA_TOOLCHAIN=cmake/mingw-i686.cmake VELMORA_WINE=/usr/bin/wine
    VELMORA_USER_PREFIX=$HOME/.velmora-wine
  else
    VELMORA_TOOLCHAIN=cmake/mingw-x86_64.cmake VELMORA_WINE=/usr/lib/wine/wine64
    VELMORA_USER_PREFIX=$HOME/.velmora-wine64
  fi
  VELMORA_BUILD=build/$VELMORA_ARCH WINEARCH=$VELMORA_ARCH
  export VELMORA_ARCH VELMORA_ARCH_WHY VELMORA_BUILD VELMORA_TOOLCHAIN VELMORA_WINE WINEARCH \
    VELMORA_USER_PREFIX
}

velmora_choose_arch
