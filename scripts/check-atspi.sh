#!/usr/bin/env bash
# Shows what a screen reader is told about the call-sign verdict: the real
# program in a real X window (Xvfb with openbox) on its own D-Bus session
# with the AT-SPI bus; xdotool types a contact and then a duplicate call sign,
# and scripts/check_atspi.py prints the names, the description read over
# AT-SPI and every description-change event with what it carried.
# BUILD_DIR names the build folder (default build/).
set -euo pipefail
source "$(dirname "$0")/common.sh"

if [ -z "${CARDEL_ATSPI_SESSION:-}" ]; then
  need_packages "${BUILD_PACKAGES[@]}" xvfb openbox xdotool dbus at-spi2-core python3-pyatspi
  configure_and_build "${BUILD_DIR:-$ROOT/build}"
  exec env CARDEL_ATSPI_SESSION=1 dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

export DISPLAY=:79
Xvfb "$DISPLAY" -screen 0 800x600x24 >/dev/null 2>&1 &
pids+=($!)
sleep 1
openbox >/dev/null 2>&1 &
pids+=($!)
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
sleep 1

cp "${BUILD_DIR:-$ROOT/build}/app/cardel" "$work/"
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=C.UTF-8 "$work/cardel" \
  >"$work/cardel.log" 2>&1 &
pids+=($!)

/usr/bin/python3 "$ROOT/scripts/check_atspi.py"
