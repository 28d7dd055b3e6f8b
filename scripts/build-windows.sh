#!/usr/bin/env bash
# Builds Cardel for 64-bit Windows with mingw-w64 against a static Qt:
# cardel.exe, cardel-export.exe and every test program of the tree, and packs
# build-windows/cardel-<version>-win64.zip for operators. The static Qt comes
# from the cache (scripts/windows-deps.sh) and is built there the first time.
# WINDOWS_BUILD_DIR (default build-windows/) holds the build between runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"
source "$(dirname "$0")/windows-deps.sh"
need_packages cmake ninja-build g++-mingw-w64-x86-64-posix googletest wine64 xvfb \
  dpkg-dev perl qt6-base-dev qt6-base-dev-tools qt6-translations-l10n git

DIR="${WINDOWS_BUILD_DIR:-$ROOT/build-windows}"
mkdir -p "$DIR"

build_googletest() {
  [ -f "$DIR/gtest/lib/cmake/GTest/GTestConfig.cmake" ] && return 0
  cmake -S /usr/src/googletest -B "$DIR/googletest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$DIR/gtest" -DBUILD_GMOCK=OFF >/dev/null
  nice -n 10 cmake --build "$DIR/googletest" -j "$JOBS"
  cmake --install "$DIR/googletest" >/dev/null
}

# Qt's toolchain file finds the static Qt and chain-loads the project's own,
# given again here so the cached Qt does not depend on this work tree's path.
# Tests are listed at ctest time, not after linking: the build host cannot run a .exe.
build_cardel() {
  cmake -S "$ROOT" -B "$DIR/cardel" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QT_PREFIX/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release \
    -DGTest_DIR="$DIR/gtest/lib/cmake/GTest" \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
    -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64 >/dev/null
  nice -n 10 cmake --build "$DIR/cardel" -j "$JOBS"
}

project_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$DIR/cardel/CMakeCache.txt"
}

# What the static linking of Qt asks for: the licences of everything inside
# the .exe files and directions to the exact source they were built from.
write_licences() {
  local folder="$1" qt_version
  qt_version="$(cat "$QT_PREFIX/.complete")"
  mkdir -p "$folder/licenze"
  cp "$ROOT/LICENSE" "$folder/LICENSE.txt"
  cp /usr/share/common-licenses/LGPL-3 "$folder/licenze/LGPL-3.0.txt"
  cp "$QT_PREFIX/licenses/debian-copyright" "$folder/licenze/qt6-base-copyright.txt"
  cp /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright \
    "$folder/licenze/mingw-w64-runtime-copyright.txt"
  sed -e "s/@QT_VERSION@/$qt_version/" -e "s/@VERSION@/$2/" \
    -e "s|@QT_OPTIONS@|${QT_OPTIONS[*]}|" \
    "$ROOT/packaging/windows/AVVISI.txt" >"$folder/licenze/AVVISI.txt"
}

# Windows users read text files in Notepad: CR LF line ends.
to_crlf() { sed -i 's/\r\{0,1\}$/\r/' "$@"; }

pack_zip() {
  local version stage name
  version="$(project_version)"
  name="cardel-$version-win64"
  stage="$DIR/zip/$name"
  rm -rf "$DIR/zip" "$DIR/$name.zip"
  # Where the operator puts the files of known locators.
  mkdir -p "$stage/sorgenti" "$stage/storico"
  cp "$DIR/cardel/app/cardel.exe" "$DIR/cardel/cardel-export/cardel-export.exe" "$stage/"
  x86_64-w64-mingw32-strip "$stage/cardel.exe" "$stage/cardel-export.exe"
  sed "s/@VERSION@/$version/" "$ROOT/packaging/windows/LEGGIMI.txt" >"$stage/LEGGIMI.txt"
  write_licences "$stage" "$version"
  # The working tree as built, uncommitted changes included.
  local tree
  tree="$(git -C "$ROOT" stash create)"
  git -C "$ROOT" archive --format=tar.gz --prefix="cardel-$version/" \
    -o "$stage/sorgenti/cardel-$version-src.tar.gz" "${tree:-HEAD}"
  to_crlf "$stage"/*.txt "$stage"/licenze/*.txt
  (cd "$DIR/zip" && cmake -E tar cf "$DIR/$name.zip" --format=zip "$name")
  echo "Packed $DIR/$name.zip ($(du -k "$DIR/$name.zip" | cut -f1) KB)"
}

# Whoever hands the zip on must be able to hand on Qt's source too: Debian's
# source package is kept beside it.
keep_qt_source() {
  local version
  version="$(cat "$QT_PREFIX/.complete")"
  if ! ls "$QT_PREFIX"/source/*.dsc >/dev/null 2>&1; then
    mkdir -p "$QT_PREFIX/source"
    (cd "$QT_PREFIX/source" && apt-get source -qq --download-only "qt6-base=$version" >/dev/null)
  fi
  rm -rf "$DIR/sorgenti-qt"
  cp -r "$QT_PREFIX/source" "$DIR/sorgenti-qt"
}

ensure_windows_qt
keep_qt_source
build_googletest
build_cardel
pack_zip
