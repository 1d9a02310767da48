#!/usr/bin/env bash
# Runs a command (the start-up probe) with Wine set up for it, in the sandbox: a prefix of its
# own whose windows are real top-level X windows on the probe's Xvfb (the cross build's
# prefixes use the null driver, which shows nothing), kept managed (Wine makes unmanaged ones
# override-redirect, which the probe rightly ignores), and a Wine server started persistent,
# so that no run pays its start-up. Stopping Wine afterwards must leave nothing running.
# Usage: wine_x11.sh TEMPLATE COMMAND [ARG...]   (the template is made on first use)
source "$(dirname "$0")/../../tests/lib.sh"
template="$1"
shift
x11() {
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f &&
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f
}
wine_prefix "$template" x11
# The probe gives each program its own display; nothing may fall back to another.
unset DISPLAY WAYLAND_DISPLAY
wineserver -p
"$@" && status=0 || status=$?
stop_wine || status=1
wine_left() { ps -e -o pid=,args= | awk '$2 ~ /\.exe$|^[^ ]*\/wine[^ ]*$/'; }
wait_for 10 eval '[ -z "$(wine_left)" ]' ||
  { echo "FAIL: still running after the Wine server was stopped:" >&2; wine_left >&2; status=1; }
exit "$status"
