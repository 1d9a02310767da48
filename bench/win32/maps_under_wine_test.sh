#!/usr/bin/env bash
# One run of the start-up probe on ref_win32.exe under Wine, as scripts/bench-windows runs it:
# the window must reach the probe's Xvfb as a mapped top-level window with its title, or the
# Windows row would be all timeouts. Then stopping Wine must leave nothing of the prefix running.
# usage: maps_under_wine_test.sh PROBE REF_WIN32_EXE PREFIX (made by `wine_x11.sh prepare`)
set -euo pipefail
probe=$1 exe=$2 prefix=$3
source "$(dirname "${BASH_SOURCE[0]}")/wine_x11.sh"
wine_x11_env "$prefix"

tsv=$(mktemp)
trap 'wineserver -k 2>/dev/null || true; rm -f "$tsv"' EXIT
"$probe" --runs 1 --no-warmup --timeout 20000 --title "FEXO- Scenario Kestrand" --tsv "$tsv" \
    --cmd ref_win32 wine "$exe"

# Columns by name: the probe's TSV grows columns now and then.
result=$(awk -F'\t' '
    $1 == "#run" { for (i = 1; i <= NF; i++) column[$i] = i }
    $1 == "run" && ("status" in column) {
        print $column["status"], $column["map_ms"], $column["title_ms"]
    }' "$tsv")
echo "ref_win32 under Wine: status, ms to map, ms to title: ${result:-no run record}"
read -r status map_ms title_ms <<<"${result:-none NA NA}"
if [[ $status != ok || $map_ms == NA || $title_ms == NA ]]; then
    echo "FAIL: ref_win32.exe did not show a mapped top-level window titled as expected" >&2
    exit 1
fi

wineserver -k 2>/dev/null || true
wineserver -w
left=$(wine_x11_left_behind "$prefix")
if [[ -n $left ]]; then
    echo "FAIL: still running for the prefix after wineserver -k:" >&2
    ps -o pid,args -p "${left//$'\n'/,}" >&2 || true
    exit 1
fi
