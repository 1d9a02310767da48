#!/usr/bin/env bash
# One run of the start-up probe on a reference window under Wine, as scripts/bench-windows
# runs it: the window must reach the probe's Xvfb as a mapped top-level window with its title,
# or the Windows row would be all timeouts; and stopping Wine must leave nothing running.
# Usage: maps_under_wine_test.sh PROBE EXE TEMPLATE
source "$(dirname "$0")/../../tests/lib.sh"
probe="$1" exe="$2" template="$3"
"$(dirname "$0")/wine_x11.sh" "$template" "$probe" --runs 1 --no-warmup --timeout 20000 \
  --title "$KESTRAND_TITLE" --tsv "$SCRATCH/probe.tsv" --cmd ref_win32 wine "$exe"

# Columns by name: the probe's TSV grows columns now and then.
result="$(awk -F'\t' '
  $1 == "#run" { for (i = 1; i <= NF; i++) column[$i] = i }
  $1 == "run" && ("status" in column) { print $column["status"], $column["map_ms"], $column["title_ms"] }
  ' "$SCRATCH/probe.tsv")"
echo "under Wine: status, ms to map, ms to title: ${result:-no run record}"
read -r status map_ms title_ms <<<"${result:-none NA NA}"
check "$(basename "$exe") shows a mapped top-level window with its title" \
  test "$status" = ok -a "$map_ms" != NA -a "$title_ms" != NA
finish
