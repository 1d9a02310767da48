#!/usr/bin/env bash
# Runs the unpacked program on a real X server (Xvfb) and checks that its window's WM_CLASS is
# what the desktop entry's StartupWMClass says, so docks group it under the entry's icon.
# Usage: wm_class_test.sh DEB APP_ID.
source "$(dirname "$0")/../../tests/lib.sh"
require_tools dpkg-deb Xvfb xprop xwininfo

unpack "$1"
expected="$(desktop_key "$root/usr/share/applications/$2.desktop" StartupWMClass)"
check "the entry has a StartupWMClass" test -n "$expected"
start_xvfb
QT_QPA_PLATFORM=xcb "$root/usr/bin/kestrand" >"$SCRATCH/kestrand.log" 2>&1 &
program=$!

# The program's own top-level window with a class: Qt's helper windows have none.
find_window() {
  local candidate props
  for candidate in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ { print $1 }'); do
    props="$(xprop -id "$candidate" _NET_WM_PID WM_CLASS 2>/dev/null || true)"
    grep -q "_NET_WM_PID(CARDINAL) = $program\$" <<<"$props" && grep -q '^WM_CLASS(STRING)' <<<"$props" &&
      window="$candidate" && return 0
  done
  return 1
}
window=""
check "the program opened a window" wait_for 20 find_window
[ -n "$window" ] || { cat "$SCRATCH/kestrand.log"; finish; }

wm_class="$(xprop -id "$window" WM_CLASS)"
echo "$wm_class"
# WM_CLASS(STRING) = "instance", "class": desktops match StartupWMClass against the class.
class="$(sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p' <<<"$wm_class")"
check "WM_CLASS's class \"$class\" is the entry's StartupWMClass \"$expected\"" test "$class" = "$expected"
icons="$(xprop -id "$window" _NET_WM_ICON)"
check "the window shows the icon from its resources" grep -q "Icon (32 x 32)" <<<"$icons"
finish
