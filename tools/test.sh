#!/usr/bin/env bash
# Builds and runs every test: under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the thread tests under ThreadSanitizer, then a short bounded fuzz run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
jobs=$(nproc)

cmake -S . -B build/asan -DVM_SANITIZE=address,undefined >/dev/null
cmake --build build/asan -j "$jobs"
(cd build/asan && ctest --output-on-failure --timeout 300 -j "$jobs")

cmake -S . -B build/tsan -DVM_SANITIZE=thread >/dev/null
cmake --build build/tsan -j "$jobs"
(cd build/tsan && GTEST_FILTER='*Thread*' TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure --timeout 300 -j "$jobs")

if [ -x tools/fuzz.sh ] || [ -f tools/fuzz.sh ]; then
  bash tools/fuzz.sh --short
fi
