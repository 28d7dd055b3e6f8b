#!/usr/bin/env bash
# Builds the benchmarks in Release into build-bench/, runs them headless and
# prints one table of medians against the targets, then the start-up
# comparison, the memory of a window holding 100k contacts, and "Apri" of
# long-line and very large log files.
#   scripts/bench.sh          on the offscreen platform
#   scripts/bench.sh --x11    in a real X window: Xvfb with a window manager
# Extra arguments go to cardel_bench, e.g.
#   scripts/bench.sh --benchmark_filter='apri|salva'
# STARTUP_RUNS (default 20) sets how often each start-up program runs.
set -euo pipefail
source "$(dirname "$0")/common.sh"
X11=0
if [ "${1:-}" = "--x11" ]; then X11=1; shift; fi
need_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev python3
[ "$X11" -eq 0 ] || need_packages xvfb openbox

BUILD="$ROOT/build-bench"
OUT="$BUILD/bench-results"
mkdir -p "$OUT"

echo "Building into $BUILD ..." >&2
if ! configure_and_build "$BUILD" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCARDEL_BUILD_UI=ON \
    -DCARDEL_BUILD_BENCH=ON \
    -DCARDEL_BUILD_TESTS=OFF \
    -DCARDEL_BUILD_EXPORT=OFF >"$OUT/build.log" 2>&1; then
  cat "$OUT/build.log" >&2
  exit 1
fi

if [ "$X11" -eq 1 ]; then
  # A display number no other X server holds.
  display=70
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  openbox >/dev/null 2>&1 &
  openbox=$!
  trap 'kill "$openbox" "$xvfb" 2>/dev/null || true' EXIT
  sleep 1
  export QT_QPA_PLATFORM=xcb
else
  export QT_QPA_PLATFORM=offscreen
fi
echo "Platform: $QT_QPA_PLATFORM" >&2
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

# A history of 200,000 known stations beside the window, read on its own
# thread: its first paint must come as soon as without it.
mkdir -p "$BUILD/bench/storico"
python3 - "$BUILD/bench/storico/vhf.txt" <<'PY'
import itertools, string, sys
letters, digits = string.ascii_uppercase, string.digits
calls = ("Q" + a + d + "".join(t) for a in letters for d in digits
         for t in itertools.product(letters, repeat=3))
with open(sys.argv[1], "w") as out:
    out.write("!!Order!!,Call,Loc1,\n")
    for i, call in zip(range(200_000), calls):
        out.write(f"{call},{'ABCDEFGHIJKLMNOPQR'[i % 18]}{'ABCDEFGHIJKLMNOPQR'[i // 18 % 18]}"
                  f"{i % 10}{i // 10 % 10}{letters[i % 24]}{letters[i // 24 % 24]},\n")
PY
echo "Timing the start-up ..." >&2
echo >&2
python3 "$ROOT/bench/bench_table.py" \
  --bench "$OUT/bench.json" \
  --memory "$OUT/memory.out" \
  --startup "$BUILD/bench/startup_cardel" "$BUILD/bench/startup_bare" \
  --first-paint "$BUILD/bench/startup_cardel --history" "$BUILD/bench/startup_cardel --paint" \
  --runs "${STARTUP_RUNS:-20}"

echo >&2
echo "Opening awkward log files (about half a minute) ..." >&2
"$BUILD/bench/cardel_files_bench"
