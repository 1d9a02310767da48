#!/usr/bin/env bash
# Builds the .deb from the build tree as installed, for the tests that take it apart.
# Usage: build_package.sh CPACK CPACK_CONFIG OUT_DIR DEB_NAME. It builds nothing else.
source "$(dirname "$0")/../../tests/lib.sh"

cpack="$1" config="$2" out="$3" deb="$4"
require_tools dpkg-deb dpkg-shlibdeps
rm -rf "$out" && mkdir -p "$out"
"$cpack" --config "$config" -G DEB -B "$out" >"$out/cpack.log" 2>&1 && [ -f "$out/$deb" ] ||
  { cat "$out/cpack.log"; echo "FAIL: cpack made no $deb; it made:" "$(ls "$out")"; exit 1; }
echo "built $out/$deb"
dpkg-deb -f "$out/$deb" Package Version Architecture Installed-Size Depends
