#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate with nothing to say: no error, warning or hint.
# Usage: desktop_entry_test.sh DESKTOP_FILE. What it points at is checked in the package.
source "$(dirname "$0")/../../tests/lib.sh"
require_tools desktop-file-validate

report="$(desktop-file-validate "$1" 2>&1)" && status=0 || status=$?
echo "desktop-file-validate $1: exit $status"
[ -z "$report" ] || echo "$report"
check "the validator accepts the entry" test "$status" -eq 0
check "the validator has nothing to remark" test -z "$report"
finish
