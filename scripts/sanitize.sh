#!/usr/bin/env bash
# Builds what the root project builds by default, with AddressSanitizer and
# UndefinedBehaviorSanitizer, into build-asan/ and runs every test there. Any
# finding fails the run. Extra arguments go to CMake, e.g.
#   scripts/sanitize.sh -DCARDEL_BUILD_UI=OFF
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages "${BUILD_PACKAGES[@]}"

BUILD="$ROOT/build-asan"
SANITIZE="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"

# Test discovery runs the test programs during the build, so the options must
# already hold then. A leak or any UB report ends the program with an error.
export ASAN_OPTIONS="abort_on_error=1:halt_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen

# -U first: a project option left in the cache by an earlier run with extra
# arguments would otherwise outlive them; the arguments given now come after
# and win.
configure_and_build "$BUILD" -U 'CARDEL_*' \
  -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_CXX_FLAGS="$SANITIZE" \
  -DCMAKE_EXE_LINKER_FLAGS="$SANITIZE" \
  -DCMAKE_SHARED_LINKER_FLAGS="$SANITIZE" \
  "$@"

ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS"
