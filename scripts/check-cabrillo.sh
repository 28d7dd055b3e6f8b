#!/usr/bin/env bash
# Exports the fixture logs to Cabrillo with the built cardel-export and reads the
# files back with @ham2k/lib-qson-cabrillo (an npm package, installed into the build
# folder), checking every record and field against tests/cabrillo-check/cases/.
# Usage: scripts/check-cabrillo.sh [BUILD_DIR]   (default build/)
set -euo pipefail
source "$(dirname "$0")/common.sh"
check_with_reader cabrillo "${1:-$ROOT/build}"
