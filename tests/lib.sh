# The shell tests' library: checks that collect every failure of a run, waits bounded by the
# clock, and the servers a test starts for itself (an X display, a window manager, a session
# bus, Wine). Sourced, not run, and only inside the sandbox (tests/sandbox.sh): its end stops
# whatever the test started and takes its /tmp away, so no test cleans up after itself. The
# sandbox's own test, which runs outside it, takes only the checks: source lib.sh --checks.
set -euo pipefail

failures=0
# check DESCRIPTION COMMAND... runs the command and records whether it succeeded.
check() { if "${@:2}"; then echo "ok: $1"; else fail "$1"; fi; }
# fail DESCRIPTION records a failure found without a command to run.
fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}
finish() {
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
  echo "all checks passed"
  exit 0
}

# wait_for SECONDS COMMAND...: polls the command until it succeeds, for at most that long by
# the clock, however long each try takes on a loaded machine.
wait_for() {
  local deadline=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000))
  shift
  until "$@" >/dev/null 2>&1; do
    ((${EPOCHREALTIME//[!0-9]/} < deadline)) || return 1
    sleep 0.05
  done
}
# gone PID...: none of these processes is still running (a zombie has ended).
gone() {
  local pid state
  for pid in "$@"; do
    state="$(ps -o stat= -p "$pid" 2>/dev/null || true)"
    [ -z "$state" ] || [[ "$state" == Z* ]] || return 1
  done
}

[ "${1:-}" != --checks ] || return 0
[ -n "${KESTRAND_SANDBOX:-}" ] || { echo "$0: runs only in a sandbox: tests/sandbox.sh $0 ..." >&2; exit 2; }

# The window's title, as the shell tests look for it.
readonly KESTRAND_TITLE="FEXO- Scenario Kestrand"
# ldconfig and friends live in sbin, which not every PATH has.
PATH="$PATH:/usr/sbin:/sbin"
# The test's own scratch folder, in the sandbox's /tmp.
SCRATCH="$(mktemp -d)"

# require_tools TOOL... fails the test unless every tool is on PATH (or, given by its path,
# there): skipping is not passing.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/test installs it)"; exit 1; }
  done
}
# require_package DEB fails the test if the package was not built.
require_package() {
  [ -f "$1" ] || { echo "FAIL: $1 was not built"; exit 1; }
}
# unpack DEB: the package's files under $root, in the scratch folder.
unpack() {
  require_package "$1"
  root="$SCRATCH/root"
  dpkg-deb -x "$1" "$root"
}

# start_xvfb: a private X display, exported as DISPLAY, once it takes clients (Xvfb names its
# display before it does). -noreset: otherwise the server resets whenever its last client
# leaves, and turns away one that comes just then.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$SCRATCH/display" 2>"$SCRATCH/xvfb.log" &
  wait_for 10 test -s "$SCRATCH/display" || { echo "FAIL: Xvfb did not start"; exit 1; }
  export DISPLAY=":$(head -n1 "$SCRATCH/display")"
  wait_for 10 xprop -root || { echo "FAIL: no client connects to Xvfb"; exit 1; }
}

# start_openbox: a window manager on DISPLAY, once it can activate windows (xdotool's
# windowactivate needs _NET_ACTIVE_WINDOW).
start_openbox() {
  openbox --sm-disable >"$SCRATCH/openbox.log" 2>&1 &
  wait_for 10 wm_ready || { echo "FAIL: openbox did not start"; exit 1; }
}
wm_ready() {
  [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]] &&
    [[ "$(xprop -root _NET_SUPPORTED 2>/dev/null)" == *_NET_ACTIVE_WINDOW* ]]
}
# kestrand_window PID: sets window to the program's window with Kestrand's title, once it has one.
kestrand_window() {
  window="$(xdotool search --pid "$1" --name "^$KESTRAND_TITLE\$" 2>/dev/null | head -n1)"
  [ -n "$window" ]
}
# focused WINDOW: asks for the keyboard focus for the window, and succeeds once it has it.
focused() { xdotool windowactivate "$1" windowfocus "$1" && [ "$(xdotool getwindowfocus)" = "$1" ]; }

# start_session_bus [NAME=VALUE...]: a private session bus, exported as
# DBUS_SESSION_BUS_ADDRESS; the variables go to the bus and so to the services it starts.
start_session_bus() {
  env "$@" dbus-daemon --session --nofork --print-address=4 4>"$SCRATCH/bus" >"$SCRATCH/dbus.log" 2>&1 &
  wait_for 10 test -s "$SCRATCH/bus" || { echo "FAIL: no session bus"; exit 1; }
  export DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$SCRATCH/bus")"
}
# start_accessibility: the accessibility bus, which the session bus starts when first asked
# for it as a desktop does, switched on as a screen reader's settings do.
start_accessibility() {
  local bus=(--session --print-reply --dest=org.a11y.Bus /org/a11y/bus)
  wait_for 10 dbus-send "${bus[@]}" org.a11y.Bus.GetAddress || { echo "FAIL: no accessibility bus"; exit 1; }
  dbus-send "${bus[@]}" org.freedesktop.DBus.Properties.Set string:org.a11y.Status \
    string:IsEnabled variant:boolean:true >/dev/null || { echo "FAIL: accessibility cannot be switched on"; exit 1; }
}
# portal METHOD KEY: the settings portal's answer to Settings.METHOD for the appearance KEY.
portal() {
  gdbus call --session --dest org.freedesktop.portal.Desktop --object-path /org/freedesktop/portal/desktop \
    --method "org.freedesktop.portal.Settings.$1" org.freedesktop.appearance "$2"
}

# wine_prefix TEMPLATE [SETUP]: exports the Wine environment for a prefix of the test's own, a
# copy of TEMPLATE. The template is made once, by whichever test comes first (the rest wait),
# and then set up by the command SETUP. Two Wine servers never share a prefix.
wine_prefix() {
  local template="$1" setup="${2:-true}"
  if [ ! -e "$template/.kestrand-ready" ]; then
    mkdir -p "$(dirname "$template")"
    (
      flock 9
      [ -e "$template/.kestrand-ready" ] && exit 0
      rm -rf "$template"
      wine_environment "$template"
      { wineserver -p && wineboot -i && "$setup" && stop_wine; } </dev/null >"$template.log" 2>&1 ||
        { cat "$template.log" >&2; exit 1; }
      touch "$template/.kestrand-ready"
    ) 9>"$template.lock" || { echo "FAIL: no Wine prefix in $template"; exit 1; }
  fi
  cp -a "$template" "$SCRATCH/wineprefix"
  wine_environment "$SCRATCH/wineprefix"
}
# wine_environment PREFIX: headless and quiet; no Mono or Gecko prompts, no debugger waiting
# on a crash until the time-out, no menu entries written for the Linux desktop. TMPDIR stays
# unset: Wine 10 aborts at start wherever it is set.
wine_environment() {
  mkdir -p "$1"
  export WINEPREFIX="$1" WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
  unset TMPDIR
}
# A Wine server ends a few seconds after its last program, and a program that starts just
# then reaches a server on its way out and fails ("recvmsg: Connection reset by peer"). So a
# test that runs one Wine program after another starts the server persistent (wineserver
# -p), and stops it only with stop_wine.
# stop_wine: ends the Wine server and its programs, saving the registry, and returns once it
# has gone, so that the next Wine program starts a server of its own. In the sandbox every
# wineserver is this test's.
stop_wine() {
  wineserver -k 2>/dev/null || true
  wait_for 30 no_wineserver || { echo "FAIL: the Wine server did not end" >&2; return 1; }
}
no_wineserver() { ! pgrep -x wineserver >/dev/null; }

# desktop_key FILE KEY prints the value of KEY in the [Desktop Entry] group.
desktop_key() {
  awk -v key="$2" '
    /^\[/ { group = $0; next }
    group == "[Desktop Entry]" && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
  ' "$1"
}
