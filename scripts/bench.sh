#!/usr/bin/env bash
# Builds the benchmarks in Release into build-bench/, runs them headless and
# prints one table of medians against the targets, then the start-up
# comparison and the memory of a window holding 100k contacts.
# Extra arguments go to cardel_bench, e.g.
#   scripts/bench.sh --benchmark_filter='apri|salva'
# STARTUP_RUNS (default 20) sets how often each start-up program runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev python3

BUILD="$ROOT/build-bench"
OUT="$BUILD/bench-results"
mkdir -p "$OUT"

echo "Building into $BUILD ..." >&2
if ! configure_and_build "$BUILD" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCARDEL_BUILD_UI=ON \
    -DCARDEL_BUILD_BENCH=ON \
    -DCARDEL_BUILD_TESTS=OFF >"$OUT/build.log" 2>&1; then
  cat "$OUT/build.log" >&2
  exit 1
fi

export QT_QPA_PLATFORM=offscreen
# Qt only warns about it; a private runtime folder keeps the output clean.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$OUT/runtime}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

run() {
  local what="$1"; shift
  if ! "$@" >"$OUT/$what.out" 2>"$OUT/$what.err"; then
    echo "$what failed:" >&2
    cat "$OUT/$what.out" "$OUT/$what.err" >&2
    exit 1
  fi
}

echo "Running the benchmarks (about a minute) ..." >&2
run bench "$BUILD/bench/cardel_bench" \
  --benchmark_out="$OUT/bench.json" --benchmark_out_format=json "$@"
# Alone in its process, so nothing the benchmarks allocated counts.
run memory "$BUILD/bench/cardel_bench" --memory 100000

echo "Timing the start-up ..." >&2
echo >&2
python3 "$ROOT/bench/bench_table.py" \
  --bench "$OUT/bench.json" \
  --memory "$OUT/memory.out" \
  --startup "$BUILD/bench/startup_cardel" "$BUILD/bench/startup_bare" \
  --runs "${STARTUP_RUNS:-20}"
