#!/usr/bin/env bash
# Runs a test in a world of its own: it starts from an environment this script sets, it cannot
# reach the caller's display, buses, screen reader or Wine server, and whatever it starts ends
# with it, whether it passes, fails or is killed with SIGKILL (as a ctest time-out does).
# It does not decide anything about the test itself: the test starts its own servers.
#
# Usage: isolate.sh [NAME=VALUE...] COMMAND [ARG...]
#        isolate.sh --which   prints how tests are isolated on this machine, and ends
#
# Where the kernel allows it, the test runs in new PID, mount, network and IPC namespaces
# (as root, or as a normal user through a user namespace): /tmp and /dev/shm are fresh and
# private, and when the test ends the kernel ends every process left and every mount.
# Where no namespace is allowed, each process carries a mark in its environment, and every
# marked process is stopped when the test ends or its runner dies; /tmp is then shared (and
# TMPDIR stays unset: Wine 10 aborts at start wherever it is set). KESTRAND_ISOLATION=processes
# chooses that fallback.
set -uo pipefail

self="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")"
namespaces=(--mount --pid --net --ipc --fork --kill-child --mount-proc --propagation private)

# From the caller: where programs are, the build's own settings and the sanitizers' and
# coverage's; nothing of its session. The rest is the test's own, under this world's /tmp.
clean_environment() {
  local tmp="$1" name
  world=(PATH="$PATH" LANG=C.UTF-8 HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run"
    DBUS_SESSION_BUS_ADDRESS=disabled: PYTHONDONTWRITEBYTECODE=1 KESTRAND_ISOLATED=1)
  for name in CI ASAN_OPTIONS ASAN_SYMBOLIZER_PATH UBSAN_OPTIONS LSAN_OPTIONS LLVM_PROFILE_FILE \
    $(compgen -e KESTRAND_); do
    [ "$name" = KESTRAND_ISOLATED ] || [ -z "${!name+set}" ] || world+=("$name=${!name}")
  done
  mkdir -p "$tmp/home" && mkdir -m 700 -p "$tmp/run"
}

# The mechanism this machine allows, tried in order.
choose() {
  if [ "${KESTRAND_ISOLATION:-}" = processes ]; then
    echo processes
  elif [ "$(id -u)" -eq 0 ] && unshare "${namespaces[@]}" true 2>/dev/null; then
    echo namespaces
  elif unshare --user --map-root-user "${namespaces[@]}" true 2>/dev/null; then
    echo user-namespaces
  else
    echo processes
  fi
}

# Inside the namespaces, as their first process: fresh file systems, then the test as a child,
# whose status becomes this world's. When this process ends, the kernel ends the rest.
inside() {
  exec 9</tmp
  mount -t tmpfs -o mode=1777 kestrand-tmp /tmp && mount -t tmpfs -o mode=1777 kestrand-shm /dev/shm ||
    { echo "isolate.sh: cannot mount a private /tmp" >&2; exit 1; }
  # A tree that lives in /tmp (a clone made there) stays in view: its top folder is bound in
  # again from the /tmp the test was started in.
  local path top
  for path in "$1" "$(dirname "$self")"; do
    [[ $path == /tmp/?* ]] || continue
    top="${path#/tmp/}"
    top="${top%%/*}"
    [ -e "/tmp/$top" ] || { mkdir "/tmp/$top" && mount --no-canonicalize --bind "/proc/self/fd/9/$top" "/tmp/$top"; } ||
      { echo "isolate.sh: cannot keep /tmp/$top in view" >&2; exit 1; }
  done
  exec 9<&-
  ip link set lo up 2>/dev/null || true
  clean_environment /tmp || exit 1
  cd "$1" || exit 1
  shift
  run_and_wait env -i "${world[@]}" "$@"
}

# run_and_wait COMMAND...: runs it as a child, passes on a request to end, and returns its
# status once it has ended.
run_and_wait() {
  "$@" &
  local test=$! status
  trap 'kill -TERM "$test" 2>/dev/null' TERM INT HUP
  while :; do
    wait "$test"
    status=$?
    kill -0 "$test" 2>/dev/null || break
  done
  return "$status"
}

# Without namespaces: the processes that carry MARK in their environment.
marked() {
  local dir
  for dir in /proc/[0-9]*; do
    [ "${dir#/proc/}" != "$$" ] || continue
    { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF -- "$1" && echo "${dir#/proc/}"
  done
}
# stop_marked MARK: asks every marked process to end, then kills those still there after 5 s.
stop_marked() {
  local left
  left="$(marked "$1")"
  [ -n "$left" ] || return 0
  kill -TERM $left 2>/dev/null
  for _ in $(seq 50); do
    left="$(marked "$1")"
    [ -n "$left" ] || return 0
    sleep 0.1
  done
  kill -KILL $left 2>/dev/null
  return 0
}

by_process_mark() {
  local scratch mark runner=$$
  scratch="$(mktemp -d "${TMPDIR:-/tmp}/kestrand-test.XXXXXX")" || exit 1
  mark="KESTRAND_WORLD=$scratch"
  # A watcher outside the test's process tree: when this runner dies, even by SIGKILL, it
  # stops what the test left and removes the scratch folder.
  (
    trap '' HUP INT TERM
    exec </dev/null >/dev/null 2>&1
    while kill -0 "$runner" 2>/dev/null; do sleep 0.5; done
    stop_marked "$mark"
    rm -rf "$scratch"
  ) &
  disown
  clean_environment "$scratch"
  local status=0
  run_and_wait env -i "${world[@]}" "$mark" "$@" || status=$?
  stop_marked "$mark"
  rm -rf "$scratch"
  exit "$status"
}

case "${1:-}" in
  "" | -h | --help)
    sed -n 's/^# \{0,1\}//; 7,8p' "$self" >&2
    exit 2
    ;;
  --which)
    case "$(choose)" in
      namespaces) echo "own PID, mount, network and IPC namespaces" ;;
      user-namespaces) echo "own user, PID, mount, network and IPC namespaces" ;;
      processes) echo "no namespaces (the kernel refuses them, or KESTRAND_ISOLATION=processes):" \
        "processes marked in their environment, stopped at the end; /tmp shared" ;;
    esac
    exit 0
    ;;
  --inside)
    shift
    inside "$@"
    exit
    ;;
  -*)
    sed -n 's/^# \{0,1\}//; 7,8p' "$self" >&2
    exit 2
    ;;
esac

case "$(choose)" in
  namespaces) exec unshare "${namespaces[@]}" bash "$self" --inside "$PWD" "$@" ;;
  user-namespaces) exec unshare --user --map-root-user "${namespaces[@]}" bash "$self" --inside "$PWD" "$@" ;;
  processes) by_process_mark "$@" ;;
esac
