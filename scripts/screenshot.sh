#!/usr/bin/env bash
# Takes the README's screenshots: the real program under Xvfb with a window
# manager, a few contacts typed by keyboard, then a locator filled in from the
# folder storico, a new square and the "Punteggio" window. Needs xvfb,
# openbox, xdotool and imagemagick.
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
printf '[Stazione]\nNominativo=I3ZZZ\nLocatore=JN55VJ\n' >"$work/cardel.ini"
mkdir "$work/storico"
printf '!!Order!!,Call,Name,Loc1,\n# made for the screenshot\nS51AB,Marko,JN76JA,\n' \
  >"$work/storico/vhf.txt"
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
shot() {
  sleep 0.5
  import -window root "$work/root.png"
  convert "$work/root.png" -trim +repage "$ROOT/docs/$1"
  echo "Wrote docs/$1"
}
shot screenshot.png

# A station of the history: its locator and distance as soon as Tab leaves
# the call sign.
xdotool key ctrl+a BackSpace
type_text s51ab
xdotool key Tab
shot prefill.png

# A square no contact holds turns the locator box green.
xdotool key Tab ctrl+a BackSpace
type_text jn65
shot nuovo-quadrato.png

xdotool key ctrl+a BackSpace
type_text jn76ja
xdotool key shift+Tab
type_text 021
xdotool key Return
xdotool key ctrl+shift+p
shot punteggio.png
rm -rf "$work"
