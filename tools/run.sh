#!/usr/bin/env bash
# Builds the program and starts it on a sample card (build/card), laid out like
# the recorder's SD card, which is made on the first run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/run -j "$(nproc)" --target velmorastine regsvr32 asfwriter
card="$top/build/card"
mkdir -p "$card/Icon" "$card/ffdshow" "$card/DATA"
# The decoder's folder: the blank test recording the start-up decoder test
# connects, written by our ASF writer, and a stand-in for the decoder module
# that our registration tool registers.
if [ ! -f "$card/ffdshow/DummyFile.ASF" ]; then
    "$top/build/run/tools/asfwriter/asfwriter" "$card/ffdshow/DummyFile.ASF" --seconds 1 --fps 1 >/dev/null
fi
[ -f "$card/ffdshow/ffdshow.ax" ] || printf 'ffdshow decoder module stand-in\n' >"$card/ffdshow/ffdshow.ax"
# The map page: our own offline page with the CarMarker function.
cp "$top/tools/samplecard/googleMap.html" "$card/Icon/googleMap.html"
# A few recordings in "DATA", as the recorder names them (every third one an
# event recording): four cameras in a 1280x960 mosaic with a frame counter,
# a 440 Hz tone and the GPS and G-sensor tracks.
if [ -z "$(ls -A "$card/DATA")" ]; then
    "$top/build/run/tools/asfwriter/asfwriter" --series 3 "$card/DATA" --seconds 60 --size 1280x960 >/dev/null
fi
export VELMORASTINE_DRIVES="${VELMORASTINE_DRIVES:-E=$card:removable;C=$HOME}"
cd "$card"
exec "$top/build/run/velmorastine" "$@"
