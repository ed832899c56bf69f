#!/usr/bin/env bash
# Starts the program many times on a private Xvfb display, as tools/run.sh
# lays out its card: each start must show its main window on the screen
# within a bound, and a SIGTERM must then end it with status 0 and its log
# saved (the closing sequence ran). Then once on a card of 10,000 recordings:
# a SIGTERM while the start's scan shows its progress must end the program
# within 10 s, also with status 0 and its log saved. A program that hangs
# leaves the stacks of its threads in BUILD-DIR/starts/stacks-*.txt when gdb
# is there.
#
#     bash tools/starts_display.sh [BUILD-DIR] [STARTS]   (default build/asan, 10)
#
# Needs velmorastine, regsvr32 and asfwriter built in BUILD-DIR, and Xvfb,
# xdotool and ImageMagick (tools/setup.sh --test).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/asan}" && pwd)
starts=${2:-10}
work="$build/starts"

fail() { echo "starts: FAILED: $*" >&2; exit 1; }

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash tools/setup.sh --test)"
done
for program in velmorastine regsvr32 tools/asfwriter/asfwriter; do
  [ -x "$build/$program" ] || fail "$build/$program is not built"
done

rm -rf "$work"
mkdir -p "$work/registry"
card="$work/card"
bash "$top/tools/make_card.sh" "$build" "$card"

xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

. "$top/tools/xvfb.sh"
start_xvfb

# The threads of a hung program, for the report.
stacks() {
  local n=$1
  if command -v gdb >/dev/null; then
    timeout 60 gdb -p "$program_pid" -batch -ex "thread apply all bt" >"$work/stacks-$n.txt" 2>&1 || true
    echo "starts: stacks of the hung program in $work/stacks-$n.txt" >&2
  fi
}

# Starts the program on CARD in the background (program_pid), its output in
# program-N.out, the presenter's pictures in dump/.
start() {
  local card=$1 n=$2
  rm -rf "$work/dump"
  mkdir -p "$work/dump"
  rm -f "$card/Icon/Log.log"
  (
    cd "$card"
    export VELMORASTINE_DRIVES="E=$card:removable;C=$work"
    export VELMORASTINE_REGISTRY="$work/registry"
    export VELMORASTINE_MUTEX_DIR="$work"
    export VELMORASTINE_PRESENTER_DUMP="$work/dump"
    unset VELMORASTINE_DISPLAY VELMORASTINE_SCREEN WAYLAND_DISPLAY
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
    exec "$build/velmorastine" </dev/null >"$work/program-$n.out" 2>&1
  ) &
  program_pid=$!
}

# SIGTERM, then status 0 within SECONDS and the log saved by the close.
stop() {
  local card=$1 n=$2 seconds=$3
  kill -TERM "$program_pid"
  status=""
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$program_pid" 2>/dev/null; then
      status=0
      wait "$program_pid" || status=$?
      break
    fi
    sleep 0.1
  done
  [ -n "$status" ] || { stacks "$n-close"; fail "start $n: the program did not end within $seconds s of SIGTERM"; }
  program_pid=""
  [ "$status" = 0 ] || fail "start $n: the program ended with status $status (see $work/program-$n.out)"
  if grep -q "ERROR: AddressSanitizer\|runtime error:" "$work/program-$n.out"; then
    fail "start $n: sanitizer report (see $work/program-$n.out)"
  fi
  grep -q "Application \[Velmorastine\] END!" "$card/Icon/Log.log" 2>/dev/null ||
    fail "start $n: the log was not saved by the closing sequence (see $card/Icon/Log.log)"
}

for n in $(seq "$starts"); do
  start "$card" "$n"
  # The main window on the screen: mapped, and its pixels there are not
  # blank (a uniform area).
  shown=""
  for _ in $(seq 600); do
    info="$work/dump/MainForm.txt"
    xid=$(awk '$1 == "xid" { print $2 }' "$info" 2>/dev/null || true)
    if [ -n "$xid" ] && xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$xid"; then
      read -r _ x y w h < <(grep '^window ' "$info")
      colours=$(import -window root -crop "${w}x${h}+${x}+${y}" +repage -format '%k' info: 2>/dev/null || echo 0)
      [ "${colours:-0}" -gt 16 ] && { shown=yes; break; }
    fi
    kill -0 "$program_pid" 2>/dev/null || fail "start $n: the program ended early (see $work/program-$n.out)"
    sleep 0.1
  done
  [ -n "$shown" ] || { stacks "$n"; fail "start $n: no main window within 60 s"; }
  stop "$card" "$n" 30
done
echo "starts: $starts starts painted their main window and ended with status 0 on SIGTERM"

# The scan of a full card: one small recording under 10,000 names.
big="$work/card10k"
mkdir -p "$big"
cp -r "$card/Icon" "$card/ffdshow" "$big/"
mkdir -p "$big/DATA"
"$build/tools/asfwriter/asfwriter" "$work/one.ASF" --seconds 1 --fps 1 --size 64x48 >/dev/null
for i in $(seq 0 9999); do
  ln "$work/one.ASF" "$(printf '%s/DATA/202405%02d_%02d%02d00.ASF' "$big" $((1 + i / 1440)) $((i / 60 % 24)) $((i % 60)))"
done
start "$big" scan
scanning=""
for _ in $(seq 600); do
  [ -s "$work/dump/ProgForm.txt" ] && { scanning=yes; break; }
  kill -0 "$program_pid" 2>/dev/null || fail "scan: the program ended early (see $work/program-scan.out)"
  sleep 0.1
done
[ -n "$scanning" ] || { stacks scan; fail "scan: no progress window within 60 s"; }
stop "$big" scan 10
echo "starts: SIGTERM during the scan of 10,000 recordings ended the program with status 0"
