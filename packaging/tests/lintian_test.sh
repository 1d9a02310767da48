#!/usr/bin/env bash
# Runs lintian on the .deb: an error or a missing hardening fails the test; other warnings and
# notes are printed to read.
# Usage: lintian_test.sh DEB.
source "$(dirname "$0")/../../tests/lib.sh"
require_tools lintian
require_package "$1"

report="$(lintian --fail-on error --display-info --tag-display-limit 0 "$1" 2>&1)" && status=0 || status=$?
printf '%s\n' "$report"
echo "lintian --fail-on error: exit $status"
check "lintian finds no error" test "$status" -eq 0
# Its hardening tags are warnings and notes, yet each is a protection the program lacks.
check "lintian finds no missing hardening" test -z "$(grep -E ' hardening-' <<<"$report")"
finish
