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
  if [ "$mode" = --native ]; then
    echo "== NOT TESTED (the build's packages cannot be installed from this release today)"
    exit 0
  fi
  echo "in_release: the build's packages cannot be installed" >&2
  exit 1
fi

status=0
if [ "$mode" = --native ]; then
  bash scripts/test --native || status=$?
else
  bash scripts/test || status=$?
fi

# The .deb built on Debian 12, as a user of this release installs it.
deb="$(ls /src/kestrand_*.deb 2>/dev/null | head -n1)"
if [ -n "$deb" ]; then
  echo "-- the host's $(basename "$deb") on this release"
  deb_status=0
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" \
    >/tmp/deb-install.log 2>&1 || { cat /tmp/deb-install.log; deb_status=1; }
  out="$(env -u DISPLAY kestrand --version 2>&1)" || deb_status=1
  echo "   kestrand --version: $out"
  ensure_packages xvfb xdotool >/dev/null
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>/tmp/display 2>/tmp/xvfb.log &
  xvfb=$!
  for _ in $(seq 100); do [ -s /tmp/display ] && break; sleep 0.1; done
  DISPLAY=":$(head -n1 /tmp/display)" QT_QPA_PLATFORM=xcb kestrand >/tmp/kestrand.log 2>&1 &
  program=$!
  window=""
  for _ in $(seq 100); do
    window="$(DISPLAY=":$(head -n1 /tmp/display)" xdotool search --onlyvisible --pid "$program" \
      --name 'Scenario Kestrand' 2>/dev/null | head -n1)"
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -n "$window" ]; then
    echo "   its window is shown: $(DISPLAY=":$(head -n1 /tmp/display)" xdotool getwindowname "$window")"
  else
    echo "   FAIL: no window shown"; cat /tmp/kestrand.log; deb_status=1
  fi
  kill "$program" "$xvfb" 2>/dev/null
  wait 2>/dev/null
  [ "$deb_status" -eq 0 ] || status=1
fi

versions
exit "$status"
