#!/usr/bin/env bash
# The cost of playing: the program's CPU while it plays a card recording on
# a private Xvfb display, against `ffmpeg -re` decoding the same file in real
# time, in interleaved rounds; and its CPU while a recording is cued and
# nothing plays. Prints each round, then min/median/max of the ratios and the
# load average (absolute figures move with the load; ratios hold).
#
#     bash tools/bench_play.sh [BUILD-DIR] [ROUNDS] [SECONDS]
#
# BUILD-DIR (default build/rel) must be an optimised build with velmorastine,
# regsvr32, asfwriter and xclose. Targets: playing <= 1.5x ffmpeg -re; idle
# with a recording cued <= 0.5 % of a core. A benchmark, not a test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/rel}" && pwd)
rounds=${2:-5}
seconds=${3:-10}
work="$build/bench_play"

fail() { echo "bench_play: $*" >&2; exit 1; }
for tool in Xvfb xdotool ffmpeg; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash tools/setup.sh --test)"
done
[ -x "$build/velmorastine" ] || fail "$build/velmorastine is not built"

rm -rf "$work"
mkdir -p "$work"
card="$work/card"
bash "$top/tools/make_card.sh" "$build" "$card"
recording=$(ls "$card/DATA"/*.ASF | head -n1)

xvfb_pid=""
program_pid=""
pulse_dir=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$pulse_dir" ] && XDG_RUNTIME_DIR="$pulse_dir" pulseaudio --kill 2>/dev/null || true
}
trap cleanup EXIT

# Sound goes to a private null sink, as it would to a sound card.
if command -v pulseaudio >/dev/null 2>&1; then
  pulse_dir="$work/pulse"
  mkdir -p "$pulse_dir"
  if XDG_RUNTIME_DIR="$pulse_dir" pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
       -L module-native-protocol-unix -L "module-null-sink sink_name=vm_null" \
       --log-target=file:"$pulse_dir/log" 2>/dev/null; then
    export PULSE_SERVER="unix:$pulse_dir/pulse/native"
  fi
fi

. "$top/tools/xvfb.sh"
start_xvfb

# Starts the program on the card (dump: the presenter's files, for the
# layout); sets program_pid.
start() {
  local dump=$1 run="$work/run"
  rm -rf "$run"
  mkdir -p "$run/registry" "$run/dump"
  (
    cd "$card"
    export VELMORASTINE_DRIVES="E=$card:removable;C=$run"
    export VELMORASTINE_REGISTRY="$run/registry"
    export VELMORASTINE_MUTEX_DIR="$run"
    if [ "$dump" = yes ]; then export VELMORASTINE_PRESENTER_DUMP="$run/dump"; fi
    unset VELMORASTINE_DISPLAY VELMORASTINE_SCREEN WAYLAND_DISPLAY
    exec "$build/velmorastine" </dev/null >"$run/program.out" 2>&1
  ) &
  program_pid=$!
}

stop() {
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
}

# CPU seconds (user + system) of a process, from /proc.
cpu_of() {
  awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); printf "%.4f\n", ($12 + $13) / hz }' "/proc/$1/stat"
}

# Percent of a core a process uses over the next $seconds seconds.
measure() {
  local pid=$1 c0 c1 t0 t1
  c0=$(cpu_of "$pid"); t0=$(date +%s.%N)
  sleep "$seconds"
  c1=$(cpu_of "$pid"); t1=$(date +%s.%N)
  awk -v a="$c0" -v b="$c1" -v s="$t0" -v e="$t1" 'BEGIN { printf "%.2f\n", 100 * (b - a) / (e - s) }'
}

# Where the play button is: one run with the presenter's files.
start yes
info="$work/run/dump/MainForm.txt"
for _ in $(seq 600); do
  [ -s "$info" ] && grep -q '^control ImagePlay ' "$info" && break
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended early (see $work/run/program.out)"
  sleep 0.1
done
line=$(grep '^control ImagePlay ' "$info") || fail "no play button in $info"
read -r _ _ px py pw ph <<<"$line"
play_x=$((px + pw / 2)); play_y=$((py + ph / 2))
stop

# The main window is up and the first recording is cued: its window shows.
wait_window() {
  for _ in $(seq 600); do
    xdotool search --onlyvisible --pid "$program_pid" >/dev/null 2>&1 && return 0
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended early (see $work/run/program.out)"
    sleep 0.1
  done
  fail "no main window within 60 s"
}

ratios=()
idles=()
echo "bench_play: $rounds rounds of ${seconds} s; $recording (the card's 1280x960 MJPEG with sound)"
for round in $(seq "$rounds"); do
  # ffmpeg decoding the same file in real time, picture and sound.
  read -r f_wall f_user f_sys < <(/usr/bin/time -f "%e %U %S" \
    ffmpeg -v error -nostdin -re -t "$seconds" -i "$recording" -f null - 2>&1 >/dev/null | tail -n1)
  ffmpeg_cpu=$(awk -v w="$f_wall" -v u="$f_user" -v s="$f_sys" 'BEGIN { printf "%.2f\n", 100 * (u + s) / w }')

  start no
  wait_window
  sleep 3 # the scan and the cue settle; then nothing happens
  idle=$(measure "$program_pid")
  xdotool mousemove "$play_x" "$play_y" click 1
  sleep 1
  playing=$(measure "$program_pid")
  stop

  ratio=$(awk -v a="$playing" -v b="$ffmpeg_cpu" 'BEGIN { printf "%.2f\n", (b > 0) ? a / b : 0 }')
  ratios+=("$ratio")
  idles+=("$idle")
  echo "  round $round: playing $playing % of a core, ffmpeg -re $ffmpeg_cpu %, ratio $ratio; idle (cued) $idle %"
done

summary() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "min %.2f  median %.2f  max %.2f", v[1], v[int((NR + 1) / 2)], v[NR] }'
}
echo "playing / ffmpeg -re:   $(summary "${ratios[@]}")   (target <= 1.5)"
echo "idle, recording cued:   $(summary "${idles[@]}") % of a core   (target <= 0.5)"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
