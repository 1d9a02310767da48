#!/usr/bin/env bash
# The desktop's High Contrast switch as a GNOME player turns it: GNOME's setting in dconf, the
# real xdg-desktop-portal with its GTK backend telling programs, and the real window photographed
# after "200" + Enter. Where the portal tells the contrast, High Contrast on gives no red or blue
# text and no picture, off gives back today's window pixel for pixel, both ways while it runs
# and from the start. Where the portal has no such setting, the window stays today's, and a
# change signalled as newer portals signal it is followed.
# Usage: contrast_session_test.sh KESTRAND
source "$(dirname "$0")/lib.sh"

program="$1"
here="$(dirname "$0")"
require_tools Xvfb openbox xdotool xprop xwd dbus-daemon gdbus gsettings python3 \
  /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gtk
export XDG_SESSION_TYPE=x11 GSETTINGS_BACKEND=dconf QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1
mkdir -p "$HOME/.config/xdg-desktop-portal"
# The GTK backend answers for the settings, as on a GNOME desktop without GNOME's own backend.
printf '[preferred]\ndefault=gtk\n' >"$HOME/.config/xdg-desktop-portal/portals.conf"

start_xvfb
start_openbox
# What the bus starts sees a GNOME desktop (older portals choose their backend by it);
# Kestrand does not.
start_session_bus XDG_CURRENT_DESKTOP=GNOME

# portal_says N: the portal tells programs the contrast is N (fails where it has no such key).
portal_says() { [ "$(portal ReadOne contrast 2>/dev/null)" = "(<uint32 $1>,)" ]; }
# switch true|false: GNOME's switch, and where the portal follows it, its word to programs.
switch() {
  gsettings set org.gnome.desktop.a11y.interface high-contrast "$1"
  [ "$follows" = no ] || wait_for 20 portal_says "$([ "$1" = true ] && echo 1 || echo 0)" ||
    fail "the portal passes on high-contrast $1"
}
# The first call starts the portal and its backend, and waits for them.
answer="$(portal ReadOne contrast 2>&1)" || true
echo "the portal's contrast: $answer"
[[ "$answer" == "(<uint32 "* ]] && follows=yes || follows=no
switch false

# start_window: Kestrand up with the keyboard focus, "200" + Enter typed.
start_window() {
  "$program" >>"$SCRATCH/kestrand.log" 2>&1 &
  kestrand=$!
  wait_for 20 kestrand_window "$kestrand" || { fail "the window comes up"; finish; }
  wait_for 10 focused "$window" || { fail "the window takes the keyboard focus"; finish; }
  xdotool type --delay 50 200
  xdotool key Return
}
# photo: red=N blue=N top=N digest=HEX of the window as it is now.
photo() { xwd -silent -id "$window" | python3 "$here/window_colours.py"; }
field() { sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" <<<"$2"; }
# looks_like PATTERN: the window's photo matches PATTERN (a grep -E expression).
looks_like() { photo | grep -qE -- "$1"; }
digest_of() { echo "digest=$(field digest "$1")\$"; }

start_window
# Today's window: the red entry, the blue results, the picture.
check "with High Contrast off, the results are shown in blue and the entry in red" \
  wait_for 20 looks_like 'red=[1-9][0-9]* blue=[1-9]'
today="$(photo)"
echo "off: $today"
check "with High Contrast off, the picture is drawn" test "$(field top "$today")" -gt 1

switch true
if [ "$follows" = yes ]; then
  check "switched on while running: no red or blue text left" wait_for 20 looks_like 'red=0 blue=0 '
  high="$(photo)"
  echo "on: $high"
  check "switched on while running: no picture" test "$(field top "$high")" -eq 1
else
  check "where the portal has no contrast setting, the window stays as it is" looks_like "$(digest_of "$today")"
  high="$today"
  # A newer portal's word of a change, sent here by hand: the window's own Qt hears it too.
  portal_changed() {
    gdbus emit --session --object-path /org/freedesktop/portal/desktop --signal \
      org.freedesktop.portal.Settings.SettingChanged org.freedesktop.appearance contrast "<uint32 $1>" >/dev/null
  }
  portal_changed 1
  check "told of a change to high contrast: no red or blue text, no picture" \
    wait_for 20 looks_like 'red=0 blue=0 top=1 '
  portal_changed 0
fi
switch false
check "switched off while running: today's window again, pixel for pixel" \
  wait_for 20 looks_like "$(digest_of "$today")"

kill "$kestrand"
switch true
start_window
check "started with High Contrast on, after 200 + Enter the window is as when switched on" \
  wait_for 20 looks_like "$(digest_of "$high")"
check "nothing is written to the terminal" test ! -s "$SCRATCH/kestrand.log"

[ "$failures" -eq 0 ] || { echo "--- now: $(photo)"; tail -n 20 "$SCRATCH/kestrand.log" "$SCRATCH/dbus.log"; }
finish
