#!/usr/bin/env bash
# The pad tests on a real X display, bare or under a window manager, where
# activation and focus behave as on a desktop. A virtual pad lives only in
# the process that made it, so the tests run in-process, on xcb.
#
# usage: pads_on_xcb.sh [--openbox] APP_TESTS
# Exit codes: 0 passed, 1 failed, 77 Xvfb (or openbox) is missing.
set -u
wm=
if [ "${1:-}" = --openbox ]; then wm=openbox; shift; fi
tests=${1:?usage: pads_on_xcb.sh [--openbox] APP_TESTS}
for tool in Xvfb $wm; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
xpid='' wmpid=''
cleanup() {
  [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime
# No session bus: without one, D-Bus would start its own through the X
# display, forking from a thread of the game, and under the sanitizers that
# child can hang before it runs anything, the game waiting on it for ever.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/quillot-test-bus
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# -noreset: a server that resets when its last client leaves refuses the next one meanwhile.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
if [ -n "$wm" ]; then
  openbox --sm-disable >/dev/null 2>&1 &
  wmpid=$!
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
fi
# Not exec: the display and the window manager are stopped when the tests end.
"$tests" --gtest_filter='PadTest.*'
