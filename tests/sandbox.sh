#!/usr/bin/env bash
# Runs a command in a sandbox that bubblewrap makes: its own PID, IPC, network (loopback
# only), UTS and mount namespaces, its own /tmp, /run, /dev, /dev/shm and HOME, the rest of
# the system read-only, and an environment it sets itself. When its command ends, or when
# this process is ended by TERM, INT, HUP or KILL, every process in it ends and its
# mounts and /tmp are gone. It decides nothing about the test: the test starts its servers.
usage='Usage: tests/sandbox.sh [--bind PATH]... [NAME=VALUE]... [--] COMMAND [ARG...]
  --bind PATH  a file or folder kept writable in the sandbox at its own path (this tree is)
  NAME=VALUE   set in the sandbox'"'"'s environment, after its own defaults
       tests/sandbox.sh --check   succeeds where this machine can make the sandbox'
set -euo pipefail

tree="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)"
uid="$(id -u)"
# No user namespace is asked for: bubblewrap makes one itself for a normal user, and root
# needs none (and may not take one in a chroot, as the release check runs there).
namespaces=(--unshare-pid --unshare-ipc --unshare-net --unshare-uts --unshare-cgroup-try)
files=(--ro-bind / / --dev /dev --proc /proc --perms 1777 --tmpfs /tmp --perms 1777 --tmpfs /var/tmp --tmpfs /run
  --dir /run/home --perms 0700 --dir "/run/user/$uid")
# From the caller: where programs are, and the settings of the sanitizers, coverage, CI and
# the build. Nothing of its session: no display, bus, screen reader, Wine server or locale.
environment=(--clearenv --setenv PATH "$PATH" --setenv LANG C.UTF-8 --setenv HOME /run/home
  --setenv XDG_RUNTIME_DIR "/run/user/$uid" --setenv DBUS_SESSION_BUS_ADDRESS disabled:
  --setenv PYTHONDONTWRITEBYTECODE 1 --setenv KESTRAND_SANDBOX 1)
for name in CI ASAN_OPTIONS ASAN_SYMBOLIZER_PATH UBSAN_OPTIONS LSAN_OPTIONS LLVM_PROFILE_FILE \
  $(compgen -e KESTRAND_); do
  [ -z "${!name+set}" ] || environment+=(--setenv "$name" "${!name}")
done

binds=("$tree")
while [ $# -gt 0 ]; do
  case "$1" in
    --check)
      [ $# -eq 1 ] || { echo "$usage" >&2; exit 2; }
      exec bwrap "${namespaces[@]}" "${files[@]}" true 2>/dev/null ;;
    --bind)
      [ $# -ge 2 ] && [ -e "$2" ] || { echo "tests/sandbox.sh: --bind needs a path that exists" >&2; exit 2; }
      binds+=("$(realpath "$2")")
      shift 2 ;;
    --) shift; break ;;
    -h | --help) echo "$usage"; exit 0 ;;
    -*) echo "$usage" >&2; exit 2 ;;
    [A-Za-z_]*=*) environment+=(--setenv "${1%%=*}" "${1#*=}"); shift ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "$usage" >&2; exit 2; }
# Bound after the fresh file systems, so a tree that lives under /tmp or /run stays in view.
# The command starts where it was called from where that is in view, else at the tree's top.
here="$(pwd -P)" start="$tree"
for path in "${binds[@]}"; do
  files+=(--bind "$path" "$path")
  [[ "$here/" != "$path"/* ]] || start="$here"
done

# bwrap takes this process's place, so a signal to it reaches the sandbox's keeper, which
# does not outlive it (--die-with-parent makes the sandbox's first process follow); a caller
# that ignores INT or TERM does not pass that on. The command has a session of its own, so
# it cannot push keys into the caller's terminal.
exec env --default-signal=HUP,INT,TERM bwrap "${namespaces[@]}" "${files[@]}" "${environment[@]}" \
  --die-with-parent --new-session --chdir "$start" -- "$@"
