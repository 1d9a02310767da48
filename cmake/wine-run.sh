#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in the given prefix, which it
# makes on first use. The build's emulator: wine-run.sh PREFIX PROGRAM [ARGS...]
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
