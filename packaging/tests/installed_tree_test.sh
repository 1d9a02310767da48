#!/usr/bin/env bash
# Unpacks the .deb into an empty root and checks it as a desktop would: the entry's Exec and Icon
# resolve inside that root, the unpacked program is hardened, starts and keeps running. Usage:
# installed_tree_test.sh DEB APP_ID. Nothing is installed on this machine.
source "$(dirname "$0")/../../tests/lib.sh"
require_tools dpkg-deb timeout readelf

id="$2"
unpack "$1"
entry="$root/usr/share/applications/$id.desktop"
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
check "the desktop entry is installed as $id.desktop" test -f "$entry"
check "the metadata is installed as $id.metainfo.xml" test -f "$metainfo"
[ -f "$entry" ] || finish

# Exec: a bare name is looked up on the PATH a desktop session has, inside the root.
exec_line="$(desktop_key "$entry" Exec)"
program="${exec_line%% *}" resolved=""
[[ "$program" == /* ]] && places=("") || places=(/usr/local/bin/ /usr/bin/ /bin/ /usr/local/games/ /usr/games/)
for place in "${places[@]}"; do
  [ -f "$root$place$program" ] && [ -x "$root$place$program" ] && resolved="$root$place$program" && break
done
check "Exec=$exec_line names a program in the package" test -n "$resolved"

# Icon: a theme name, found in the hicolor fallback theme at the sizes the package ships; each
# file must be as big as its folder says, or the desktop scales the wrong one.
icon="$(desktop_key "$entry" Icon)"
check "Icon= is a theme name, not a path" test -n "$icon" -a "${icon#/}" = "$icon"
# png_size FILE: WIDTHxHEIGHT, from the PNG's IHDR chunk.
png_size() { od -An -tu4 --endian=big -j16 -N8 "$1" | awk '{ print $1 "x" $2 }'; }
for size in 32 48 64 128; do
  file="$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  if [ -f "$file" ]; then
    check "the ${size}x${size} icon is ${size}x${size} pixels" test "$(png_size "$file")" = "${size}x${size}"
  else
    fail "Icon=$icon has no ${size}x${size} PNG in hicolor"
  fi
done
stray="$(find "$root/usr/share/icons" -type f ! -path "*/hicolor/*/apps/$icon.png" | sed "s|^$root||")"
check "no icon file under another name or place${stray:+: $stray}" test -z "$stray"

# The metadata is what software centres show; it must lead to this entry.
check "the metadata launches $id.desktop" \
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
check "the entry names a window class to match" test -n "$(desktop_key "$entry" StartupWMClass)"

if [ -n "$resolved" ]; then
  # Hardened as Debian's own programs are: relocations read-only and bound at start, and the
  # C library calls fortified.
  check "the program binds at start (BIND_NOW)" grep -q -E '\(BIND_NOW\)|\(FLAGS_1\).* NOW' \
    <<<"$(readelf -d "$resolved")"
  check "the program's relocations are read-only after start (GNU_RELRO)" grep -q GNU_RELRO \
    <<<"$(readelf -lW "$resolved")"
  check "the program calls fortified functions" grep -q -E ' __[a-z_]+_chk(@|$)' \
    <<<"$(readelf --dyn-syms -W "$resolved")"
  # The unpacked program must start and stay up until it is stopped: timeout's 124.
  QT_QPA_PLATFORM=offscreen timeout 2 "$resolved" >"$SCRATCH/run.log" 2>&1 && status=0 || status=$?
  echo "timeout 2 ${resolved#"$root"} under offscreen: exit $status"
  [ "$status" -eq 124 ] || cat "$SCRATCH/run.log"
  check "the unpacked program runs until it is stopped" test "$status" -eq 124
fi
finish
