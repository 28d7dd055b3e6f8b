#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages "${BUILD_PACKAGES[@]}"

configure_and_build "$ROOT/build"
if [ -x "$ROOT/build/app/cardel" ]; then
  exec "$ROOT/build/app/cardel"
fi
echo "The log-keeping core is built and tested; the window is not built yet."
