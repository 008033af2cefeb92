#!/usr/bin/env bash
# Builds the window-free core and its tests twice: with AddressSanitizer and
# UndefinedBehaviorSanitizer (all core tests), and with ThreadSanitizer (the
# tests of the threaded parts). Exits non-zero on any failure or report.
set -euo pipefail
cd "$(dirname "$0")/.."

configure_and_build() {
  local dir="$1" sanitizers="$2"
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DZENTORA_CORE_ONLY=ON -DZENTORA_WERROR=ON -DZENTORA_SANITIZE="$sanitizers" > /dev/null
  cmake --build "$dir" -j2
}

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
configure_and_build build-asan address,undefined
(cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS="suppressions=$PWD/../scripts/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure --no-tests=error -j2)

echo "== ThreadSanitizer"
configure_and_build build-tsan thread
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/../scripts/tsan.supp" \
  ctest --output-on-failure --no-tests=error -j2 -L threaded)
