#!/usr/bin/env bash
# The walk through the real display: the program on a card of five
# recordings on a private Xvfb display with a private PulseAudio null sink,
# driven by X input only (xdotool clicks, keys and typing; nothing answers a
# dialog for it). Each step of the table below does what a person would and
# waits, with a bound, for its effect: sound on the null sink's monitor, the
# list's rows as the display dumps them, files written. At the end a longer
# run (every row played, a seek, steps both ways, x2 and back, each view) and
# the close: exit status 0 and no sanitizer report.
#
#     bash tools/smoke_walk.sh [BUILD-DIR] [--pending] [--steps N,M,...]
#
# BUILD-DIR defaults to build/asan; --pending also runs the steps marked
# pending (their feature is not in yet); --steps runs only those steps.
# Needs what tools/smoke_display.sh needs, and pulseaudio, parec and pdfinfo
# (tools/setup.sh --test). Its files stay in BUILD-DIR/walk (screen.png is
# the last screenshot, step-*.png one per step).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build_arg=""
run_pending=""
only=""
while [ $# -gt 0 ]; do
  case "$1" in
    --pending) run_pending=yes ;;
    --steps) only=",$2,"; shift ;;
    *) build_arg=$1 ;;
  esac
  shift
done
build=$(cd "${build_arg:-$top/build/asan}" && pwd)
work="$build/walk"

# The steps, one a line: a name, the function that does and checks it, and
# "pending: WHY" while the feature it needs is not in the program yet (the
# walk then skips it; --pending runs it).
steps=(
  "play, pause, play: sound after the second play|step_play_pause_play|"
  "seek click while playing: the thumb moves, sound goes on|step_seek_click|"
  "click on the next row: it plays, with sound|step_row_click|"
  "Down key: the next row plays|step_down_key|"
  "check box click: the tick changes, the playing row does not|step_check_box|"
  "title drag: the window follows the pointer exactly, there and back|step_title_drag|"
  "still save: a name typed into the save dialog, Enter: the JPEG of the frame|step_still_save|"
  "recorder clock: date and time typed into the pickers, 時刻設定: TIMESET.ini|step_clock|"
  "search: another day picked in the date picker: its row is selected|step_search|"
  "copy two ticked rows to a folder outside the card: both copies complete|step_copy|"
  "print to PDF: a one-page PDF|step_print|"
  "long run: every row, a seek, steps both ways, x2 and back, each view|step_long_run|"
)

fail() {
  echo "walk: FAILED: $*" >&2
  [ -n "${DISPLAY:-}" ] && import -window root "$work/failed.png" 2>/dev/null && echo "walk: the screen then: $work/failed.png" >&2
  exit 1
}
say() { echo "walk: $*"; }

for tool in Xvfb xdotool import convert identify pulseaudio parec pdfinfo od awk cmp; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash tools/setup.sh --test)"
done
for program in velmorastine regsvr32 tools/xclose/xclose tools/asfwriter/asfwriter; do
  [ -x "$build/$program" ] || fail "$build/$program is not built"
done

rm -rf "$work"
mkdir -p "$work/dump" "$work/registry" "$work/home" "$work/out" "$work/pulse"
card="$work/card"
mkdir -p "$card/DATA"
# Four recordings on one day, 30 s apart, and a fifth on the next day.
"$build/tools/asfwriter/asfwriter" --series 4 "$card/DATA" --seconds 30 --size 1280x960 >/dev/null
"$build/tools/asfwriter/asfwriter" "$card/DATA/20240518_100000.ASF" --seconds 30 --size 1280x960 \
  --start 2024/05/18-10:00:00 >/dev/null
bash "$top/tools/make_card.sh" "$build" "$card"
# The recorder's settings, as a recorder leaves them on its card.
printf '[Monitor]\r\nPROTECT_EVFILE=1\r\nGSS_THRESHOLD=7\r\nGSS_EVENT_ENABLE=1\r\n' >"$card/setup.ini"
mapfile -t recordings < <(cd "$card/DATA" && ls | sort)
[ ${#recordings[@]} -eq 5 ] || fail "the card holds ${#recordings[@]} recordings, not 5"

xvfb_pid=""
program_pid=""
outside=()
cleanup() {
  [ ${#outside[@]} -eq 0 ] || rm -rf "${outside[@]}"
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  XDG_RUNTIME_DIR="$work/pulse" pulseaudio --kill 2>/dev/null || true
}
trap cleanup EXIT

# A sound server of our own with a null sink, whatever the caller has.
XDG_RUNTIME_DIR="$work/pulse" pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
  -L module-native-protocol-unix -L "module-null-sink sink_name=vm_null" \
  --log-target=file:"$work/pulse.log" || fail "no PulseAudio server (see $work/pulse.log)"
export PULSE_SERVER="unix:$work/pulse/pulse/native"
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
pactl set-default-sink vm_null >/dev/null 2>&1 || true

. "$top/tools/xvfb.sh"
start_xvfb

(
  cd "$card"
  export HOME="$work/home"
  export VELMORASTINE_DRIVES="E=$card:removable;C=$work"
  export VELMORASTINE_REGISTRY="$work/registry"
  export VELMORASTINE_MUTEX_DIR="$work"
  export VELMORASTINE_PRESENTER_DUMP="$work/dump"
  export VELMORASTINE_PRINTER=PDF
  unset VELMORASTINE_DISPLAY VELMORASTINE_SCREEN WAYLAND_DISPLAY
  # GTK and fontconfig keep their caches to the end of the process.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  # The one false vptr report from JavaScriptCore is spared (tools/test.sh).
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}suppressions=$top/tools/ubsan.supp:print_stacktrace=1"
  exec "$build/velmorastine" </dev/null >"$work/program.out" 2>&1
) &
program_pid=$!

# --- helpers ---------------------------------------------------------------

alive() { kill -0 "$program_pid" 2>/dev/null || fail "the program ended (see $work/program.out)"; }

# Polls a command until it succeeds: up to TENTHS tenths of a second.
poll() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    alive
    sleep 0.1
  done
  return 1
}

info="$work/dump/MainForm.txt"
# "X Y" of the centre of a control in a form's dump.
centre() {
  local form=$1 control=$2 line
  line=$(grep "^control $control " "$work/dump/$form.txt" 2>/dev/null || true)
  [ -n "$line" ] || fail "$form shows no control $control"
  read -r _ _ x y w h <<<"$line"
  echo "$((x + w / 2)) $((y + h / 2))"
}
click() { # FORM CONTROL
  local c
  c=$(centre "$1" "$2")
  xdotool mousemove $c click 1
}
# The list's rows: "INDEX X Y W H SELECTED CHECKED", one a line.
rows() { awk '$1 == "row" && $2 == "ListView1" { print $3, $4, $5, $6, $7, $8, $9 }' "$info"; }
selected_row() { rows | awk '$6 == 1 { print $1 }'; }
checked_rows() { rows | awk '$7 == 1 { printf "%s ", $1 }'; }
is_selected() { [ "$(selected_row)" = "$1" ]; }
click_row() { # INDEX [check]: the row's text, or its check box
  local line x y w h
  line=$(rows | awk -v i="$1" '$1 == i')
  [ -n "$line" ] || fail "the list shows no row $1"
  read -r _ x y w h _ _ <<<"$line"
  if [ "${2:-}" = check ]; then
    xdotool mousemove $((x + 9)) $((y + h / 2)) click 1
  else
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
  fi
}
shot() { import -window root "$work/screen.png" && cp "$work/screen.png" "$work/step-$1.png"; }

# Root-mean-square of one second of the null sink's monitor.
monitor_rms() {
  timeout 10 parec -d vm_null.monitor --raw --format=s16le --rate=8000 --channels=1 --latency-msec=50 2>/dev/null |
    head -c 16000 >"$work/monitor.raw" || true
  od -An -v -td2 -w2 "$work/monitor.raw" | awk '{ s += $1 * $1; n++ } END { if (n < 4000) print -1; else printf "%d\n", sqrt(s / n) }'
}
rms=0
loud() { rms=$(monitor_rms); [ "$rms" -gt 300 ]; }
quiet() { rms=$(monitor_rms); [ "$rms" -ge 0 ] && [ "$rms" -lt 30 ]; }
hears() { poll 3 loud || poll 3 loud || poll 3 loud || fail "$1: no sound on the null sink's monitor (RMS $rms)"; }
silent() { poll 3 quiet || poll 3 quiet || poll 3 quiet || fail "$1: still sound on the monitor (RMS $rms)"; }

# A top-level window of the display by its title: its id, once it is shown.
window_named() { { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; } | head -n1; }
wait_window() { # TITLE: its id
  local id=""
  for _ in $(seq 200); do
    id=$(window_named "$1")
    [ -n "$id" ] && { echo "$id"; return 0; }
    alive
    sleep 0.1
  done
  fail "no window \"$1\" within 20 s"
}
wait_gone() { # TITLE
  for _ in $(seq 200); do
    [ -z "$(window_named "$1")" ] && return 0
    sleep 0.1
  done
  fail "the window \"$1\" did not close within 20 s"
}
# Keys to a window: it gets the focus first (there is no window manager),
# and the keys go as real input, not as events sent to the window.
keys_to() { # ID KEY...
  local id=$1
  shift
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  xdotool key --delay 50 "$@"
}
type_to() { # ID TEXT
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  xdotool type --delay 30 "$2"
}
# The program's message box after a command: its OK pressed.
answer_message() {
  wait_window "^ダイアログ$" >/dev/null
  poll 100 file_exists "$work/dump/SDDlg.txt" || fail "the message box is not in the dump"
  click SDDlg OKSDLabel
  wait_gone "^ダイアログ$"
}
# Whatever the steps before left: paused (or stopped), or playing.
ensure_paused() {
  quiet && return 0
  click MainForm ImagePlay
  silent "${1:-pause}"
}
ensure_playing() {
  loud && return 0
  click MainForm ImagePlay
  hears "${1:-play}"
}
file_exists() { [ -s "$1" ]; }
thumb_x() { awk '$1 == "control" && $2 == "ImageTrack" { print $3 }' "$info"; }

# --- the steps ---------------------------------------------------------------

step_play_pause_play() {
  poll 100 is_selected 0 || fail "row 0 is not selected at the start"
  click MainForm ImagePlay
  hears "play"
  click MainForm ImagePlay
  silent "pause"
  click MainForm ImagePlay
  hears "the second play"
}

step_seek_click() {
  local before after tx ty tw th line
  ensure_playing
  before=$(thumb_x)
  line=$(grep "^control ImageTrackRect " "$info")
  read -r _ _ tx ty tw th <<<"$line"
  xdotool mousemove $((tx + tw * 7 / 10)) $((ty + th / 2)) click 1
  moved() { after=$(thumb_x); [ "$after" -gt $((tx + tw / 2)) ]; }
  poll 100 moved || fail "the seek thumb stayed at $(thumb_x) (was $before)"
  hears "the seek"
}

step_row_click() {
  click_row 1
  poll 100 is_selected 1 || fail "row 1 is not selected after its click"
  hears "row 1"
}

step_down_key() {
  ensure_playing
  click_row 1
  poll 100 is_selected 1 || fail "row 1 is not selected"
  xdotool key Down
  poll 100 is_selected 2 || fail "Down: row $(selected_row) is selected, not row 2"
  hears "row 2 after Down"
}

step_check_box() {
  local playing ticked
  playing=$(selected_row)
  click_row 3 check
  ticked() { rows | awk '$1 == 3 && $7 == 1' | grep -q .; }
  poll 100 ticked || fail "row 3 is not ticked after its check box's click"
  [ "$(selected_row)" = "$playing" ] || fail "the check box's click selected row $(selected_row) (playing: $playing)"
  click_row 3 check
  unticked() { rows | awk '$1 == 3 && $7 == 0' | grep -q .; }
  poll 100 unticked || fail "row 3 is still ticked after the second click"
  [ "$(selected_row)" = "$playing" ] || fail "the second click selected row $(selected_row)"
}

step_title_drag() {
  local line x y w h wx0 wy0
  read -r _ wx0 wy0 _ _ <<<"$(grep "^window " "$info")"
  line=$(grep "^control ImageFormTitle " "$info")
  read -r _ _ x y w h <<<"$line"
  # The top rows of the title picture: the video panel lies over the rest.
  drag_by() { # DX DY, in eight quick steps: moves arrive while the window is moving
    local i moves=()
    for i in 1 2 3 4 5 6 7 8; do moves+=(mousemove_relative -- $(($1 / 8)) $(($2 / 8))); done
    xdotool mousemove $((x + w / 2)) $((y + 2)) mousedown 1 "${moves[@]}" sleep 0.3 mouseup 1
  }
  window_at() { grep -q "^window $1 $2 " "$info"; }
  drag_by 40 80
  poll 100 window_at $((wx0 + 40)) $((wy0 + 80)) || fail "after a drag by 40,80 from $wx0,$wy0 the window is at $(grep "^window " "$info")"
  read -r _ _ x y w h <<<"$(grep "^control ImageFormTitle " "$info")"
  drag_by -40 -80
  poll 100 window_at "$wx0" "$wy0" || fail "after the drag back the window is at $(grep "^window " "$info"), not $wx0 $wy0"
}

step_still_save() {
  local id file="$work/out/still.jpg" size
  ensure_paused "pause before the still" # a still is taken of a paused picture
  click MainForm ImageScreenShot
  id=$(wait_window "^静止画ファイル保存$")
  # The name field has the focus with the proposed name selected.
  keys_to "$id" ctrl+a
  type_to "$id" "$file"
  keys_to "$id" Return
  poll 200 file_exists "$file" || fail "no $file after Enter in the save dialog"
  answer_message
  size=$(identify -format '%wx%h' "$file") || fail "$file does not decode"
  [ "$size" = "1280x960" ] || fail "$file is $size, not the frame's 1280x960"
  ensure_playing "play after the still"
}

# A click on a picker's first field (year, or hour): the field under the pointer.
click_first_field() { # FORM PICKER
  local line x y w h
  line=$(grep "^control $2 " "$work/dump/$1.txt" 2>/dev/null || true)
  [ -n "$line" ] || fail "$1 shows no control $2"
  read -r _ _ x y w h <<<"$line"
  xdotool mousemove $((x + 12)) $((y + h / 2)) click 1
}
shown() { [ -n "$(window_named "$1")" ]; }

step_clock() {
  local ini="$card/TIMESET.ini" line x y w h
  rm -f "$ini"
  click MainForm ImageTime
  wait_window "^本体設定$" >/dev/null
  poll 100 file_exists "$work/dump/TimeSet.txt" || fail "the recorder settings window is not in the dump"
  has_tab() { line=$(grep "^tab TabSheet2 " "$work/dump/TimeSet.txt" 2>/dev/null || true); [ -n "$line" ]; }
  poll 100 has_tab || fail "the recorder settings window shows no tab TabSheet2"
  read -r _ _ x y w h <<<"$line"
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
  on_clock_page() { grep -q "^control DateTimePicker1 " "$work/dump/TimeSet.txt"; }
  poll 100 on_clock_page || fail "the clock page did not come up"
  # Day first, then month, then year, so no step passes an impossible date.
  click_first_field TimeSet DateTimePicker1
  xdotool key --delay 50 Right Right
  xdotool type --delay 50 07
  xdotool key Left
  xdotool type --delay 50 04
  xdotool key Left
  xdotool type --delay 50 2031
  click_first_field TimeSet DateTimePicker2
  xdotool type --delay 50 09
  xdotool key Right
  xdotool type --delay 50 15
  click TimeSet Button1
  poll 200 file_exists "$ini" || fail "no TIMESET.ini after 時刻設定"
  printf '2031/04/07 09:15\r\n' | cmp -s - "$ini" || fail "TIMESET.ini holds \"$(od -c "$ini" | head -n2)\""
  wait_gone "^本体設定$"
}

step_search() {
  # The last recording is of the next day; picking that day finds it.
  ensure_playing
  click_row 0
  poll 100 is_selected 0 || fail "row 0 is not selected"
  click MainForm ImageFind
  wait_window "^検索$" >/dev/null
  poll 100 file_exists "$work/dump/FormSearch.txt" || fail "the search window is not in the dump"
  click_first_field FormSearch DateTimePicker1
  xdotool key --delay 50 Right Right Up # the day, one up
  click FormSearch ButtonSearch
  poll 100 is_selected 4 || fail "the search selected row $(selected_row), not row 4 (the next day's)"
  wait_gone "^検索$"
  hears "the found row"
}

step_copy() {
  local id target r
  # Outside the card and every drive the program was given.
  target=$(mktemp -d "${TMPDIR:-/tmp}/vm-walk-copies.XXXXXX")
  # Paused: while a recording plays under the sanitizers and the dump, the
  # copy's progress gets no turn (see the report).
  ensure_paused "pause before copying"
  outside+=("$target")
  for r in 0 1; do
    rows | awk -v i=$r '$1 == i && $7 == 0' | grep -q . && click_row $r check
  done
  both() { [ "$(checked_rows)" = "0 1 " ]; }
  poll 100 both || fail "rows 0 and 1 are not ticked (ticked: $(checked_rows))"
  click MainForm ImageDL
  id=$(wait_window "^コピー先フォルダを選択$")
  keys_to "$id" ctrl+l
  type_to "$id" "$target"
  keys_to "$id" Return
  # Into a folder of the recordings' day, as the recorder's own tool does.
  local day="$target/${recordings[0]:0:8}"
  copied() { cmp -s "$card/DATA/${recordings[0]}" "$day/${recordings[0]}" &&
             cmp -s "$card/DATA/${recordings[1]}" "$day/${recordings[1]}"; }
  poll 600 copied || fail "the two copies in $target are not complete"
  answer_message
}

step_print() {
  local id pdf
  ensure_paused "pause before printing"
  click MainForm ImagePrint
  id=$(wait_window "^印刷$")
  keys_to "$id" alt+p # 印刷(P); the printer list has the focus
  wait_gone "^印刷$"
  pdf_there() { pdf=$(ls "$work/home"/*.pdf 2>/dev/null | head -n1); [ -n "$pdf" ] && pdfinfo "$pdf" >/dev/null 2>&1; }
  poll 300 pdf_there || fail "no PDF in $work/home after printing"
  pdfinfo "$pdf" | grep -Eq '^Pages: +1$' || fail "$pdf is not one page"
  ensure_playing "play after printing"
}

step_long_run() {
  local r
  ensure_playing # a row clicked while stopped waits on its first frame
  for r in 0 1 2 3 4; do
    click_row $r
    poll 100 is_selected $r || fail "row $r is not selected after its click"
    hears "row $r"
  done
  step_seek_click
  click MainForm ImageComaNext
  click MainForm ImageComaNext
  click MainForm ImageComaPre
  silent "frame steps"
  click MainForm ImagePlay
  hears "play after the frame steps"
  click MainForm ImageSpeedUp
  silent "x2"
  click MainForm ImageSpeedNone
  hears "back to x1"
  for view in Image2Screen Image4Screen ImageZoom1 ImageZoom2 ImageZoom3 ImageZoom4 ImageZoom0; do
    click MainForm "$view"
    alive
  done
  hears "after the views"
}

# --- the walk ------------------------------------------------------------------

for _ in $(seq 600); do
  [ -s "$info" ] && [ -n "$(rows)" ] && break
  alive
  sleep 0.1
done
[ -n "$(rows)" ] || fail "no main window with its list within 60 s"
say "main window up, $(rows | wc -l) rows"

pending=()
n=0
for row in "${steps[@]}"; do
  IFS='|' read -r name function why <<<"$row"
  n=$((n + 1))
  [ -z "$only" ] || [[ "$only" == *",$n,"* ]] || continue
  if [ -n "$why" ] && [ -z "$run_pending" ]; then
    pending+=("$name")
    say "step $n: $name: skipped, $why"
    continue
  fi
  "$function"
  shot "$n"
  say "step $n: $name: ok"
done

xid=$(awk '$1 == "xid" { print $2 }' "$info")
[ -n "$xid" ] || fail "the program did not say which X window is the main window"
"$build/tools/xclose/xclose" "$xid"
status=""
for _ in $(seq 300); do
  if ! kill -0 "$program_pid" 2>/dev/null; then
    status=0
    wait "$program_pid" || status=$?
    break
  fi
  sleep 0.1
done
left=$program_pid
program_pid=""
if [ -z "$status" ]; then
  program_pid=$left
  command -v gdb >/dev/null && timeout 60 gdb -p "$left" -batch -ex "thread apply all bt" >"$work/hang.txt" 2>&1
  fail "the program did not end within 30 s of the close (threads: $work/hang.txt)"
fi
[ "$status" = 0 ] || fail "the program ended with status $status (see $work/program.out)"
grep -q "ERROR: AddressSanitizer\|runtime error:" "$work/program.out" && fail "sanitizer report (see $work/program.out)"
say "closed: status 0, no sanitizer report; ${#pending[@]} steps pending"
