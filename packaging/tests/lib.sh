# Shared by the shell tests: failing when a tool is missing, and collecting failed checks
# so that one run reports them all. Sourced, not run.
set -euo pipefail

# The window's title, as the shell tests look for it.
readonly KESTRAND_TITLE="FEXO- Scenario Kestrand"

# ldconfig and friends live in sbin, which not every PATH has.
PATH="$PATH:/usr/sbin:/sbin"

# require_tools TOOL... fails the test unless every tool is on PATH: skipping is not passing.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 ||
      { echo "FAIL: $tool is not installed (scripts/test installs it)"; exit 1; }
  done
}

# require_package DEB fails the test if the package was not built.
require_package() {
  [ -f "$1" ] || { echo "FAIL: $1 was not built"; exit 1; }
}

failures=0

# check DESCRIPTION COMMAND... runs the command and records whether it succeeded.
check() {
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

# fail DESCRIPTION records a failure found without a command to run.
fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}

# scratch_dir: a temporary directory removed when the test exits. Run through
# tests/isolate.sh, whatever a service still stopping writes there after that goes with the
# test's world, so a failure to remove it does not change the verdict.
scratch_dir() {
  SCRATCH="$(mktemp -d)"
  trap remove_scratch EXIT
}
remove_scratch() { rm -rf "${SCRATCH:-}" 2>/dev/null || true; }

# stop_at_exit: at exit, stops the background processes whose pids the test put in the
# array pids (first to last), then removes the scratch directory.
pids=()
stop_at_exit() {
  trap stop_all EXIT
}
stop_all() {
  local pid
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    end_processes "$pid"
  done
  remove_scratch
}

# stop_tree_at_exit: as stop_at_exit, but also stops whatever those processes started (the
# services a private bus activates, a screen reader's helpers), and removes the scratch
# directory only once every one of them has gone: one still shutting down may write there.
stop_tree_at_exit() {
  trap stop_tree EXIT
}
descendants() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do descendants "$child"; echo "$child"; done
}
stop_tree() {
  local pid all=()
  for pid in "${pids[@]}"; do all+=($(descendants "$pid") "$pid"); done
  for pid in "${all[@]}"; do kill "$pid" 2>/dev/null || true; done
  end_processes "${all[@]}"
  remove_scratch
}

# end_processes PID...: waits up to 10 s for processes asked to end to go, kills those still
# there, and reaps the test's own, so that a process deaf to the request never holds the test
# at its exit. A zombie has gone too: where pid 1 does not reap, it stays one.
end_processes() {
  local pid
  gone() {
    local pid state
    for pid in "$@"; do
      state="$(ps -o stat= -p "$pid" 2>/dev/null || true)"
      [ -z "$state" ] || [[ "$state" == Z* ]] || return 1
    done
  }
  wait_for 10 gone "$@" || kill -KILL "$@" 2>/dev/null || true
  for pid in "$@"; do wait "$pid" 2>/dev/null || true; done
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

# start_xvfb: a private X display for the test, exported as DISPLAY, once it takes clients
# (Xvfb names its display before it does). -noreset: otherwise the server resets whenever
# its last client leaves, and turns away one that comes just then.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$SCRATCH/display" \
    2>"$SCRATCH/xvfb.log" &
  pids+=($!)
  wait_for 10 test -s "$SCRATCH/display" || { echo "FAIL: Xvfb did not start"; exit 1; }
  export DISPLAY=":$(head -n1 "$SCRATCH/display")"
  wait_for 10 xprop -root || { echo "FAIL: no client connects to Xvfb"; exit 1; }
}

# start_openbox: a window manager on DISPLAY, ready to activate windows.
start_openbox() {
  openbox --sm-disable >"$SCRATCH/openbox.log" 2>&1 &
  pids+=($!)
  wait_for 10 wm_ready || { echo "FAIL: openbox did not start"; exit 1; }
}

# wm_ready: the X display's window manager has announced itself and can be asked to activate
# a window (xdotool windowactivate needs _NET_ACTIVE_WINDOW), so it is ready for the keys.
wm_ready() {
  local check supported
  check="$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" || return 1
  [[ "$check" == *"window id"* ]] || return 1
  supported="$(xprop -root _NET_SUPPORTED 2>/dev/null)" || return 1
  [[ "$supported" == *_NET_ACTIVE_WINDOW* ]]
}

# desktop_key FILE KEY prints the value of KEY in the [Desktop Entry] group.
desktop_key() {
  awk -v key="$2" '
    /^\[/ { group = $0; next }
    group == "[Desktop Entry]" && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
  ' "$1"
}
