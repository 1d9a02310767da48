#!/usr/bin/env bash
# Builds the per-user Windows Installer package around a kestrand.exe with wixl (msitools).
# Usage: build_msi.sh KESTRAND_EXE VERSION VERSION_TEXT OUT.msi
#   VERSION is the four-part number Windows Installer compares (1.3.0.0); VERSION_TEXT the
#   one people read (1.03).
set -euo pipefail

exe="$1" version="$2" version_text="$3" out="$4"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"

# wixl takes its files by names relative to the source: everything goes into one folder.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$here/kestrand.wxs" "$stage/"
cp "$exe" "$stage/kestrand.exe"
cp "$root/resources/kestrand.ico" "$stage/"
# Windows players open it in Notepad: CR LF line ends.
sed -e 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
(cd "$stage" && wixl --arch x64 -D Version="$version" -D VersionText="$version_text" \
  -o package.msi kestrand.wxs)
mv "$stage/package.msi" "$out"
