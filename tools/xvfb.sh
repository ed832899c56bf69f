# Sourced by the display scripts: starts a private Xvfb on a display number of
# its own choosing (so parallel runs never collide), sets xvfb_pid and exports
# DISPLAY. Needs $work and a fail function.
start_xvfb() {
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb did not start (see $work/xvfb.log)"
  export DISPLAY=":$(head -n1 "$work/display")"
}
