#!/usr/bin/env bash
# Exports the fixture logs to ADIF with the built cardel-export and reads the
# files back with adif-parser-ts (an npm package, installed into the build
# folder), checking every record and field against tests/adif-check/cases/.
# Usage: scripts/check-adif.sh [BUILD_DIR]   (default build/)
set -euo pipefail
source "$(dirname "$0")/common.sh"
check_with_reader adif "${1:-$ROOT/build}"
