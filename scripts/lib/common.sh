# Shared by the scripts: where the repo is, and installing what is missing.
# Sourced, not run.
set -euo pipefail

KESTRAND_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export KESTRAND_ROOT

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
# Said before anything is installed, so that a password prompt never comes unexplained.
as_root_note() { [ "$(id -u)" -eq 0 ] || echo " (as root, through sudo)"; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# ensure_packages PKG... installs through apt-get those not yet installed.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    installed "$pkg" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}$(as_root_note)"
  as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# The package that ships Liberation Sans 2, the form's font: fonts-liberation2 on Debian 12,
# fonts-liberation from Debian 13 on, where the former is only a transitional package.
# Whichever is installed already; else the archive's candidate, read without root where apt
# has its lists.
liberation_sans_package() {
  local version
  version="$(dpkg-query -W -f='${Version}' fonts-liberation 2>/dev/null)" || version=""
  if installed fonts-liberation && dpkg --compare-versions "$version" ge 1:2; then
    echo fonts-liberation
    return
  fi
  installed fonts-liberation2 && { echo fonts-liberation2; return; }
  candidate() { apt-cache policy fonts-liberation 2>/dev/null | sed -n 's/^ *Candidate: //p'; }
  version="$(candidate)"
  if [ -z "$version" ] || [ "$version" = "(none)" ]; then
    echo "Installing Liberation Sans, the window's font: apt's package lists first$(as_root_note)" >&2
    as_root apt-get update -qq
    version="$(candidate)"
  fi
  if dpkg --compare-versions "${version:-0}" ge 1:2; then echo fonts-liberation; else echo fonts-liberation2; fi
}

# Packages every build needs: the compiler, CMake, Qt and the form's font.
KESTRAND_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev "$(liberation_sans_package)")
# What configuring the tests needs beyond that (the resource test inflates the PNG's stream).
KESTRAND_TEST_PACKAGES=(libgtest-dev zlib1g-dev python3)
# Fuzzing, the sanitizers and coverage: the release's own clang, whatever its version.
KESTRAND_CLANG_PACKAGES=(clang llvm libclang-rt-dev)

# takes_no_arguments "$@", for the scripts that take none: --help says so, and anything else
# is a mistake, told before any work begins.
takes_no_arguments() {
  [ $# -eq 0 ] && return 0
  local usage="Usage: scripts/$(basename "$0")   (it takes no arguments)"
  case "$1" in
    -h | --help) echo "$usage"; exit 0 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
}

# How many jobs a build runs: KESTRAND_BUILD_JOBS, else one a core.
build_jobs() { echo "${KESTRAND_BUILD_JOBS:-$(nproc 2>/dev/null || echo 2)}"; }
