#!/usr/bin/env bash
# What the Orca screen reader says while a player works the real Qt window: private session
# and accessibility buses, a private speech-dispatcher whose output module writes down every
# utterance instead of sounding it, and Orca with private settings.
# Each step waits for the utterance that shows Orca has taken it in, never for a time.
# Usage: orca_session_test.sh KESTRAND
source "$(dirname "$0")/lib.sh"

program="$1"
require_tools Xvfb openbox xdotool xprop xkbcomp dbus-daemon dbus-send speech-dispatcher orca python3
[ -x /usr/libexec/at-spi-bus-launcher ] || [ -x /usr/lib/at-spi2-core/at-spi-bus-launcher ] ||
  { echo "FAIL: at-spi-bus-launcher is not installed"; exit 1; }
export XDG_SESSION_TYPE=x11 QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=0 GTK_MODULES=gail:atk-bridge
mkdir -p "$SCRATCH/prefs" "$SCRATCH/speech/modules"

start_xvfb
start_session_bus
# Started by the session bus, as on a desktop: started by hand, some versions of the
# accessibility bus's launcher refuse their own arguments.
start_accessibility
# The window manager gives the focus back to the window when a message box closes.
start_openbox
# F1 is pressed by its key's code, which xdotool presses with no modifier: by its symbol,
# xdotool presses it at the last level the symbol is on, and in newer keyboard data (Debian
# forky's) that level of the function keys needs Alt: F1 would be Alt+F1.
f1="$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null | sed -n 's/^ *<FK01> = \([0-9]*\);$/\1/p')"
[ -n "$f1" ] || { echo "FAIL: the display's keyboard has no F1"; exit 1; }

# Speech goes nowhere: the output module's command does nothing with the text.
printf '%s\n' 'AudioOutputMethod "alsa"' 'AudioALSADevice "null"' 'AddModule "silent" "sd_generic" "silent.conf"' \
  'DefaultModule silent' 'DefaultLanguage "en"' >"$SCRATCH/speech/speechd.conf"
printf '%s\n' 'GenericExecuteSynth "true"' 'GenericLanguage "en" "en" "utf-8"' 'AddVoice "en" "MALE1" "silent"' \
  >"$SCRATCH/speech/modules/silent.conf"
socket="$XDG_RUNTIME_DIR/speechd.sock"
speech-dispatcher -s -t 0 -C "$SCRATCH/speech" -L "$SCRATCH" -c unix_socket -S "$socket" >"$SCRATCH/speechd.out" 2>&1 &
wait_for 10 test -S "$socket" || { echo "FAIL: speech-dispatcher did not start"; exit 1; }
# Orca talks to speech-dispatcher through a tap that writes down each text it sends, one
# NUL-ended record each, whatever Orca's version. A text counts as said once sent: under
# load Orca can take in a key press after the window has already answered it, and the
# press then cuts short, in the speech queue, what Orca has just said about the answer.
said_log="$SCRATCH/said"
: >"$said_log"
python3 "$(dirname "$0")/speech_tap.py" "$XDG_RUNTIME_DIR/tap.sock" "$socket" "$said_log" >"$SCRATCH/tap.out" 2>&1 &
wait_for 10 test -S "$XDG_RUNTIME_DIR/tap.sock" || { echo "FAIL: the speech tap did not start"; exit 1; }
export SPEECHD_ADDRESS="unix_socket:$XDG_RUNTIME_DIR/tap.sock"

# said OFFSET: the texts sent to speech since that byte of the record, one a line.
said() { tail -c "+$(($1 + 1))" "$said_log" | tr '\n\0' ' \n'; }
orca -u "$SCRATCH/prefs" >"$SCRATCH/orca.out" 2>&1 &
# Orca greets the player once it listens; the window is started after that.
wait_for 40 test -s "$said_log" || { echo "FAIL: Orca said nothing"; cat "$SCRATCH/orca.out"; exit 1; }
offset() { stat -c %s "$said_log"; }
# heard OFFSET TEXT: Orca has said TEXT, within one utterance, since OFFSET.
heard() { said "$1" | grep -qF -- "$2"; }
# step NAME EXPECTED KEYS...: sends the keys and waits until Orca says EXPECTED.
step() {
  mark="$(offset)"
  xdotool key "${@:3}"
  check "$1: Orca says \"$2\"" wait_for 15 heard "$mark" "$2"
}

"$program" >"$SCRATCH/kestrand.log" 2>&1 &
caption="Total Number of Scenario Victory Points: text"
check "the window comes up and Orca reads the entry by its caption" wait_for 30 heard 0 "$caption"

step "F1 with \"0\" in the entry" "Raw loss penalties are scaled" "$f1"
step "the Notes closed" "$caption" Return

step "the \"0\" selected" "selected" End shift+Home
xdotool type --delay 80 1234
bands="Draw (+/-): 0-247. Marginal Victory (+/-): 248-494. Significant Victory: (+/-): 495-740. Overwhelming Victory (+/-): 741+."
step "1234 and Enter" "Click to Exit" Return
calculated="$mark"
check "after Enter the four levels are said, from Draw up" wait_for 15 heard "$calculated" "$bands"
step "Shift+Tab back to the entry" "$caption" shift+Tab
check "they are said once" test "$(said "$calculated" | grep -cF "$bands")" -eq 1
check "no level is said twice" test "$(said "$calculated" | grep -oF "Draw (+/-):" | wc -l)" -eq 1
# said_as OFFSET TEXT: one utterance since OFFSET is TEXT and nothing else, but for the full
# stop that some versions of Orca end it with.
said_as() { said "$1" | sed 's/\.$//' | grep -qxF -- "$2"; }
check "the entry's 1234 is said whole" wait_for 10 said_as "$mark" "1234 selected"

xdotool key --delay 60 End shift+Home
xdotool type --delay 80 5
step "5 and Enter" "Victory Point Total Too Low" Return
refused="$mark"
step "the refusal closed" "$caption" Return
# no_level_said OFFSET: no caption has been said with a range after it since OFFSET.
no_level_said() { ! said "$1" | grep -qE '(Draw|Victory) \(\+/-\): [0-9]'; }
check "after a refusal no level is said" no_level_said "$refused"

if [ "$failures" -ne 0 ]; then
  echo "--- what Orca said"; said 0
  tail -n 20 "$SCRATCH/kestrand.log" "$SCRATCH/orca.out" "$SCRATCH/speechd.out"
fi
finish
