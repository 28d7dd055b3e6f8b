#!/usr/bin/env bash
# Takes the README's screenshot: the real program under Xvfb with a window
# manager, a few contacts typed by keyboard. Needs xvfb, openbox, xdotool and
# imagemagick.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_packages "${BUILD_PACKAGES[@]}" xvfb openbox xdotool imagemagick
configure_and_build "$ROOT/build"

export DISPLAY=:77
Xvfb "$DISPLAY" -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
openbox >/dev/null 2>&1 &
sleep 1
work=$(mktemp -d)
cp "$ROOT/build/app/cardel" "$work/"
LC_ALL=it_IT.UTF-8 "$work/cardel" >/dev/null 2>&1 &
sleep 2

type_text() { xdotool type --delay 30 "$1"; }
contact() { type_text "$1"; xdotool key Tab; type_text "$2"; xdotool key Tab; type_text "$3"; xdotool key Return; }
contact i2abc 001 jn45mk
contact ok1xyz 014 jo70fd
contact dl5qq 032 jo62qm
contact f6abc 007 jn18du
type_text i2ab
sleep 0.5
import -window root "$work/root.png"
convert "$work/root.png" -trim +repage "$ROOT/docs/screenshot.png"
rm -rf "$work"
echo "Wrote docs/screenshot.png"
