#!/usr/bin/env bash
# Lays out a sample card, like the recorder's SD card, in CARD-DIR with the
# ASF writer of BUILD-DIR; what is there already stays.
#
#     bash tools/make_card.sh build/run build/card
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$1
card=$2
mkdir -p "$card/Icon" "$card/ffdshow" "$card/DATA"
# The decoder's folder: the blank test recording the start-up decoder test
# connects, written by our ASF writer, and a stand-in for the decoder module
# that our registration tool registers.
if [ ! -f "$card/ffdshow/DummyFile.ASF" ]; then
    "$build/tools/asfwriter/asfwriter" "$card/ffdshow/DummyFile.ASF" --seconds 1 --fps 1 >/dev/null
fi
[ -f "$card/ffdshow/ffdshow.ax" ] || printf 'ffdshow decoder module stand-in\n' >"$card/ffdshow/ffdshow.ax"
# The map page: our own offline page with the CarMarker function.
cp "$top/tools/samplecard/googleMap.html" "$card/Icon/googleMap.html"
# A few recordings in "DATA", as the recorder names them (every third one an
# event recording): four cameras in a 1280x960 mosaic with a frame counter,
# a 440 Hz tone and the GPS and G-sensor tracks.
if [ -z "$(ls -A "$card/DATA")" ]; then
    "$build/tools/asfwriter/asfwriter" --series 3 "$card/DATA" --seconds 60 --size 1280x960 >/dev/null
fi
