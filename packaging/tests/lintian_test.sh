#!/usr/bin/env bash
# Runs lintian on the .deb: an error fails the test; warnings and notes are printed to read.
# Usage: lintian_test.sh DEB.
source "$(dirname "$0")/lib.sh"
require_tools lintian
require_package "$1"

set +e
lintian --fail-on error --display-info --tag-display-limit 0 "$1" 2>&1
status=$?
set -e
echo "lintian --fail-on error: exit $status"
check "lintian finds no error" test "$status" -eq 0
finish
