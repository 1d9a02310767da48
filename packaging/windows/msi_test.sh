#!/usr/bin/env bash
# The Windows Installer package as a player meets it, under Wine in a prefix of the test's own:
# its properties, a silent per-user install with its Start-menu shortcut, the installed program
# started through that shortcut, a second install that harms nothing, a later version that
# replaces this one, and an uninstall that leaves nothing behind.
# Usage: msi_test.sh KESTRAND_EXE VERSION VERSION_TEXT
source "$(dirname "$0")/../../tests/lib.sh"

exe="$1" version="$2" version_text="$3"
here="$(cd "$(dirname "$0")" && pwd)"
require_tools wixl msiinfo msibuild faketime wine wineboot wineserver Xvfb xdotool

msi="$SCRATCH/kestrand.msi"
# The packages' times: any fixed one will do here.
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(stat -c %Y "$exe")}"
bash "$here/build_msi.sh" "$exe" "$version" "$version_text" "$msi"
# The next version up, as a later release would be numbered.
IFS=. read -r major minor patch tweak <<<"$version"
later="$major.$minor.$((patch + 1)).$tweak"
bash "$here/build_msi.sh" "$exe" "$later" "$version_text" "$SCRATCH/later.msi"

# --- what the package says of itself ---
# property NAME [MSI]: a property of the package (this version's unless another is named).
property() { msiinfo export "${2:-$msi}" Property | tr -d '\r' | awk -F'\t' -v key="$1" '$1 == key { print $2 }'; }
upgrade_code="$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/{\1}/p' "$here/kestrand.wxs" | tr a-f A-F)"
check "ProductName is WUNA Kestrand" test "$(property ProductName)" = "WUNA Kestrand"
check "ProductVersion is $version" test "$(property ProductVersion)" = "$version"
check "a Manufacturer is named" test -n "$(property Manufacturer)"
check "the UpgradeCode is the fixed one" test "$(property UpgradeCode | tr a-f A-F)" = "$upgrade_code"
check "the later build has a product code of its own" \
  test "$(property ProductCode)" != "$(property ProductCode "$SCRATCH/later.msi")"
# Per user: ALLUSERS unset, and the summary's word count says no elevation is needed (bit 8).
check "ALLUSERS is not set: the install is the user's own" test -z "$(property ALLUSERS)"
word_count="$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')"
check "no administrator rights are asked for" test $((word_count & 8)) -eq 8
check "the package is under 400 KB" test "$(stat -c %s "$msi")" -lt $((400 * 1024))

# --- installed under Wine, on an X display, in a fresh prefix ---
start_xvfb
wine_environment "$SCRATCH/prefix"
wineserver -p
wineboot -i >"$SCRATCH/wineboot.log" 2>&1

windows_path() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
installed_dir="$(winepath -u "$(windows_path LOCALAPPDATA)\\Programs\\Kestrand" 2>/dev/null)"
programs_dir="$(dirname "$installed_dir")"
shortcut="$(winepath -u "$(windows_path APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Kestrand.lnk" 2>/dev/null)"
# msiexec ARG...: an install or removal, done once no part of it runs any more.
msiexec() {
  local status=0
  wine msiexec "$@" >>"$SCRATCH/msiexec.log" 2>&1 || status=$?
  wait_for 60 eval '! pgrep -f "msiexec\.exe"' || status=1
  return "$status"
}
# installed_products: the display names and versions under the user's and the machine's
# Installed apps entries.
installed_products() {
  local root
  for root in HKCU HKLM; do
    wine reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null |
      tr -d '\r' | awk '/DisplayName/ { name = $3 " " $4 } /DisplayVersion/ && name ~ /Kestrand/ { print name " " $3; name = "" }'
  done
}

check "installs silently" msiexec /i "$(winepath -w "$msi")" /qn
check "kestrand.exe is in the user's programs folder, the same file as given" \
  cmp -s "$exe" "$installed_dir/kestrand.exe"
check "the Start-menu shortcut is there" test -f "$shortcut"
check "the shortcut points to the installed program" \
  grep -qaF 'Programs\Kestrand\kestrand.exe' "$shortcut"
check "Installed apps lists WUNA Kestrand $version" \
  test "$(installed_products)" = "WUNA Kestrand $version"

# Judged by the window below: where the install failed, the test goes on to report it all,
# msiexec's log included.
wine start "$(winepath -w "$shortcut")" >"$SCRATCH/start.log" 2>&1 || true
check "started by its shortcut, the program shows its window" \
  wait_for 30 xdotool search --name "^$KESTRAND_TITLE\$"
stop_wine
wineserver -p

check "installing again succeeds" msiexec /i "$(winepath -w "$msi")" /qn
check "and leaves the program in place" cmp -s "$exe" "$installed_dir/kestrand.exe"

# Another build of this version, its exe other bytes (as another release's compiler makes it):
# the same product. Run plainly, as a double-click does, Windows refuses it and Wine takes it
# for the one installed; either way one Kestrand stays. A reinstall from it brings its files.
{ cat "$exe"; echo "another build"; } >"$SCRATCH/rebuilt.exe"
bash "$here/build_msi.sh" "$SCRATCH/rebuilt.exe" "$version" "$version_text" "$SCRATCH/rebuilt.msi"
check "another build of $version has the same product code" \
  test "$(property ProductCode)" = "$(property ProductCode "$SCRATCH/rebuilt.msi")"
msiexec /i "$(winepath -w "$SCRATCH/rebuilt.msi")" /qn || true
check "installed plainly over the first, it leaves one Kestrand" \
  test "$(installed_products)" = "WUNA Kestrand $version"
check "it installs over the first as a reinstall" \
  msiexec /i "$(winepath -w "$SCRATCH/rebuilt.msi")" REINSTALL=ALL REINSTALLMODE=vomus /qn
check "and leaves one Kestrand" test "$(installed_products)" = "WUNA Kestrand $version"
check "with the new build's program in place" cmp -s "$SCRATCH/rebuilt.exe" "$installed_dir/kestrand.exe"

check "a later version installs over it" msiexec /i "$(winepath -w "$SCRATCH/later.msi")" /qn
check "and replaces it: one Kestrand installed, the later one" \
  test "$(installed_products)" = "WUNA Kestrand $later"
check "the program is still in place" test -f "$installed_dir/kestrand.exe"

check "uninstalls silently" msiexec /x "$(winepath -w "$SCRATCH/later.msi")" /qn
check "no program folder is left" test ! -e "$installed_dir"
check "no empty programs folder is left" test ! -d "$programs_dir" -o -n "$(ls -A "$programs_dir" 2>/dev/null)"
check "no shortcut is left" test ! -e "$shortcut"
check "Installed apps lists no Kestrand" test -z "$(installed_products)"
check "no registry key of the program is left" \
  sh -c "! wine reg query 'HKCU\\Software\\Kestrand Project' >/dev/null 2>&1"

[ "$failures" -eq 0 ] || { echo "--- msiexec"; cat "$SCRATCH/msiexec.log"; }
finish
