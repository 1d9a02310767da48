#!/usr/bin/env bash
# The sandbox every test that starts programs runs in: nothing of the caller's session reaches
# its command, which writes nowhere but the tree and its own folders and gives back its exit
# status; and whatever the command starts has ended within 2 s, its /tmp with it, however
# the sandbox ends: by itself, or by TERM, INT or KILL to its top process. It runs outside any
# sandbox (it makes them), and starts no process outside one.
source "$(dirname "$0")/lib.sh" --checks
sandbox="$(dirname "$0")/sandbox.sh"
mark="kestrand-sandbox-test-$$" file="/tmp/left-by-sandbox-test-$$"
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
  "$sandbox" sh -c "exec 2>/dev/null; ! touch /usr/$mark && ! touch /var/lib/$mark && touch $file"
check "and its /tmp is its own" test ! -e "$file"

for ending in itself TERM INT KILL; do
  [ "$ending" = itself ] && end="sleep 1" || end=wait
  "$sandbox" bash -c "$start; $end" &
  top=$!
  wait_for 10 running || { fail "ended by $ending: its command started"; continue; }
  [ "$ending" = itself ] || kill -s "$ending" "$top"
  wait "$top" || true
  check "ended by $ending: nothing it started runs 2 s later" wait_for 2 ended
  check "ended by $ending: nothing of its /tmp is left" test ! -e "$file"
done
pkill -KILL -f "$mark" || true
finish
