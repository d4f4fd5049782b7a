#!/usr/bin/env bash
# The Windows build: installs what it needs (mingw-w64, Wine, GoogleTest's sources), cross-builds krav-cli.exe
# and the test suite for 64-bit Windows with mingw-w64 (linked statically, GoogleTest built from Debian's
# sources with the same compiler), runs the whole suite under Wine in a throw-away Wine prefix, and then runs
# the sample game folder and a generated log through the Linux and the Windows krav-cli in all three modes,
# comparing their status lines, JSON dumps and every file they leave behind.
#
# Usage: scripts/windows.sh [BUILD_DIR]      (default: build-windows; the Linux build is build/)
# No display is needed. Set KRAV_SKIP_COMPARE=1 to run the suite only.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-windows}
toolchain="$top/cmake/mingw-w64-x86_64.cmake"

"$top/scripts/install-packages.sh" cmake make g++-mingw-w64-x86-64-posix googletest wine wine64

# Wine keeps its registry and its C: drive in the prefix: a fresh one for every run, gone at the end.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/krav-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

start=$SECONDS
gtest_build="$build/googletest"
gtest_prefix="$build/googletest-install"
if [ ! -f "$gtest_prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
    echo "== GoogleTest for Windows"
    cmake -S /usr/src/googletest -B "$gtest_build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest_prefix" >/dev/null
    cmake --build "$gtest_build" -j"$(nproc)" >/dev/null
    cmake --install "$gtest_build" >/dev/null
fi

echo "== krav-cli.exe and the test suite"
cmake -S "$top" -B "$build/krav" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DKRAV_WINDOW=OFF -DGTest_DIR="$gtest_prefix/lib/cmake/GTest" --no-warn-unused-cli >/dev/null
cmake --build "$build/krav" -j"$(nproc)"
bin="$build/krav/bin"
built=$SECONDS

echo "== Wine prefix"
wine wineboot --init >/dev/null 2>&1
booted=$SECONDS

echo "== Test suite under Wine"
(cd "$bin" && wine krav_tests.exe)
tested=$SECONDS

if [ "${KRAV_SKIP_COMPARE:-0}" != 1 ]; then
    echo "== Same results on Linux and Windows"
    if [ ! -x "$top/build/bin/krav-cli" ] || [ ! -x "$top/build/bin/loggen" ]; then
        "$top/scripts/setup.sh" "$top/build" -DCMAKE_BUILD_TYPE=Release
    fi
    bash "$top/scripts/compare-systems.sh" "$top/build/bin" "$bin"
fi

echo "Windows build: built in $((built - start)) s, Wine prefix in $((booted - built)) s," \
    "suite in $((tested - booted)) s, all in $((SECONDS - start)) s"
