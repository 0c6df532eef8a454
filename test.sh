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

run_ctest() {  # name build-dir
  local out
  out=$(mktemp)
  ctest --test-dir "$2" --output-on-failure 2>&1 | tee "$out"
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$out" | tail -n1)
  if [ -n "$line" ]; then
    total=$((total + $(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")))
    failed=$((failed + $(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")))
  fi
  if ! grep -q '100% tests passed' "$out"; then stages_failed+=("$1"); fi
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
if build win32 build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake; then
  # shellcheck source=tools/wine-session.sh
  (source tools/wine-session.sh && ctest --test-dir build/win32 --output-on-failure) \
    > >(tee build/win32-ctest.log) 2>&1
  wait
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' build/win32-ctest.log | tail -n1)
  if [ -n "$line" ]; then
    total=$((total + $(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")))
    failed=$((failed + $(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")))
  fi
  grep -q '100% tests passed' build/win32-ctest.log || stages_failed+=(win32)
fi

echo
if [ ${#stages_failed[@]} -ne 0 ]; then
  echo "failing stages: ${stages_failed[*]}"
  echo "tests: $((total - failed)) passed, $((failed > 0 ? failed : 1)) failed"
  exit 1
fi
echo "tests: $((total - failed)) passed, $failed failed"
