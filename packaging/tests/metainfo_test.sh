#!/usr/bin/env bash
# The AppStream metadata passes appstreamcli's validation offline with no error, warning or
# info; pedantic notes (an id with capitals) are allowed.
# Usage: metainfo_test.sh METAINFO_FILE. The screenshot URL itself is not fetched.
source "$(dirname "$0")/lib.sh"
require_tools appstreamcli

set +e
report="$(appstreamcli validate --no-net --no-color "$1" 2>&1)"
status=$?
set -e
echo "appstreamcli validate --no-net $1: exit $status"
echo "$report"
check "the validator accepts the metadata" test "$status" -eq 0
# Lines such as "W: id:tag" would be remarks; a clean file gets only its verdict.
check "the validator has no remark" bash -c '! grep -qE "^[EWI]: " <<<"$1"' _ "$report"
finish
