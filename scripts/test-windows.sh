#!/usr/bin/env bash
# Cross-compiles the core and its tests for 64-bit Windows with mingw-w64 and
# runs them under Wine, headless. The window is not built: Qt for Windows is
# not packaged here. WINDOWS_BUILD_DIR (default build-windows/) holds the
# build and a Wine prefix of its own, kept between runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages cmake ninja-build g++-mingw-w64-x86-64-posix googletest wine64

DIR="${WINDOWS_BUILD_DIR:-$ROOT/build-windows}"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

if [ ! -f "$DIR/gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$DIR/googletest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$DIR/gtest" -DBUILD_GMOCK=OFF >/dev/null
  cmake --build "$DIR/googletest" -j "$JOBS"
  cmake --install "$DIR/googletest" >/dev/null
fi

# Tests are listed at ctest time, not after linking: the build host cannot run a .exe.
cmake -S "$ROOT" -B "$DIR/cardel" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCARDEL_BUILD_UI=OFF -DCARDEL_BUILD_EXPORT=OFF \
  -DGTest_DIR="$DIR/gtest/lib/cmake/GTest" \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$WINE" >/dev/null
cmake --build "$DIR/cardel" -j "$JOBS" --target core_tests

export WINEARCH=win64 WINEPREFIX="$DIR/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE" wineboot --init >/dev/null 2>&1
  "$WINESERVER" -w
fi
"$WINE" "$DIR/cardel/tests/core_tests.exe"
