#!/usr/bin/env bash
# Builds and runs every test: under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the thread tests under ThreadSanitizer, then a short bounded fuzz run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh --test
# Ninja builds a new build folder (one already there keeps its generator):
# it checks what is out of date itself, where make starts a process per target.
export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}
# The style first: it takes a second and names the files to fix.
bash tools/format_check.sh
jobs=$(nproc)

# A private PulseAudio server with a null sink for the sound smoke test
# (tests/backends_media skips it when no server answers).
pulse_dir=$(mktemp -d)
if command -v pulseaudio >/dev/null 2>&1 &&
   XDG_RUNTIME_DIR="$pulse_dir" pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
     -L module-native-protocol-unix -L "module-null-sink sink_name=vm_null" --log-target=file:"$pulse_dir/log" 2>/dev/null; then
  export PULSE_SERVER="unix:$pulse_dir/pulse/native"
  trap 'XDG_RUNTIME_DIR="$pulse_dir" pulseaudio --kill 2>/dev/null; rm -rf "$pulse_dir"' EXIT
fi

# UndefinedBehaviorSanitizer keeps all its checks, vptr included, on our code.
# One place is spared by a suppression (tools/ubsan.supp), not by switching
# the check off: JavaScriptCore, built without RTTI, releases its shared_ptrs
# through the copy of libstdc++'s control-block code (std::_Sp_counted_base)
# that our program exports, where the vptr check cannot see its types and
# reports falsely after a few changes of row. The smoke scripts set the same.
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}suppressions=$top/tools/ubsan.supp:print_stacktrace=1"

cmake -S . -B build/asan -DVM_SANITIZE=address,undefined >/dev/null
cmake --build build/asan -j "$jobs"
(cd build/asan && ctest --output-on-failure --timeout 300 -j "$jobs")
# The program on a private Xvfb display: windows, clicks, close.
bash tools/smoke_display.sh build/asan
# Ten starts on the display, each shown and ended by SIGTERM, then SIGTERM
# during the scan of 10,000 recordings.
bash tools/starts_display.sh build/asan 10
# The walk through the real display: sound, list, dialogs, pickers, copy,
# printing and a longer run, by X input only.
bash tools/smoke_walk.sh build/asan

cmake -S . -B build/tsan -DVM_SANITIZE=thread >/dev/null
cmake --build build/tsan -j "$jobs"
(cd build/tsan && GTEST_FILTER='*Thread*' TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure --timeout 300 -j "$jobs")

if [ -x tools/fuzz.sh ] || [ -f tools/fuzz.sh ]; then
  bash tools/fuzz.sh --short
fi
