#!/usr/bin/env bash
# Kestrand as a Wayland session starts it: weston's headless compositor, with an Xvfb under
# openbox standing in for XWayland, and no platform chosen. The window must come up on X,
# where minimizing is reported, and show the summary when minimized; chosen explicitly,
# Wayland must work too. Usage: wayland_session_test.sh KESTRAND
source "$(dirname "$0")/../packaging/tests/lib.sh"

program="$1"
# Skipping is not passing: a missing tool fails the test.
for tool in weston Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/test installs it)"; exit 1; }
done

scratch_dir
stop_at_exit

# wait_for SECONDS COMMAND...: polls the command until it succeeds.
wait_for() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

export XDG_RUNTIME_DIR="$SCRATCH/runtime" XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-kestrand
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
  >"$SCRATCH/weston.log" 2>&1 &
pids+=($!)
check "weston's headless compositor is up" wait_for 20 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$SCRATCH/display" 2>"$SCRATCH/xvfb.log" &
pids+=($!)
check "Xvfb is up" wait_for 10 test -s "$SCRATCH/display"
export DISPLAY=":$(head -n1 "$SCRATCH/display")"
openbox >"$SCRATCH/openbox.log" 2>&1 &
pids+=($!)
check "openbox manages the display" wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window'
[ "$failures" -eq 0 ] || { cat "$SCRATCH"/*.log; finish; }

title="FEXO- Scenario Kestrand"
"$program" >"$SCRATCH/kestrand.log" 2>&1 &
kestrand=$!
pids=("$kestrand" "${pids[@]}")
check "with no platform chosen the window comes up on the X display" \
  wait_for 20 xdotool search --pid "$kestrand" --name "^$title\$"
window="$(xdotool search --pid "$kestrand" --name "^$title\$" 2>/dev/null | head -n1 || true)"
[ -n "$window" ] || { cat "$SCRATCH/kestrand.log"; finish; }

named() { [ "$(xdotool getwindowname "$window")" = "$1" ]; }
# Keys typed before the window holds the focus would go elsewhere: ask until it has it.
focused() {
  xdotool windowactivate "$window" windowfocus "$window"
  [ "$(xdotool getwindowfocus)" = "$window" ]
}
check "the window takes the keyboard focus" wait_for 10 focused
xdotool type --delay 50 200
xdotool key Return
xdotool windowminimize --sync "$window"
check "minimized after 200 and Enter, the title summarises the thresholds" \
  wait_for 10 named "KRD: MV=41, SV=81, OV=121"
xdotool windowactivate --sync "$window"
check "restored, the title is the saved one" wait_for 10 named "$title"
kill "$kestrand"

# Chosen explicitly, Wayland stands: the window is made on the compositor, not on X.
QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$program" >"$SCRATCH/wayland.log" 2>&1 &
kestrand=$!
pids=("$kestrand" "${pids[@]}")
check "with QT_QPA_PLATFORM=wayland the window is titled on the compositor" \
  wait_for 20 grep -q "set_title(\"$title\")" "$SCRATCH/wayland.log"
sleep 1
check "and the program stays up" kill -0 "$kestrand"
check "and nothing of it is on the X display" \
  test -z "$(xdotool search --pid "$kestrand" --name . 2>/dev/null)"
finish
