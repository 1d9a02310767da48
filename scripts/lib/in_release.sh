#!/usr/bin/env bash
# The part of scripts/release-check that runs inside the release's chroot, with the tree in
# /src/kestrand and the host's .deb beside it. Usage: in_release.sh full|--native
set -uo pipefail
mode="$1"
cd /src/kestrand
source scripts/lib/common.sh
set +e

# What this release brings, for the log: the tools each stage is judged with.
versions() {
  local v
  echo "-- versions on $(. /etc/os-release; echo "$PRETTY_NAME")"
  echo "   compiler:  $(g++ --version | head -n1)"
  echo "   Qt:        $(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null)"
  for v in orca wine appstreamcli clang; do
    command -v "$v" >/dev/null && echo "   $v: $("$v" --version 2>/dev/null | head -n1)"
  done
  ls /usr/bin/clang++-* 2>/dev/null | sed 's/^/   /'
}

# Whether this release's archive can give the build what it needs at all today.
if ! ensure_packages "${KESTRAND_BUILD_PACKAGES[@]}" "${KESTRAND_TEST_PACKAGES[@]}"; then
  [ "$mode" != --native ] ||
    { echo "== NOT TESTED (the build's packages cannot be installed from this release today)"; exit 0; }
  echo "in_release: the build's packages cannot be installed" >&2
  exit 1
fi

status=0
# full: the whole test command; --native: its native suites alone.
bash scripts/test ${mode#full} || status=$?

# The .deb built on Debian 12, as a user of this release installs it.
deb="$(ls /src/kestrand_*.deb 2>/dev/null | head -n1)"
if [ -n "$deb" ]; then
  echo "-- the host's $(basename "$deb") on this release"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" \
    >/tmp/deb-install.log 2>&1 || { cat /tmp/deb-install.log; status=1; }
  ensure_packages xvfb xdotool x11-utils >/dev/null
  # Started as a player would, in a sandbox of its own.
  tests/sandbox.sh bash -c '
    source tests/lib.sh
    check "kestrand --version answers: $(kestrand --version 2>&1)" kestrand --version
    start_xvfb
    QT_QPA_PLATFORM=xcb kestrand >"$SCRATCH/kestrand.log" 2>&1 &
    check "its window is shown" wait_for 20 xdotool search --onlyvisible --pid $! --name "^$KESTRAND_TITLE\$"
    [ "$failures" -eq 0 ] || cat "$SCRATCH/kestrand.log"
    finish' | sed 's/^/   /' || status=1
fi

versions
exit "$status"
