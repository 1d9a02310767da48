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
  local missing=() pkg
  for pkg in "$@"; do installed "$pkg" || missing+=("$pkg"); done
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
  installed fonts-liberation && dpkg --compare-versions "$(dpkg-query -W -f='${Version}' fonts-liberation)" ge 1:2 &&
    { echo fonts-liberation; return; }
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
# What the tests need beyond that (the resource test inflates the PNG's stream with zlib;
# and the sandbox that every test that starts programs runs in).
KESTRAND_TEST_PACKAGES=(libgtest-dev zlib1g-dev python3 bubblewrap)
# Fuzzing, the sanitizers and coverage: the release's own clang, whatever its version.
KESTRAND_CLANG_PACKAGES=(clang llvm libclang-rt-dev)

# read_options KNOWN "$@": the one way the scripts read their command line. KNOWN lists the
# long options, "name=" for one that takes a value: each sets opt_name (dashes become
# underscores) to its value, or to "yes". The other arguments are left in args. --help prints
# the script's $usage; anything unknown, or an option without its value, prints it to
# standard error and ends the script with status 2, before any work begins.
read_options() {
  local known=" $1 " name
  shift
  args=()
  while [ $# -gt 0 ]; do
    case "$1" in
      -h | --help) echo "$usage"; exit 0 ;;
      --) shift; args+=("$@"); break ;;
      --?*)
        name="${1#--}"
        if [[ "$known" == *" $name= "* ]] && [ $# -ge 2 ]; then
          printf -v "opt_${name//-/_}" %s "$2"
          shift 2
        elif [[ "$known" == *" $name "* ]]; then
          printf -v "opt_${name//-/_}" %s yes
          shift
        else
          usage_error
        fi ;;
      -?*) usage_error ;;
      *) args+=("$1"); shift ;;
    esac
  done
}
usage_error() { echo "$usage" >&2; exit 2; }
# takes_no_arguments "$@", for the scripts that take none.
takes_no_arguments() {
  usage="Usage: scripts/$(basename "$0")   (it takes no arguments)"
  read_options "" "$@"
  [ ${#args[@]} -eq 0 ] || usage_error
}

# How many jobs a build runs: KESTRAND_BUILD_JOBS, else one a core.
build_jobs() { echo "${KESTRAND_BUILD_JOBS:-$(nproc 2>/dev/null || echo 2)}"; }

# sandbox_or_not: says whether the tests that start programs can run here, each in a sandbox
# of its own; where bubblewrap cannot make one (a kernel that refuses user namespaces to a
# normal user), sets sandboxed=(-LE sandboxed), so that ctest leaves them out.
sandbox_or_not() {
  if "$KESTRAND_ROOT/tests/sandbox.sh" --check; then
    echo "Sandbox: $(bwrap --version) (own PID, IPC, network, UTS and mount namespaces;" \
      "own /tmp, /run, /dev and HOME; the system read-only)"
  else
    echo "Sandbox: NONE: bubblewrap cannot make its namespaces here; the tests that start" \
      "programs are not run"
    sandboxed=(-LE sandboxed)
  fi
}
# not_sandboxed: closes a run that left those tests out with a line that says so; under CI
# such a run fails.
not_sandboxed() {
  [ ${#sandboxed[@]} -ne 0 ] || return 0
  echo "scripts/test: NOT TESTED on this system: the tests that start programs (no sandbox:" \
    "bubblewrap cannot make its namespaces here)"
  [ "${CI:-}" != true ] || { echo "scripts/test: CI needs the sandbox" >&2; exit 1; }
}

# Whether this tree is a git checkout of its own, not a copy of it (the release check's, which
# may lie inside some other repository).
git_checkout() {
  [ "$(git -C "$KESTRAND_ROOT" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$KESTRAND_ROOT" && pwd -P)" ]
}

# source_date_epoch prints the time every file in a download carries: SOURCE_DATE_EPOCH where
# the caller gives it (a copy of the tree that is no git checkout has no other), else the
# time of the commit checked out here.
source_date_epoch() {
  if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    echo "$SOURCE_DATE_EPOCH"
  elif git_checkout; then
    git -C "$KESTRAND_ROOT" log -1 --format=%ct
  else
    echo "$(basename "$0"): $KESTRAND_ROOT is not a git checkout: set SOURCE_DATE_EPOCH to the source's time" >&2
    return 1
  fi
}

# emscripten_environment: emcc is a Python program that needs Debian's own Python modules, and
# its optimizer loads Debian's acorn, which a Node that is not Debian's finds only through
# NODE_PATH.
emscripten_environment() {
  export PATH="/usr/bin:$PATH" NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
}
