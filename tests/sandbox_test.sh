#!/usr/bin/env bash
# The sandbox every test that starts programs runs in: nothing of the caller's session reaches
# its command, which writes nowhere but the tree and its own folders and gives back its exit
# status; and whatever the command starts has ended within 2 s, its /tmp with it, however
# the sandbox ends: by itself, or by TERM, INT or KILL to its top process. It runs outside any
# sandbox (it makes them), and starts no process outside one.
set -uo pipefail
sandbox="$(dirname "$0")/sandbox.sh"
mark="kestrand-sandbox-test-$$" file="/tmp/left-by-sandbox-test-$$"
failures=0
check() {
  local what="$1"
  shift
  if "$@" >/dev/null 2>&1; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
# within SECONDS COMMAND...: the command succeeds within that many seconds, by the clock.
within() {
  local deadline=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000))
  shift
  until "$@"; do
    ((${EPOCHREALTIME//[!0-9]/} < deadline)) || return 1
    sleep 0.02
  done
}
running() { pgrep -f "$mark" >/dev/null; }
ended() { ! running; }
# The world a sandbox leaves behind it: a process started in the background, named by the
# mark (which no command line holds, so that only it is found), and a file in its /tmp, which
# the caller's /tmp must never see.
start="m=kestrand-sandbox; (exec -a \$m-test-$$ sleep 300) & touch $file"

check "the command's exit status comes back" test "$("$sandbox" sh -c 'exit 3'; echo $?)" = 3
check "the caller's display and session bus do not reach the command" test -z \
  "$(DISPLAY=:0 DBUS_SESSION_BUS_ADDRESS=unix:path=/run/bus "$sandbox" env | grep -E '^DISPLAY=|=unix:path')"
check "the command cannot write outside the tree" \
  "$sandbox" sh -c "! touch /usr/$mark && ! touch /var/lib/$mark && touch $file"
check "and its /tmp is its own" test ! -e "$file"

for ending in itself TERM INT KILL; do
  if [ "$ending" = itself ]; then
    "$sandbox" bash -c "$start; sleep 1" &
  else
    "$sandbox" bash -c "$start; wait" &
  fi
  top=$!
  if ! within 10 running; then
    check "ended by $ending: its command started" false
    continue
  fi
  [ "$ending" = itself ] || kill -s "$ending" "$top"
  wait "$top"
  check "ended by $ending: nothing it started runs 2 s later" within 2 ended
  check "ended by $ending: nothing of its /tmp is left" test ! -e "$file"
done
pkill -KILL -f "$mark" 2>/dev/null
[ "$failures" -eq 0 ] && echo "all checks passed" || { echo "$failures check(s) failed"; exit 1; }
