#!/usr/bin/env bash
# Builds the program and runs every test: the core natively, the core under ASan+UBSan,
# and the Windows build (core tests, window tests, end-to-end tests) under Wine in Xvfb.
set -uo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh || exit 1
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
  if ! { cmake -S . -B "$dir" "$@" >/dev/null && cmake --build "$dir" -j"$jobs"; }; then
    stages_failed+=("$name (build)")
    return 1
  fi
}

echo "== native core tests"
build native build/native && run_ctest native build/native
echo "== core tests under AddressSanitizer and UBSan"
build sanitize build/sanitize -DVELMORA_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  && run_ctest sanitize build/sanitize
echo "== Windows build under Wine"
# Two private sessions (Xvfb and prefix each) side by side: the in-process window tests in one, the
# end-to-end tests in the other. Both mostly wait on timers, so together they take little longer
# than the slower of them.
if build win32 build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake; then
  # shellcheck source=tools/wine-session.sh
  (source tools/wine-session.sh && ctest --test-dir build/win32 --output-on-failure -LE e2e) \
    >build/win32-ctest.log 2>&1 &
  (source tools/wine-session.sh && ctest --test-dir build/win32 --output-on-failure -L e2e) \
    >build/win32-e2e-ctest.log 2>&1 &
  wait
  cat build/win32-ctest.log build/win32-e2e-ctest.log
  count_ctest_log win32 build/win32-ctest.log
  count_ctest_log win32-e2e build/win32-e2e-ctest.log
fi

echo
if [ ${#stages_failed[@]} -ne 0 ]; then
  echo "failing stages: ${stages_failed[*]}"
  echo "tests: $((total - failed)) passed, $((failed > 0 ? failed : 1)) failed"
  exit 1
fi
echo "tests: $((total - failed)) passed, $failed failed"
