# The Windows cross build shared by build-windows and test: its packages and
# its configuration. Sourced after common.sh, not run.

# The cross compiler; the tests add Wine with its own fonts (the faces the
# window asks for), GoogleTest's sources, and wixl with msitools (and faketime,
# for its times) for the installer package, which they install under Wine on an
# X display.
KESTRAND_WINDOWS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64)
KESTRAND_WINDOWS_TEST_PACKAGES=(wine wine64 fonts-wine googletest wixl msitools faketime xvfb xdotool)

# configure_windows_build DIR TESTS(ON|OFF) [CMAKE-ARG...]: 64-bit Windows,
# Win32 front end only, optimised for size as shipped.
configure_windows_build() {
  cmake -S "$KESTRAND_ROOT" -B "$1" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$KESTRAND_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DKESTRAND_QT=OFF -DKESTRAND_WIN32=ON \
    -DKESTRAND_TESTS="$2" "${@:3}" >/dev/null
}
