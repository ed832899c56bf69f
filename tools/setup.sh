#!/usr/bin/env bash
# Installs the Debian packages the build and running need (with --test: also
# what the tests need); does nothing when they are all present.
set -euo pipefail

packages=(
  g++ cmake make ninja-build lld pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libpng-dev
  clang libclang-rt-14-dev
  libavformat-dev libavcodec-dev libswscale-dev libpulse-dev
  pulseaudio pulseaudio-utils ffmpeg
  libgtk-3-dev libpango1.0-dev fonts-ipafont-gothic fonts-ipafont-mincho
  libwebkit2gtk-4.1-dev
  libcairo2-dev libcups2-dev
)
# With --test: what the display smoke test needs as well (a private X
# server, screenshots and comparisons, clicks).
if [ "${1:-}" = "--test" ]; then
  packages+=(xvfb xauth imagemagick xdotool)
  packages+=(poppler-utils)
  # The style check.
  packages+=(clang-format)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
