#!/usr/bin/env bash
# Runs a command inside a desktop-like session of its own making, as a terminal on a desktop
# runs it: a session bus, an X display with a window manager as DISPLAY, the accessibility
# bus, the settings portal and a Wine server running, XDG_RUNTIME_DIR set. Afterwards every
# process of the session must still be alive, and nothing the command started may still run.
# The session itself lives in a world of its own (tests/isolate.sh), so it ends with this.
# Usage: scripts/lib/desktop_session.sh COMMAND [ARG...]
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ $# -eq 0 ] || [[ $1 == -* ]]; then
  sed -n 's/^# \{0,1\}//; 7p' "$0" >&2
  exit 2
fi
[ -n "${KESTRAND_ISOLATED:-}" ] || exec "$here/../../tests/isolate.sh" bash "$0" "$@"
source "$here/../../packaging/tests/lib.sh"

for tool in Xvfb openbox xprop dbus-daemon dbus-send gdbus wineserver; do
  command -v "$tool" >/dev/null || { echo "desktop_session: $tool is not installed" >&2; exit 1; }
done
scratch_dir
stop_tree_at_exit

export XDG_RUNTIME_DIR="$SCRATCH/run" XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11 \
  WINEPREFIX="$SCRATCH/wine" WINEDEBUG=-all
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$WINEPREFIX"
start_xvfb
start_openbox
dbus-daemon --session --nofork --print-address=4 4>"$SCRATCH/bus" >"$SCRATCH/dbus.log" 2>&1 &
pids+=($!)
wait_for 10 test -s "$SCRATCH/bus" || { echo "desktop_session: no session bus" >&2; exit 1; }
export DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$SCRATCH/bus")"

# The accessibility bus, switched on as a screen reader's settings do, and its address given
# to programs as some desktops do; then the settings portal, started by the bus.
wait_for 10 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.a11y.Bus.GetAddress || { echo "desktop_session: no accessibility bus" >&2; exit 1; }
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
  variant:boolean:true >/dev/null
export AT_SPI_BUS_ADDRESS="$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus \
  /org/a11y/bus org.a11y.Bus.GetAddress | tr -d ' ')"
portal_answers() {
  gdbus call --session --dest org.freedesktop.portal.Desktop \
    --object-path /org/freedesktop/portal/desktop \
    --method org.freedesktop.portal.Settings.Read org.freedesktop.appearance color-scheme
}
wait_for 30 portal_answers || { echo "desktop_session: no settings portal" >&2; exit 1; }
wineserver -p || { echo "desktop_session: no Wine server" >&2; exit 1; }

# live_processes ME: every live process here but ME, its ancestors and its descendants (the
# subshell that lists them and its pipeline), as "PID ARGS".
live_processes() {
  ps -e -o pid=,ppid=,stat=,args= | awk -v me="$1" '
    { pid[NR] = $1; parent[$1] = $2; state[$1] = $3; $1 = $2 = $3 = ""; sub(/^ +/, ""); args[pid[NR]] = $0 }
    END {
      for (q = me; q != "" && q > 0; q = parent[q]) line[q] = 1
      for (i = 1; i <= NR; i++) {
        p = pid[i]; mine = (p in line)
        for (q = p; !mine && q != "" && q > 1; q = parent[q]) if (q == me) mine = 1
        if (!mine && state[p] !~ /^Z/) print p, args[p]
      }
    }'
}
snapshot() ( live_processes "$BASHPID" )
new_processes() (
  me=$BASHPID
  live_processes "$me" | awk 'NR == FNR { old[$1]; next } !($1 in old)' "$SCRATCH/session" -
)
nothing_new() { [ -z "$(new_processes)" ]; }
sleep 1
snapshot >"$SCRATCH/session"
echo "desktop_session: $(wc -l <"$SCRATCH/session") processes in the session:" \
  "$(awk '{ sub(/.*\//, "", $2); print $2 }' "$SCRATCH/session" | sort -u | xargs)"

status=0
"$@" || status=$?

# The session's processes are all still there.
gone=0
while read -r pid args; do
  if ! kill -0 "$pid" 2>/dev/null || [[ "$(ps -o stat= -p "$pid")" == Z* ]]; then
    echo "desktop_session: FAIL: the session's $args (pid $pid) has gone" >&2
    gone=1
  fi
done <"$SCRATCH/session"
# Nothing else runs once those on their way out have had a few seconds to go.
if ! wait_for 10 nothing_new; then
  echo "desktop_session: FAIL: still running after the command ended:" >&2
  new_processes >&2
  gone=1
fi
[ "$gone" -eq 0 ] && echo "desktop_session: the session is whole, and nothing the command started runs"
[ "$status" -ne 0 ] && exit "$status"
exit "$gone"
