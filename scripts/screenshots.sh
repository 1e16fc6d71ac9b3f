#!/usr/bin/env bash
# Runs the jukebox on the demo home under Xvfb and saves screenshots of the main menu, a
# result page of each ordering flow, the queue page, a playing song, the control bar and
# the mixer panel; then the bulk-registration windows over the menu (a scanned folder of good
# and badly named files, the rename and duplicate dialogs, batch registration).
#   scripts/screenshots.sh [WIDTHxHEIGHT] [OUTDIR]     (default 1280x720, screenshots/)
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-1280x720}"
out="${2:-$PWD/screenshots/$size}"
home="$PWD/demo-home"
mkdir -p "$out"
[ -x build/src/app/karaoke ] || cmake --build build --target karaoke
[ -x build/tests/bulk/bulk_screenshots ] || cmake --build build --target bulk_screenshots
[ -f "$home/karaoke.mdb" ] || bash scripts/make-demo-home.sh build/src/app/karaoke "$home"

display=":$((90 + RANDOM % 9))"
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp &
xvfb=$!
trap 'kill $jukebox $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY="$display"
shot() { sleep "${2:-0.6}"; import -window root "$out/$1.png"; echo "$out/$1.png"; }
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.15; done; }

# --clock-speed 4: the start picture stays one second instead of four.
build/src/app/karaoke --home "$home" --clock-speed 4 &
jukebox=$!
shot start-window 0.8
shot main-menu 2
keys 1 1 3 Return;                   shot order-by-count-page
keys 1 Return;                       shot order-by-count-picked
keys 0 Return 9
keys 2 2;                            shot order-by-singer-singers
keys 1 Return;                       shot order-by-singer-songs
keys 1 Return 0 Return 0 Return 9
keys 3 0 0 1 0 0 1 Return;           shot order-by-number-queue
keys 0 Return
keys 4;                              shot delete-queue
keys 0 Return
keys 6;                              shot player-playing 3
keys 5;                              shot control-bar 1
keys 4;                              shot mixer 1
keys 0 8;                            shot back-to-menu 2

build/tests/bulk/bulk_screenshots "$out"
