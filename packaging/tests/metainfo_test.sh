#!/usr/bin/env bash
# The AppStream metadata passes appstreamcli's validation offline with no error, warning or
# info; pedantic notes (an id with capitals) are allowed. AppStream before 1.0 does not know
# the <developer> element yet and says so in one info, the only remark it may make.
# Usage: metainfo_test.sh METAINFO_FILE. The screenshot URL itself is not fetched.
source "$(dirname "$0")/../../tests/lib.sh"
require_tools appstreamcli

report="$(appstreamcli validate --no-net --no-color "$1" 2>&1)" && status=0 || status=$?
echo "appstreamcli validate --no-net $1: exit $status"
echo "$report"
check "the validator accepts the metadata" test "$status" -eq 0
# Lines such as "W: id:tag" would be remarks; a clean file gets only its verdict.
remarks="$(grep -E "^[EWI]: " <<<"$report" || true)"
version="$(appstreamcli --version | sed -n 's/.*[^0-9.]\([0-9][0-9.]*\)$/\1/p' | head -n1)"
if dpkg --compare-versions "${version:-0}" lt 1.0; then
  remarks="$(grep -vE '^I: [^ ]+:[0-9]+: unknown-tag developer$' <<<"$remarks" || true)"
fi
check "the validator (AppStream ${version:-?}) has no remark" test -z "$remarks"
finish
