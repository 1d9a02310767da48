#!/usr/bin/env bash
# Unpacks the .deb into an empty root and checks it as a desktop would: the entry's Exec and Icon
# resolve inside that root, the unpacked program is hardened, starts and keeps running. Usage:
# installed_tree_test.sh DEB APP_ID. Nothing is installed on this machine.
source "$(dirname "$0")/../../tests/lib.sh"
require_tools dpkg-deb timeout readelf
require_package "$1"

deb="$1" id="$2"
root="$SCRATCH/root"
dpkg-deb -x "$deb" "$root"

entry="$root/usr/share/applications/$id.desktop"
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
check "the desktop entry is installed as $id.desktop" test -f "$entry"
check "the metadata is installed as $id.metainfo.xml" test -f "$metainfo"
[ -f "$entry" ] || finish

# Exec: a bare name is looked up on the PATH a desktop session has, inside the root.
exec_line="$(desktop_key "$entry" Exec)"
program="${exec_line%% *}"
resolved=""
if [[ "$program" == /* ]]; then
  [ -x "$root$program" ] && resolved="$root$program"
else
  for dir in usr/local/bin usr/bin bin usr/local/games usr/games; do
    if [ -x "$root/$dir/$program" ] && [ -f "$root/$dir/$program" ]; then
      resolved="$root/$dir/$program"
      break
    fi
  done
fi
check "Exec=$exec_line names a program in the package" test -n "$resolved"

# Icon: a theme name, found in the hicolor fallback theme at the sizes the package ships; each
# file must be as big as its folder says, or the desktop scales the wrong one.
icon="$(desktop_key "$entry" Icon)"
check "Icon= is a theme name, not a path" test -n "$icon" -a "${icon#/}" = "$icon"
png_size() { # prints WIDTHxHEIGHT of a PNG from its IHDR chunk
  local bytes
  read -r -a bytes <<<"$(od -An -tu1 -j16 -N8 "$1")"
  echo "$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]))x$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))"
}
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

# Hardened as Debian's own programs are: relocations read-only and bound at start, and the
# C library calls fortified.
if [ -n "$resolved" ]; then
  check "the program binds at start (BIND_NOW)" grep -q -E '\(BIND_NOW\)|\(FLAGS_1\).* NOW' \
    <<<"$(readelf -d "$resolved")"
  check "the program's relocations are read-only after start (GNU_RELRO)" grep -q GNU_RELRO \
    <<<"$(readelf -lW "$resolved")"
  check "the program calls fortified functions" grep -q -E ' __[a-z_]+_chk(@|$)' \
    <<<"$(readelf --dyn-syms -W "$resolved")"
fi

# The unpacked program must start and stay up until it is stopped: timeout's 124.
if [ -n "$resolved" ]; then
  export XDG_RUNTIME_DIR="$SCRATCH/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  set +e
  QT_QPA_PLATFORM=offscreen timeout 2 "$resolved" >"$SCRATCH/run.log" 2>&1
  status=$?
  set -e
  echo "timeout 2 ${resolved#"$root"} under offscreen: exit $status"
  [ "$status" -eq 124 ] || cat "$SCRATCH/run.log"
  check "the unpacked program runs until it is stopped" test "$status" -eq 124
fi
finish
