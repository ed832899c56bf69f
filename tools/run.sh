#!/usr/bin/env bash
# Builds the program and starts it on a sample card (build/card), laid out like
# the recorder's SD card, which is made on the first run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
# Ninja builds a new build folder (one already there keeps its generator):
# it checks what is out of date itself, where make starts a process per target.
export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/run -j "$(nproc)" --target velmorastine regsvr32 asfwriter
card="$top/build/card"
bash tools/make_card.sh "$top/build/run" "$card"
export VELMORASTINE_DRIVES="${VELMORASTINE_DRIVES:-E=$card:removable;C=$HOME}"
cd "$card"
# On a desktop the main window opens (VELMORASTINE_DISPLAY=headless keeps it
# off the screen); without a display the program runs headless.
if [ "${VELMORASTINE_DISPLAY:-}" != headless ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    echo "run: log in $card/Icon/Log.log; close the main window (or press Ctrl-C here) to stop"
else
    echo "run: headless, log in $card/Icon/Log.log; press Ctrl-C (or Ctrl-D) here to stop"
fi
exec "$top/build/run/velmorastine" "$@"
