#!/usr/bin/env bash
# Builds the fuzz targets into build-fuzz/ and runs each for a bounded time.
# FUZZ_SECONDS (default 30) per target, FUZZ_MAX_LEN (default 4096) bytes per
# input. Fails when any target finds a crash or a broken invariant; the input
# that did it is kept in build-fuzz/artifacts/.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages clang libclang-rt-14-dev cmake ninja-build pkg-config libhamlib-dev

FUZZ_SECONDS="${FUZZ_SECONDS:-30}"
FUZZ_MAX_LEN="${FUZZ_MAX_LEN:-4096}"
BUILD="$ROOT/build-fuzz"

cmake -S "$ROOT/fuzz" -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j "$JOBS"

# libFuzzer adds every new input to the first corpus folder, so it works on a
# scratch copy and the committed corpus only changes by hand.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$BUILD/artifacts" "$BUILD/logs"

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

summary=()
failed=0
for source in "$ROOT"/fuzz/fuzz_*.cpp; do
  target="$(basename "$source" .cpp)"
  corpus="$scratch/$target"
  mkdir -p "$corpus"
  if [ -d "$ROOT/fuzz/corpus/$target" ]; then cp -R "$ROOT/fuzz/corpus/$target/." "$corpus/"; fi
  log="$BUILD/logs/$target.log"
  echo "== $target: ${FUZZ_SECONDS}s"
  status=0
  "$BUILD/$target" "$corpus" \
    -max_total_time="$FUZZ_SECONDS" -max_len="$FUZZ_MAX_LEN" \
    -dict="$ROOT/fuzz/log.dict" -print_final_stats=1 \
    -artifact_prefix="$BUILD/artifacts/$target-" >"$log" 2>&1 || status=$?
  done_line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)"
  if [ "$status" -ne 0 ] || [ -z "$done_line" ]; then
    failed=1
    echo "-- $target FAILED (exit $status); from $log:"
    # The texts involved and the broken rule, without libFuzzer's progress
    # lines and the stack frames (both still in the log).
    grep -vE '^(#[0-9]|INFO:|[[:space:]]+#[0-9])' "$log" | head -n 40 || true
    summary+=("$target: FAILED (exit $status), see $log and $BUILD/artifacts/")
  else
    summary+=("$target: $done_line")
  fi
done

echo
echo "Fuzz summary (${FUZZ_SECONDS}s each):"
printf '  %s\n' "${summary[@]}"
exit "$failed"
