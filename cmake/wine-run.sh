#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in a prefix of its own made from the given
# template (made on first use). The cross build's emulator, in the test's sandbox:
#   wine-run.sh TEMPLATE PROGRAM [ARGS...]
# KESTRAND_WINE_DPI, when set, is the display density the template gets, as Windows' display
# scaling sets it (96 is 100 %, 144 is 150 %).
source "$(dirname "$0")/../tests/lib.sh"
template="$1"
shift
headless() {
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f && { [ -z "${KESTRAND_WINE_DPI:-}" ] ||
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$KESTRAND_WINE_DPI" /f; }
}
wine_prefix "$template" headless
# Wine's own processes outlive the program and inherit its output: give them a file, never
# ctest's pipe, or ctest waits for them.
wine "$@" </dev/null >"$SCRATCH/out" 2>&1 && status=0 || status=$?
cat "$SCRATCH/out"
exit "$status"
