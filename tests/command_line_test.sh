#!/usr/bin/env bash
# --version and --help print and end without a display, and open no window.
# Usage: command_line_test.sh KESTRAND VERSION_TEXT
source "$(dirname "$0")/lib.sh"

program="$1" version="$2"
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"; }

out="$(headless --version 2>"$SCRATCH/err")" && status=0 || status=$?
check "--version exits 0 without a display (exit $status)" test "$status" -eq 0
check "--version prints \"Kestrand $version\" (got \"$out\")" test "$out" = "Kestrand $version"
check "--version writes nothing to standard error" test ! -s "$SCRATCH/err"

out="$(headless -platform xcb --help 2>"$SCRATCH/err")" && status=0 || status=$?
check "--help after a Qt option exits 0 without a display (exit $status)" test "$status" -eq 0
check "--help gives the usage" grep -q '^Usage: kestrand ' <<<"$out"
check "--help names Qt's own options" grep -q -- '-platform' <<<"$out"
finish
