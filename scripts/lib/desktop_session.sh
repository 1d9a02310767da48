#!/usr/bin/env bash
# Runs a command inside a desktop-like session of its own making, as a terminal on a desktop
# runs it: a session bus, an X display with a window manager as DISPLAY, the accessibility
# bus (its address given to programs, as some desktops do), the settings portal and a Wine
# server running. Afterwards every process of the session must still be alive, and nothing
# the command started may still run. The session lives in a sandbox, so it ends with this.
usage="Usage: scripts/lib/desktop_session.sh COMMAND [ARG...]"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ $# -eq 0 ] || [[ $1 == -* ]]; then echo "$usage" >&2; exit 2; fi
[ -n "${KESTRAND_SANDBOX:-}" ] || exec "$here/../../tests/sandbox.sh" bash "$0" "$@"
source "$here/../../tests/lib.sh"
require_tools Xvfb openbox xprop dbus-daemon dbus-send gdbus wineserver

export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11
start_xvfb
start_openbox
start_session_bus
start_accessibility
export AT_SPI_BUS_ADDRESS="$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus \
  /org/a11y/bus org.a11y.Bus.GetAddress | tr -d ' ')"
wait_for 30 portal Read color-scheme || { echo "desktop_session: no settings portal" >&2; exit 1; }
wine_environment "$SCRATCH/wine"
wineserver -p || { echo "desktop_session: no Wine server" >&2; exit 1; }

# live_processes: every live process of the session but its keeper and this shell, as
# "PID ARGS", read without starting a process that would count itself.
live_processes() {
  local dir pid stat args
  for dir in /proc/[0-9]*; do
    pid="${dir#/proc/}"
    [ "$pid" != 1 ] && [ "$pid" != $$ ] && read -r stat 2>/dev/null <"$dir/stat" || continue
    stat="${stat##*) }"
    [ "${stat%% *}" != Z ] || continue
    mapfile -d '' args 2>/dev/null <"$dir/cmdline" || continue
    echo "$pid ${args[*]}"
  done
}
sleep 1
live_processes >"$SCRATCH/session"
echo "desktop_session: $(wc -l <"$SCRATCH/session") processes in the session:" \
  "$(awk '{ sub(/.*\//, "", $2); print $2 }' "$SCRATCH/session" | sort -u | xargs)"

status=0
"$@" || status=$?

whole=yes
while read -r pid args; do
  [ -e "/proc/$pid" ] && ! gone "$pid" ||
    { echo "desktop_session: FAIL: the session's $args (pid $pid) has gone" >&2; whole=no; }
done <"$SCRATCH/session"
# Nothing else runs once those on their way out have had a few seconds to go.
nothing_new() { live_processes >"$SCRATCH/now" && [ -z "$(grep -vxFf "$SCRATCH/session" "$SCRATCH/now")" ]; }
if ! wait_for 10 nothing_new; then
  echo "desktop_session: FAIL: still running after the command ended:" >&2
  grep -vxFf "$SCRATCH/session" "$SCRATCH/now" >&2
  whole=no
fi
[ "$whole" = no ] || echo "desktop_session: the session is whole, and nothing the command started runs"
[ "$status" -ne 0 ] && exit "$status"
[ "$whole" = yes ]
