# Shared by the scripts: installs the Debian packages that are missing.
# Usage: source scripts/common.sh; need_packages pkg...

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-2}"

need_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n libgtest-dev libgmock-dev libhamlib-dev pkg-config)

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

# check_with_reader NAME BUILD_DIR: exports the fixture logs with the built
# cardel-export and reads them back with the npm reader of tests/NAME-check/
# (installed into BUILD_DIR/NAME-check, again only when its lock file
# changed), checking every record against tests/NAME-check/cases/.
check_with_reader() {
  local name="$1" build="$2" source="$ROOT/tests/$1-check"
  if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    need_packages nodejs npm
  fi
  if [ ! -f "$build/CMakeCache.txt" ]; then
    need_packages "${BUILD_PACKAGES[@]}"
    cmake -S "$ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build" -j "$JOBS" --target cardel-export

  local modules="$build/$name-check"
  mkdir -p "$modules"
  if ! cmp -s "$source/package-lock.json" "$modules/package-lock.json" ||
    [ ! -d "$modules/node_modules" ]; then
    cp "$source/package.json" "$source/package-lock.json" "$modules/"
    (cd "$modules" && npm ci --no-audit --no-fund --loglevel=error)
  fi
  NODE_PATH="$modules/node_modules" node "$source/check.js" \
    "$build/cardel-export/cardel-export" "$source"/cases/*.json
}
