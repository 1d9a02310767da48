# Shared by the scripts: where the repo is, and installing what is missing.
# Sourced, not run.
set -euo pipefail

KESTRAND_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export KESTRAND_ROOT

# Packages every build needs: the compiler, CMake, Qt and the form's font.
KESTRAND_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev fonts-liberation2)

# ensure_packages PKG... installs through apt-get those not yet installed.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

build_jobs() { nproc 2>/dev/null || echo 2; }
