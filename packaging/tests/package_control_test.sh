#!/usr/bin/env bash
# The .deb's name, version and dependencies: the version is the one the version resource shows,
# and Depends covers every library the program loads and the font its window asks for. Usage:
# package_control_test.sh DEB VERSION_HEADER DEB_RELEASE.
source "$(dirname "$0")/../../tests/lib.sh"
source "$(dirname "$0")/../../scripts/lib/buildinfo.sh"
require_tools dpkg-deb readelf ldconfig fc-list

deb="$1" header="$2" release="$3"
unpack "$deb"
field() { dpkg-deb -f "$deb" "$1"; }
echo "Depends: $(field Depends)"
echo "Installed-Size: $(field Installed-Size)"

shown="$(sed -n 's/^#define KESTRAND_VERSION_TEXT "\(.*\)"$/\1/p' "$header")"
check "the version resource's text was found ($shown)" test -n "$shown"
check "Version is $shown-$release" test "$(field Version)" = "$shown-$release"
check "the file is named Package_Version_Architecture.deb" \
  test "$(basename "$deb")" = "$(field Package)_$(field Version)_$(field Architecture).deb"
check "Installed-Size is given" test "$(field Installed-Size)" -gt 0

# Package names in Depends, without versions or alternatives' extras.
depends="$(field Depends | tr ',|' '\n\n' | sed 's/(.*//; s/[[:space:]]//g' | grep -v '^$' | sort -u)"
needed="$(readelf -d "$root/usr/bin/kestrand" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')"
check "the program loads shared libraries" test -n "$needed"
# Captured once: a pipe whose reader stops early would fail under pipefail.
cache="$(ldconfig -p)"
for soname in $needed; do
  path="$(awk -v so="$soname" '$1 != so { next } !p { p = $NF } /x86-64/ { p = $NF; exit } END { print p }' <<<"$cache")"
  # The package that ships it on this machine, by its own path or the one it links to.
  package="$(dpkg-query -S "$path" "$(readlink -f "$path")" 2>/dev/null | head -n1 | cut -d: -f1)" || true
  if [ -z "$package" ]; then
    fail "$soname: no installed package ships it"
  else
    check "$soname comes with $package, which Depends names" grep -qx "$package" <<<"$depends"
  fi
done

# The window asks for its font by family (app/qt maps the form's face to Liberation Sans), so
# no library dependency brings it. Followed as apt would on this system: in each clause of
# Depends the first alternative installed in a version it accepts, then all that it brings in
# as installed (scripts/lib/buildinfo.sh), until a package ships a face of that family.
resolve() { # CLAUSE -> the installed package that satisfies it
  local alternative name relation version installed
  while read -r alternative; do
    name="$(sed 's/(.*//; s/[[:space:]]//g; s/:any$//' <<<"$alternative")"
    installed="$(dpkg-query -W -f='${Status} ${Version}' "$name" 2>/dev/null |
      sed -n 's/^install ok installed //p')" || true
    [ -n "$installed" ] || continue
    relation="" version=""
    read -r relation version < <(sed -n 's/.*(\([<>=]*\)[[:space:]]*\([^)]*\)).*/\1 \2/p' <<<"$alternative") || true
    if [ -z "$relation" ] || dpkg --compare-versions "$installed" "${relation/#=/eq}" "$version"; then
      echo "$name"
      return 0
    fi
  done < <(tr '|' '\n' <<<"$1")
}
seeds="$(field Depends | tr ',' '\n' | while read -r clause; do resolve "$clause"; done)"
# The packages that ship a face of the family, of the fonts this system has.
faces="$(fc-list -f '%{file}\n' 'Liberation Sans' | xargs -r dpkg-query -S 2>/dev/null |
  cut -d: -f1 | tr ', ' '\n\n')" || true
provider="$(installed_closure $seeds | cut -d' ' -f1 | grep -m1 -xFf <(grep . <<<"$faces"))" || true
check "what Depends brings in ships Liberation Sans${provider:+ ($provider)}" test -n "$provider"

outside="$(dpkg-deb -c "$deb" | awk '{ print $NF }' | grep -vE '^\./(usr/?.*)?$' || true)"
check "every file is under /usr${outside:+: $outside}" test -z "$outside"
finish
