#!/usr/bin/env bash
# Exports the fixture logs to Cabrillo with the built cardel-export and reads the
# files back with @ham2k/lib-qson-cabrillo (an npm package, installed into the build
# folder), checking every record and field against tests/cabrillo-check/cases/.
# Usage: scripts/check-cabrillo.sh [BUILD_DIR]   (default build/)
set -euo pipefail
source "$(dirname "$0")/common.sh"

BUILD="${1:-$ROOT/build}"
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  need_packages nodejs npm
fi

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  need_packages "${BUILD_PACKAGES[@]}"
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD" -j "$JOBS" --target cardel-export

# Reinstalled only when the lock file changed.
MODULES="$BUILD/cabrillo-check"
mkdir -p "$MODULES"
if ! cmp -s "$ROOT/tests/cabrillo-check/package-lock.json" "$MODULES/package-lock.json" ||
  [ ! -d "$MODULES/node_modules/@ham2k/lib-qson-cabrillo" ]; then
  cp "$ROOT/tests/cabrillo-check/package.json" "$ROOT/tests/cabrillo-check/package-lock.json" "$MODULES/"
  (cd "$MODULES" && npm ci --no-audit --no-fund --loglevel=error)
fi

NODE_PATH="$MODULES/node_modules" node "$ROOT/tests/cabrillo-check/check.js" \
  "$BUILD/cardel-export/cardel-export" "$ROOT"/tests/cabrillo-check/cases/*.json
