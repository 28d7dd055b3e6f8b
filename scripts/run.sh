#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages "${BUILD_PACKAGES[@]}"

configure_and_build "$ROOT/build"
exec "$ROOT/build/app/cardel"
