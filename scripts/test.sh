#!/usr/bin/env bash
# Builds everything and runs every test: the suite, the ADIF and Cabrillo
# checks of the exporter, the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, each fuzz target for
# FUZZ_SECONDS (30 by default), then builds the programs, their tests and the
# zip for Windows and runs the core's, the exporter's and the window's tests
# under Wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages "${BUILD_PACKAGES[@]}"

configure_and_build "$ROOT/build"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$ROOT/build" --output-on-failure -j "$JOBS"
"$ROOT/scripts/check-adif.sh" "$ROOT/build"
"$ROOT/scripts/check-cabrillo.sh" "$ROOT/build"
"$ROOT/scripts/sanitize.sh"
"$ROOT/scripts/fuzz.sh"
"$ROOT/scripts/build-windows.sh"
"$ROOT/scripts/test-windows.sh"
