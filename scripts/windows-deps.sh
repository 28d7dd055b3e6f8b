# Shared by the Windows scripts: a static Qt for 64-bit Windows, cross-built
# from Debian's own qt6-base source with Debian's host Qt tools, and kept in a
# cache outside the work tree so a fresh clone on the same machine builds it
# only once. Usage: source scripts/windows-deps.sh; ensure_windows_qt

CACHE="${CARDEL_WINDOWS_CACHE:-/var/cache/cardel-windows}"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
MINGW_CXX=x86_64-w64-mingw32-g++-posix

# Only the modules the programs and their tests use; no OpenGL, D-Bus, SQL,
# network, print support, freetype or qmake. Debian's tarball has no wintab
# (tablet events), and without direct2d the link needs directwrite3 off too.
QT_OPTIONS=(
  -static -static-runtime -release -xplatform win32-g++ -qt-host-path /usr
  -nomake examples -nomake tests
  -no-opengl -no-dbus -no-freetype -no-icu
  -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-qmake
  -no-feature-concurrent -no-feature-tabletevent
  -no-feature-direct2d -no-feature-directwrite3
  -qt-zlib -qt-libpng -no-feature-jpeg -qt-pcre -qt-harfbuzz
)

# The source fetched is the version of the installed host tools: Qt's
# cross-build requires them to match.
installed_version() { dpkg-query -W -f='${Version}' "$1"; }

# The key changes whenever anything that shapes the built libraries does.
cache_key() {
  local version="$1"; shift
  {
    echo "$version"
    printf '%s\n' "$@"
    "$MINGW_CXX" --version | head -n1
    cat "$TOOLCHAIN"
  } | sha256sum | cut -c1-12
}

# apt-get source needs a deb-src entry; add one mirroring the machine's own
# deb entries (same archive, suites and keys) when none exists.
ensure_deb_src() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Adding a deb-src entry for Debian's own archive"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $sudo tee /etc/apt/sources.list.d/cardel-deb-src.sources >/dev/null
  else
    grep -E '^deb ' /etc/apt/sources.list | sed -E 's/^deb /deb-src /' |
      $sudo tee /etc/apt/sources.list.d/cardel-deb-src.list >/dev/null
  fi
  $sudo apt-get update -qq
}

# fetch_source PKG VERSION DIR: unpacks Debian's source (patches applied) in DIR.
fetch_source() {
  local pkg="$1" version="$2" dir="$3"
  mkdir -p "$dir"
  (cd "$dir" && apt-get source -qq "$pkg=$version" >/dev/null)
}

# An interrupted build must never leave a prefix that looks complete: the
# marker is written last. The prefix is the final one because Qt's CMake
# files record it.
build_qt() {
  local prefix="$1" version="$2" work="$1.work"
  rm -rf "$work" "$prefix"
  fetch_source qt6-base "$version" "$work/src"
  local src
  src="$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base*' | head -n1)"
  mkdir -p "$work/build"
  (cd "$work/build" && "$src/configure" -prefix "$prefix" "${QT_OPTIONS[@]}" -- \
    -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  nice -n 10 cmake --build "$work/build" -j "$JOBS"
  cmake --install "$work/build" >/dev/null
  mkdir -p "$prefix/licenses"
  cp "$src"/LICENSES/LGPL-3.0-only.txt "$src"/LICENSES/GPL-3.0-only.txt "$prefix/licenses/"
  cp "$src/debian/copyright" "$prefix/licenses/debian-copyright"
  # Kept for whoever hands the programs on, who must offer Qt's source.
  mkdir -p "$prefix/source"
  find "$work/src" -maxdepth 1 -type f -exec mv {} "$prefix/source/" \;
  echo "$version" >"$prefix/.complete"
  rm -rf "$work"
}

# Sets QT_PREFIX to the cached static Qt for Windows, building it if missing.
ensure_windows_qt() {
  local version key
  version="$(installed_version qt6-base-dev-tools)"
  key="$(cache_key "$version" "${QT_OPTIONS[@]}")"
  QT_PREFIX="$CACHE/qt-${version%%+*}-$key"
  mkdir -p "$CACHE"
  exec 8>"$QT_PREFIX.lock"
  flock 8
  if [ ! -f "$QT_PREFIX/.complete" ]; then
    ensure_deb_src
    echo "Building a static Qt $version for Windows in $QT_PREFIX (about 20 minutes on 2 cores)"
    build_qt "$QT_PREFIX" "$version"
  fi
  flock -u 8
}
