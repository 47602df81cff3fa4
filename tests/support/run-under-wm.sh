#!/usr/bin/env bash
# Runs a test about windows under a window manager of its own: an X server
# (Xvfb, 1024 x 768, on a display it picks itself) with openbox, and the
# test on the xcb platform there. No display from the environment is used.
# Without Xvfb or openbox, or when either does not start, the test runs
# offscreen, where it skips.
#   run-under-wm.sh TEST [ARGS...]
set -u
test=$1
shift

offscreen() {
  QT_QPA_PLATFORM=offscreen "$test" "$@"
  exit $?
}

command -v Xvfb >/dev/null && command -v openbox >/dev/null || offscreen "$@"

dir=$(mktemp -d) || offscreen "$@"
xvfb= wm=
stop() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$dir"
}
trap stop EXIT

# Xvfb writes its display number to fd 3 once it accepts clients; openbox
# runs its startup command once it manages the screen.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
xvfb=$!
ready() {  # waits for the file $1 to hold something while the process $2 lives (at most 60 s)
  for _ in $(seq 600); do
    [ -s "$1" ] && return 0
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
if ! ready "$dir/display" "$xvfb"; then
  echo "run-under-wm: Xvfb did not start; the test runs offscreen" >&2
  offscreen "$@"
fi
display=:$(head -n1 "$dir/display")
DISPLAY=$display openbox --sm-disable --startup "sh -c 'echo up >$dir/managed'" >"$dir/wm.log" 2>&1 &
wm=$!
if ! ready "$dir/managed" "$wm"; then
  echo "run-under-wm: openbox did not start; the test runs offscreen" >&2
  offscreen "$@"
fi

# No GL: the windows tried need none.
DISPLAY=$display QT_QPA_PLATFORM=xcb QT_XCB_GL_INTEGRATION=none "$test" "$@"
