#!/usr/bin/env bash
# Runs the unpacked program on a real X server (Xvfb) and checks that its window's WM_CLASS is
# what the desktop entry's StartupWMClass says, so docks group it under the entry's icon.
# Usage: wm_class_test.sh DEB APP_ID.
source "$(dirname "$0")/../../tests/lib.sh"
require_tools dpkg-deb Xvfb xprop xwininfo
require_package "$1"

deb="$1" id="$2"
root="$SCRATCH/root"
dpkg-deb -x "$deb" "$root"
entry="$root/usr/share/applications/$id.desktop"
expected="$(desktop_key "$entry" StartupWMClass)"
check "the entry has a StartupWMClass" test -n "$expected"


start_xvfb
export XDG_RUNTIME_DIR="$SCRATCH/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

QT_QPA_PLATFORM=xcb "$root/usr/bin/kestrand" >"$SCRATCH/kestrand.log" 2>&1 &
program=$!

# The program's own top-level window with a class: Qt's helper windows have none.
window=""
find_window() {
  local candidate props
  for candidate in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ { print $1 }'); do
    props="$(xprop -id "$candidate" _NET_WM_PID WM_CLASS 2>/dev/null || true)"
    if grep -q "_NET_WM_PID(CARDINAL) = $program\$" <<<"$props" && grep -q '^WM_CLASS(STRING)' <<<"$props"; then
      window="$candidate"
      return 0
    fi
  done
  return 1
}
wait_for 20 find_window || true
check "the program opened a window" test -n "$window"
if [ -z "$window" ]; then
  cat "$SCRATCH/kestrand.log"
  finish
fi

wm_class="$(xprop -id "$window" WM_CLASS)"
echo "$wm_class"
# WM_CLASS(STRING) = "instance", "class": desktops match StartupWMClass against the class.
class="$(sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p' <<<"$wm_class")"
check "WM_CLASS's class \"$class\" is the entry's StartupWMClass \"$expected\"" \
  test "$class" = "$expected"
icons="$(xprop -id "$window" _NET_WM_ICON)"
check "the window shows the icon from its resources" grep -q "Icon (32 x 32)" <<<"$icons"
finish
