#!/usr/bin/env bash
# The display smoke test: the program on a sample card on a private Xvfb
# display. Waits for the main window, compares a screenshot of it with the
# picture the program painted, clicks controls through the display and waits
# for each to show its effect, closes the window as a window manager would
# and checks that the program ended cleanly with its log saved. On the way:
# the map page loads in the real web view over the map panel, a played
# recording's marker updates reach the page's CarMarker (read back from the
# page) and a screenshot shows the marker (map.png); then a still is printed
# to PDF through the print dialog, whose back end loads only then; and the
# picture the program keeps of each window, painted only where something
# changed, always equals a whole paint of it (the program writes "stale" lines
# to paint.log otherwise).
#
#     bash tools/smoke_display.sh [BUILD-DIR]        (default build/asan)
#
# Needs velmorastine, regsvr32, asfwriter and xclose built in BUILD-DIR, and
# Xvfb, ImageMagick and xdotool (tools/setup.sh --test). Its files stay in
# BUILD-DIR/smoke (screen.png is the last screenshot).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/asan}" && pwd)
work="$build/smoke"

# The clicks, one a line: control name (its centre is clicked; "-" for the
# window's centre), the file to watch (input.log: the presses the display
# delivered; Log.log: the program's log), and an extended regular expression
# that must appear in it within 20 s. Add a line per control worth checking.
clicks=(
  "-|input.log|^press MainForm\."
  "ImagePlay|browser.log|^script CarMarker\(.*\) -> true$"
)

fail() { echo "smoke: FAILED: $*" >&2; exit 1; }

for tool in Xvfb xdotool import compare convert; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash tools/setup.sh --test)"
done
for program in velmorastine regsvr32 tools/xclose/xclose tools/asfwriter/asfwriter; do
  [ -x "$build/$program" ] || fail "$build/$program is not built"
done

rm -rf "$work"
mkdir -p "$work/dump" "$work/registry" "$work/home"
card="$work/card"
bash "$top/tools/make_card.sh" "$build" "$card"

xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

. "$top/tools/xvfb.sh"
start_xvfb

(
  cd "$card"
  export VELMORASTINE_DRIVES="E=$card:removable;C=$work"
  export VELMORASTINE_REGISTRY="$work/registry"
  export VELMORASTINE_MUTEX_DIR="$work"
  export VELMORASTINE_PRESENTER_DUMP="$work/dump"
  # Printing to "PDF" writes the page into the home folder.
  export VELMORASTINE_PRINTER=PDF HOME="$work/home"
  # "velmorastine: cued" once the card's first recording is cued after the scan.
  export VELMORASTINE_CUE_MARK=1
  unset VELMORASTINE_DISPLAY VELMORASTINE_SCREEN WAYLAND_DISPLAY
  # GTK and fontconfig keep their caches to the end of the process.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  # The one false vptr report from JavaScriptCore is spared (tools/test.sh).
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}suppressions=$top/tools/ubsan.supp:print_stacktrace=1"
  exec "$build/velmorastine" </dev/null >"$work/program.out" 2>&1
) &
program_pid=$!

# The main window: its picture and its place, written by the program.
info="$work/dump/MainForm.txt"
picture="$work/dump/MainForm.png"
for _ in $(seq 600); do
  [ -s "$info" ] && [ -s "$picture" ] && break
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended early (see $work/program.out)"
  sleep 0.1
done
[ -s "$info" ] || fail "no main window within 60 s"

# Same pixels on the screen as in the program's picture where no native
# widget covers it; the program may still be painting, so a few tries.
same=""
for _ in $(seq 20); do
  read -r _ x y w h < <(grep '^window ' "$info")
  cp "$picture" "$work/painted.png"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$work/window.png"
  # Native widgets over the window ("native X Y W H" lines, screen
  # coordinates) show what the program did not paint: left out of both.
  masks=()
  while read -r _ nx ny nw nh; do
    masks+=(-draw "rectangle $((nx - x)),$((ny - y)) $((nx - x + nw - 1)),$((ny - y + nh - 1))")
  done < <(grep '^native ' "$info" || true)
  if [ ${#masks[@]} -gt 0 ]; then
    convert "$work/window.png" -fill black "${masks[@]}" "$work/window.png"
    convert "$work/painted.png" -fill black "${masks[@]}" "$work/painted.png"
  fi
  differing=$(compare -metric AE "$work/window.png" "$work/painted.png" null: 2>&1 || true)
  if [ "$differing" = "0" ]; then
    same=yes
    break
  fi
  sleep 0.5
done
[ -n "$same" ] || fail "the screen differs from the painted main window in $differing pixels (see $work)"
echo "smoke: main window ${w}x${h} at $x,$y shows exactly what the program painted"

# The map page in the web view over the map panel: loaded, and on the screen
# (the sample page is dark where the panel the program paints is light).
loaded=""
for _ in $(seq 300); do
  grep -q '^loaded ok file://.*/Icon/googleMap\.html$' "$work/dump/browser.log" 2>/dev/null && { loaded=yes; break; }
  sleep 0.1
done
[ -n "$loaded" ] || fail "the map page did not load in the web view (see $work/dump/browser.log)"
# The clicks want a cued recording: the scan runs first, its progress window up.
cued=""
for _ in $(seq 600); do
  grep -q '^velmorastine: cued$' "$work/program.out" 2>/dev/null && { cued=yes; break; }
  sleep 0.1
done
[ -n "$cued" ] || fail "no recording of the card was cued within 60 s (see $work/program.out)"
native=$(grep '^native ' "$info" || true)
[ -n "$native" ] || fail "the main window lists no web view"
read -r _ nx ny nw nh <<<"$native"
brightness=100
for _ in $(seq 40); do
  import -window root "$work/screen.png"
  brightness=$(convert "$work/screen.png" -crop "${nw}x${nh}+${nx}+${ny}" +repage -colorspace Gray \
                 -format '%[fx:int(mean*100)]' info:)
  [ "$brightness" -lt 30 ] && break
  sleep 0.5
done
[ "$brightness" -lt 30 ] || fail "the web view at $nx,$ny shows no map page (brightness $brightness%)"
echo "smoke: the map page shows in the web view, ${nw}x${nh} at $nx,$ny"

for row in "${clicks[@]}"; do
  IFS='|' read -r control file pattern <<<"$row"
  read -r _ x y w h < <(grep '^window ' "$info")
  if [ "$control" = "-" ]; then
    cx=$((x + w / 2)); cy=$((y + h / 2))
  else
    line=$(grep "^control $control " "$info" || true)
    [ -n "$line" ] || fail "the main window shows no control $control"
    read -r _ _ x y w h <<<"$line"
    cx=$((x + w / 2)); cy=$((y + h / 2))
  fi
  case "$file" in
    Log.log) watched="$card/Icon/Log.log" ;;
    *) watched="$work/dump/$file" ;;
  esac
  xdotool mousemove "$cx" "$cy" click 1
  seen=""
  for _ in $(seq 200); do
    if [ -f "$watched" ] && grep -Eq "$pattern" "$watched"; then
      seen=yes
      break
    fi
    sleep 0.1
  done
  [ -n "$seen" ] || fail "clicking $control at $cx,$cy: no \"$pattern\" in $file"
  echo "smoke: clicked $control at $cx,$cy: $(grep -E "$pattern" "$watched" | tail -n1)"
done

# The played recording's marker on the map: the sample page draws it in
# this red.
marker=0
for _ in $(seq 40); do
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${nw}x${nh}+${nx}+${ny}" +repage "$work/map.png"
  marker=$(convert "$work/map.png" -fuzz 12% -fill '#00ff00' -opaque '#ff5a3c' -fuzz 0 -fill black +opaque '#00ff00' \
             -fill white -opaque '#00ff00' -format '%[fx:int(mean*w*h)]' info:)
  [ "$marker" -ge 40 ] && break
  sleep 0.5
done
[ "$marker" -ge 40 ] || fail "the screenshot of the map shows no marker ($marker red pixels, see $work/map.png)"
echo "smoke: the map shows the marker ($marker red pixels, $work/map.png)"

# Printing through the real dialog. The printing back end is loaded at the
# first print, not before; the print button answers once playing pauses.
maps="/proc/$program_pid/maps"
grep -q "velmorastine-print\.so" "$maps" && fail "the printing back end was loaded before the first print"
centre() {
  local line x y w h
  line=$(grep "^control $1 " "$info" || true)
  [ -n "$line" ] || fail "the main window shows no control $1"
  read -r _ _ x y w h <<<"$line"
  echo "$((x + w / 2)) $((y + h / 2))"
}
read -r cx cy < <(centre ImagePlay)
xdotool mousemove "$cx" "$cy" click 1
read -r cx cy < <(centre ImagePrint)
dialog=""
for _ in $(seq 40); do
  xdotool mousemove "$cx" "$cy" click 1
  for _ in $(seq 5); do
    dialog=$(xdotool search --onlyvisible --name '^印刷$' 2>/dev/null | head -n1 || true)
    [ -n "$dialog" ] && break 2
    sleep 0.1
  done
done
[ -n "$dialog" ] || fail "clicking ImagePrint showed no print dialog"
grep -q "velmorastine-print\.so" "$maps" || fail "the print dialog shows without the printing back end"
import -window root "$work/print.png"
# Its print button, the last one at the bottom right (no window manager
# here gives the dialog the keyboard).
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + WIDTH - 55)) $((Y + HEIGHT - 20)) click 1
pdf=""
for _ in $(seq 200); do
  pdf=$(find "$work/home" -maxdepth 1 -name '*.pdf' -size +1k 2>/dev/null | head -n1)
  [ -n "$pdf" ] && head -c 5 "$pdf" | grep -q '%PDF-' && break
  pdf=""
  sleep 0.1
done
[ -n "$pdf" ] || fail "printing to PDF wrote no page into $work/home (see $work/print.png)"
echo "smoke: printed through the dialog: $(basename "$pdf") ($(stat -c %s "$pdf") bytes)"

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
program_pid_left=$program_pid
program_pid=""
[ -n "$status" ] || { program_pid=$program_pid_left; fail "the program did not end within 30 s of the close"; }
[ "$status" = 0 ] || fail "the program ended with status $status (see $work/program.out)"
grep -q "ERROR: AddressSanitizer\|runtime error:" "$work/program.out" && fail "sanitizer report (see $work/program.out)"
if grep -q '^stale ' "$work/dump/paint.log" 2>/dev/null; then
  fail "a window showed an area that changed without being painted again: $(head -n1 "$work/dump/paint.log")"
fi
echo "smoke: every picture the program kept equalled a whole paint of its window"
log="$card/Icon/Log.log"
[ -s "$log" ] || fail "no log at $log"
grep -q "Application \[Velmorastine\] START" "$log" || fail "the log lacks the start line"
echo "smoke: closed; the program ended with status 0 and its log is saved ($(wc -l <"$log") lines)"
