#!/usr/bin/env bash
# The .deb's name, version and dependencies: the version is the one the version resource shows,
# and Depends covers every library the program loads and the font its window asks for. Usage:
# package_control_test.sh DEB VERSION_HEADER DEB_RELEASE.
source "$(dirname "$0")/../../tests/lib.sh"
require_tools dpkg-deb readelf ldconfig fc-query
require_package "$1"

deb="$1" header="$2" release="$3"
dpkg-deb -x "$deb" "$SCRATCH/root"
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
owner() { # the package that ships FILE on this machine, by its own path or the one it links to
  local candidate found
  for candidate in "$1" "$(readlink -f "$1")"; do
    found="$(dpkg-query -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1)" || true
    if [ -n "$found" ]; then
      echo "$found"
      return 0
    fi
  done
}
program="$SCRATCH/root/usr/bin/kestrand"
needed="$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')"
check "the program loads shared libraries" test -n "$needed"
# Captured once: a pipe whose reader stops early would fail under pipefail.
cache="$(ldconfig -p)"
for soname in $needed; do
  path="$(awk -v so="$soname" '$1 == so && /x86-64/ { print $NF; exit }' <<<"$cache")"
  [ -n "$path" ] || path="$(awk -v so="$soname" '$1 == so { print $NF; exit }' <<<"$cache")"
  package="$(owner "$path")"
  if [ -z "$package" ]; then
    fail "$soname: no installed package ships it"
  else
    check "$soname comes with $package, which Depends names" grep -qx "$package" <<<"$depends"
  fi
done

# The window asks for its font by family (app/qt maps the form's face to Liberation Sans), so
# no library dependency brings it. Followed as apt would on this system: in each clause of
# Depends the first alternative installed in a version it accepts, then that package's own
# Depends, until a package ships a face of that family.
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
ships_liberation_sans() {
  local file families
  while read -r file; do
    case "$file" in *.ttf | *.otf) ;; *) continue ;; esac
    families="$(fc-query -f '%{family}\n' "$file" 2>/dev/null | tr ',' '\n')" || true
    grep -qx 'Liberation Sans' <<<"$families" && return 0
  done < <(dpkg-query -L "$1" 2>/dev/null || true)
  return 1
}
provider=""
queue=("$(field Depends)") seen=" "
while [ ${#queue[@]} -gt 0 ] && [ -z "$provider" ]; do
  clauses="${queue[0]}" queue=("${queue[@]:1}")
  while read -r clause; do
    package="$(resolve "$clause")"
    [ -n "$package" ] && [[ "$seen" != *" $package "* ]] || continue
    seen+="$package "
    if ships_liberation_sans "$package"; then
      provider="$package"
      break
    fi
    queue+=("$(dpkg-query -W -f='${Depends}' "$package" 2>/dev/null)")
  done < <(tr ',' '\n' <<<"$clauses" | grep -v '^[[:space:]]*$')
done
check "what Depends brings in ships Liberation Sans${provider:+ ($provider)}" test -n "$provider"

outside="$(dpkg-deb -c "$deb" | awk '{ print $NF }' | grep -vE '^\./(usr/?.*)?$' || true)"
check "every file is under /usr${outside:+: $outside}" test -z "$outside"
finish
