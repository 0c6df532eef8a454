#!/usr/bin/env bash
# Builds the program and runs every test: the core natively, the core under ASan+UBSan,
# and the Windows build (core tests, window tests, end-to-end tests) under Wine in Xvfb. Both
# Windows programs are built, warnings as errors; the tests run on the one this host can run
# (tools/arch.sh: the 32-bit one where it can, else the 64-bit one; VELMORA_ARCH forces one).
set -uo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh || exit 1
# shellcheck source=tools/arch.sh
source tools/arch.sh || exit 1
jobs=$(nproc)
total=0
failed=0
stages_failed=()

count_ctest_log() {  # name log
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$2" | tail -n1)
  if [ -n "$line" ]; then
    total=$((total + $(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")))
    failed=$((failed + $(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")))
  fi
  grep -q '100% tests passed' "$2" || stages_failed+=("$1")
}

run_ctest() {  # name build-dir
  local out
  out=$(mktemp)
  ctest --test-dir "$2" --output-on-failure 2>&1 | tee "$out"
  count_ctest_log "$1" "$out"
  rm -f "$out"
}

build() {  # name build-dir cmake-args...
  local name=$1 dir=$2
  shift 2
  if ! { cmake -S . -B "$dir" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@" >/dev/null &&
         cmake --build "$dir" -j"$jobs" ${VELMORA_TARGETS:+--target $VELMORA_TARGETS}; }; then
    stages_failed+=("$name (build)")
    return 1
  fi
}

echo "== native core tests"
build native build/native && run_ctest native build/native
echo "== core tests under AddressSanitizer and UBSan"
build sanitize build/sanitize -DVELMORA_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  && run_ctest sanitize build/sanitize
# The program this host does not run is built too (the program alone: its tests need the other).
other=win32 other_toolchain=cmake/mingw-i686.cmake
[ "$VELMORA_ARCH" = win32 ] && other=win64 other_toolchain=cmake/mingw-x86_64.cmake
echo "== the $other program"
VELMORA_TARGETS=velmora build "$other" "build/$other" -DCMAKE_TOOLCHAIN_FILE="$other_toolchain"
echo "== Windows tests on $VELMORA_BUILD/velmora.exe under $VELMORA_WINE: $VELMORA_ARCH_WHY"
# Two private sessions (Xvfb and prefix each) side by side: the in-process window tests in one, the
# end-to-end tests in the other. Both mostly wait on timers, so together they take little longer
# than the slower of them.
if build "$VELMORA_ARCH" "$VELMORA_BUILD" -DCMAKE_TOOLCHAIN_FILE="$VELMORA_TOOLCHAIN"; then
  # The release, packed from these two builds into dist/; the end-to-end tests unpack it.
  tools/release.sh >/dev/null || stages_failed+=("release")
  # shellcheck source=tools/wine-session.sh
  (source tools/wine-session.sh && ctest --test-dir "$VELMORA_BUILD" --output-on-failure -LE e2e) \
    >"$VELMORA_BUILD-ctest.log" 2>&1 &
  (source tools/wine-session.sh && ctest --test-dir "$VELMORA_BUILD" --output-on-failure -L e2e) \
    >"$VELMORA_BUILD-e2e-ctest.log" 2>&1 &
  wait
  cat "$VELMORA_BUILD-ctest.log" "$VELMORA_BUILD-e2e-ctest.log"
  count_ctest_log "$VELMORA_ARCH" "$VELMORA_BUILD-ctest.log"
  count_ctest_log "$VELMORA_ARCH-e2e" "$VELMORA_BUILD-e2e-ctest.log"
fi

echo
if [ ${#stages_failed[@]} -ne 0 ]; then
  echo "failing stages: ${stages_failed[*]}"
  echo "tests: $((total - failed)) passed, $((failed > 0 ? failed : 1)) failed"
  exit 1
fi
echo "tests: $((total - failed)) passed, $failed failed"
