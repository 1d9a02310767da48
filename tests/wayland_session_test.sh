#!/usr/bin/env bash
# Kestrand as a Wayland session starts it: weston's headless compositor, with an Xvfb under
# openbox standing in for XWayland, and no platform chosen. The window must come up on X,
# where minimizing is reported, and show the summary when minimized; chosen explicitly, or
# where the X display cannot be reached, Wayland must work too.
# Usage: wayland_session_test.sh KESTRAND
source "$(dirname "$0")/lib.sh"

program="$1"
require_tools weston Xvfb openbox xdotool xdpyinfo xprop
export XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-kestrand
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 >"$SCRATCH/weston.log" 2>&1 &
check "weston's headless compositor is up" wait_for 20 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"

start_xvfb
start_openbox
# display_state: what is known of the X display, for a failure's report.
display_state() {
  echo "--- DISPLAY=$DISPLAY at $(date +%T.%N)"
  echo "socket files:"; ls -la /tmp/.X11-unix/ 2>&1 || true
  echo "X servers:"; ps -o pid=,etimes=,args= -C Xvfb,Xwayland,Xorg 2>&1 || true
  echo "the window manager:"; xprop -root _NET_SUPPORTING_WM_CHECK _NET_ACTIVE_WINDOW 2>&1 || true
  tail -n 20 "$SCRATCH"/*.log 2>/dev/null || true
}
# The program takes the socket file as the sign that an X server is there.
check "the display's socket file is there" test -S "/tmp/.X11-unix/X${DISPLAY#:}"

"$program" >"$SCRATCH/kestrand.log" 2>&1 &
kestrand=$!
check "with no platform chosen the window comes up on the X display" wait_for 20 kestrand_window "$kestrand"
[ -n "${window:-}" ] || { display_state; finish; }

named() { [ "$(xdotool getwindowname "$window")" = "$1" ]; }
# Keys typed before the window holds the focus would go elsewhere: ask until it has it.
check "the window takes the keyboard focus" wait_for 10 focused "$window"
[ "$failures" -eq 0 ] || { display_state; finish; }
xdotool type --delay 50 200
# A click in the middle of Calculate: its layout place in pixels at 96 dpi.
xdotool mousemove --window "$window" 532 196 click 1
xdotool windowminimize --sync "$window"
check "minimized after 200 and Calculate, the title summarises the thresholds" \
  wait_for 10 named "KRD: MV=41, SV=81, OV=121"
xdotool windowactivate --sync "$window"
check "restored, the title is the saved one" wait_for 10 named "$KESTRAND_TITLE"
kill "$kestrand"

# on_wayland WHAT ENV...: started with these variables, the window is made on the compositor,
# stays up, and nothing of it is on the X display.
on_wayland() {
  local log="$SCRATCH/wayland-$((++runs)).log"
  env "${@:2}" WAYLAND_DEBUG=client "$program" >"$log" 2>&1 &
  kestrand=$!
  check "$1: the window is titled on the compositor" wait_for 20 grep -q "set_title(\"$KESTRAND_TITLE\")" "$log"
  sleep 1
  check "$1: the program stays up" kill -0 "$kestrand"
  check "$1: nothing of it is on the X display" test -z "$(xdotool search --pid "$kestrand" --name . 2>/dev/null)"
  kill "$kestrand" 2>/dev/null || true
}
runs=0

# Chosen explicitly, Wayland stands.
on_wayland "with QT_QPA_PLATFORM=wayland" QT_QPA_PLATFORM=wayland

# An X display that cannot be reached after all falls back to Wayland instead of ending the
# program: a socket that nothing listens on (left by a crashed XWayland), and a display on the
# loopback address where no X server answers. The sandbox has no X server but the test's, and
# a network of its own: one display number up, nothing listens, by socket or by TCP.
stale=$((${DISPLAY#:} + 1))
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "/tmp/.X11-unix/X$stale"
on_wayland "with a stale X socket" DISPLAY=":$stale"
on_wayland "with a display nobody answers" DISPLAY="127.0.0.1:$stale"
finish
