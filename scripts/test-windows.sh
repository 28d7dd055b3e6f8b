#!/usr/bin/env bash
# Runs the Windows build's tests (scripts/build-windows.sh makes it) under
# wine64, on an Xvfb display of its own: the core's, the exporter's, the
# session's, the history reader's, and every window test of the tree (ctest
# label "window") with Qt's real Windows platform plugin, as operators get
# it, not the offscreen one. Prints each
# suite's summary and fails if any suite fails. The full output of each suite
# is kept in build-windows/test-logs/.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages wine64 xvfb cmake python3

DIR="${WINDOWS_BUILD_DIR:-$ROOT/build-windows}"
BUILD="$DIR/cardel"
LOGS="$DIR/test-logs"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

if [ ! -f "$BUILD/CTestTestfile.cmake" ]; then
  echo "No Windows build in $BUILD: run scripts/build-windows.sh first." >&2
  exit 2
fi

# Displays 70-79 and 99 are other tools' on this machine; the first display
# whose server stays up is ours.
start_xvfb() {
  for n in $(seq 20 69); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    sleep 1
    if kill -0 "$XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "No free X display between :20 and :69" >&2
  exit 2
}

stop_all() {
  "$WINESERVER" -k 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# The window tests as the tree defines them, so tests added later run too.
window_tests() {
  ctest --test-dir "$BUILD" --show-only=json-v1 -L window | python3 -c '
import json, sys
for test in json.load(sys.stdin)["tests"]:
    print(next(part for part in test["command"] if part.endswith(".exe")))'
}

# The last summary line of GoogleTest or Qt Test, whichever the suite is.
summary_of() {
  grep -aE '^\[  (PASSED|FAILED)  \] [0-9]+ tests?|^Totals: ' "$1" | tr -d '\r' | tail -n 2 |
    paste -sd ' ' || echo "no summary: crashed or hung, see $1"
}

FAILED=0
# run_suite EXE [ARGS]: the hang guard is generous; it only stops a suite
# that would never end.
run_suite() {
  local exe="$1" name log status=0
  shift
  name="$(basename "$exe" .exe)"
  log="$LOGS/$name.txt"
  (cd "$(dirname "$exe")" && timeout 900 "$WINE" "$exe" "$@") >"$log" 2>&1 || status=$?
  # Under Wine a Qt Test program's own output reaches only the file it is given.
  [ -f "$(dirname "$exe")/$name.qtest.txt" ] && cat "$(dirname "$exe")/$name.qtest.txt" >>"$log"
  printf '%-24s %s\n' "$name" "$(summary_of "$log")"
  if [ "$status" -ne 0 ]; then
    echo "  exit status $status; output in $log"
    FAILED=1
  fi
}

export WINEARCH=win64 WINEPREFIX="$DIR/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A process starts in about a second under Wine: the kill loop runs its 200
# kills on Linux and fewer here, enough to prove the Windows sync and rename.
export CARDEL_KILLS="${CARDEL_KILLS:-20}"
mkdir -p "$LOGS"
trap stop_all EXIT
start_xvfb
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE" wineboot --init >/dev/null 2>&1
  "$WINESERVER" -w
fi

echo "Windows suites under Wine, display $DISPLAY:"
run_suite "$BUILD/tests/core_tests.exe"
run_suite "$BUILD/tests/logexport_tests.exe"
run_suite "$BUILD/tests/session_tests.exe"
run_qt_suite() { rm -f "${1%.exe}.qtest.txt"; run_suite "$1" -o "$(basename "${1%.exe}").qtest.txt,txt"; }
run_qt_suite "$BUILD/tests/cardel_export_test.exe"
run_qt_suite "$BUILD/tests/history_loader_test.exe"
while read -r exe; do run_qt_suite "$exe"; done < <(window_tests)
exit "$FAILED"
