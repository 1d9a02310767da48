#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in the given prefix, which it
# makes on first use. The build's emulator: wine-run.sh PREFIX PROGRAM [ARGS...]
# KESTRAND_WINE_DPI, when set, is the display density a new prefix gets, as
# Windows' display scaling sets it (96 is 100 %, 144 is 150 %).
set -uo pipefail

prefix="$1"
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all
# No Mono or Gecko prompts while the prefix is made, and a crash ends the
# program instead of waiting in the debugger until the test times out.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY

# Wine's own processes (wineserver, services) outlive the program and inherit
# its output: give them a file, never ctest's pipe, or ctest waits for them.
make_prefix() {
    wineboot -i && wineserver -w &&
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f &&
        if [ -n "${KESTRAND_WINE_DPI:-}" ]; then
            wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
                /d "$KESTRAND_WINE_DPI" /f
        fi &&
        wineserver -w && touch "$prefix/.kestrand-ready"
}
if [ ! -e "$prefix/.kestrand-ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -e "$prefix/.kestrand-ready" ]; then
            rm -rf "$prefix"
            make_prefix </dev/null >"$prefix.log" 2>&1 || {
                cat "$prefix.log" >&2
                exit 1
            }
        fi
    ) 9>"$prefix.lock" || exit 1
fi

out="$(mktemp)"
trap 'rm -f "$out"' EXIT
wine "$@" </dev/null >"$out" 2>&1
status=$?
cat "$out"
exit "$status"
