#!/usr/bin/env bash
# Builds the per-user Windows Installer package around a kestrand.exe with wixl (msitools).
# Usage: build_msi.sh KESTRAND_EXE VERSION VERSION_TEXT OUT.msi
#   VERSION is the four-part number Windows Installer compares (1.3.0.0); VERSION_TEXT the
#   one people read (1.03).
set -euo pipefail

# The package is written from the scratch folder: a relative OUT is the caller's.
exe="$1" version="$2" version_text="$3" out="$(realpath -m "$4")"
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

# The same input gives the same bytes: the times wixl and the cabinet would take from the clock
# and the files come from SOURCE_DATE_EPOCH (the commit's time, as scripts/package sets it),
# read through faketime, as wixl has no setting for them.
epoch="${SOURCE_DATE_EPOCH:?build_msi.sh: SOURCE_DATE_EPOCH is not set}"
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*
# uuid TEXT: a UUID (version 5 layout) from TEXT's digest.
uuid() {
  local h
  h="$(printf '%s' "$1" | sha256sum | cut -c1-32)"
  printf '%s-%s-5%s-%x%s-%s\n' "${h:0:8}" "${h:8:4}" "${h:13:3}" \
    $(((0x${h:16:1} & 0x3) | 0x8)) "${h:17:3}" "${h:20:12}" | tr a-f A-F
}
# One product a version: a rebuild of it, on another release or with another compiler, is the
# same product to Windows Installer, and replaces it instead of being installed beside it.
upgrade_code="$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' "$stage/kestrand.wxs" | tr a-f A-F)"
product_code="{$(uuid "product $upgrade_code $version")}"
# Windows Installer takes two packages with one package code to be the same bytes, so every
# input has its part in it: the files, the version, the time and the tools that write it.
source "$root/scripts/lib/buildinfo.sh"
inputs() {
  (cd "$stage" && sha256sum kestrand.wxs kestrand.exe kestrand.ico LICENSE.txt)
  echo "$version $version_text $epoch"
  installed_closure wixl msitools faketime
}
digest="$(inputs | sha256sum | cut -c1-64)"
package_code="{$(uuid "package $digest")}"
at_epoch() { TZ=UTC faketime -f "$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')" "$@"; }
cd "$stage"
at_epoch wixl --arch x64 -D Version="$version" -D VersionText="$version_text" \
  -D ProductCode="$product_code" -D PackageCode="$package_code" -o package.msi kestrand.wxs
# Where wixl makes up the package code itself (msitools 0.101 does), it is set afterwards;
# msibuild sets the summary's subject, author and template with it, so they are given again
# as wixl wrote them.
summary() { msiinfo suminfo package.msi | sed -n "s/^$1: //p"; }
if [ "$(summary 'Revision number (UUID)')" != "$package_code" ]; then
  at_epoch msibuild package.msi -s "$(summary Subject)" "$(summary Author)" \
    "$(summary Template)" "$package_code"
fi
mv package.msi "$out"
