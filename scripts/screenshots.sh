#!/usr/bin/env bash
# Runs the jukebox on the demo home under Xvfb and saves screenshots of the main menu, a
# result page of each ordering flow, the queue page, a playing song, the control bar, the
# three in-song ordering windows over the song, the mixer panel (also with the key raised), the
# recordings browser (list, one recording playing), the multimedia browser (a music folder, the
# music control screen, a portrait and a landscape picture, a movie among the pictures) and the
# manager menu opened from its button; then every manager-mode window, filled in, and one
# message box; then the bulk-registration windows (a scanned folder of good and badly named
# files, the rename and duplicate dialogs, batch registration with its progress), the score
# card after a song, the charts (9.熱門排行: a page, the next, all time). Phone
# ordering: the QR code above the keypad, a phone's order told over the menu, the next-up card
# before the first song, and the phone page in Chromium at 390x844 (name prompt, search
# results, queue, the 熱門 tab and the songs sung with a score). Last, an MP3+G song playing full screen, on a program folder of its own.
#   scripts/screenshots.sh [WIDTHxHEIGHT] [OUTDIR]     (default 1280x720, screenshots/)
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-1280x720}"
out="${2:-$PWD/screenshots/$size}"
home="$PWD/demo-home"
mkdir -p "$out"
[ -x build/src/app/karaoke ] || cmake --build build --target karaoke
[ -x build/tools/manage_screenshots ] || cmake --build build --target manage_screenshots
[ -x build/tools/bulk_screenshots ] || cmake --build build --target bulk_screenshots
[ -x build/tools/score_card_screenshot ] || cmake --build build --target score_card_screenshot
[ -x build/tests/phone/phone_page_host ] || cmake --build build --target phone_page_host
[ -x build/tools/cdg_demo_song ] || cmake --build build --target cdg_demo_song
[ -f "$home/karaoke.mdb" ] || bash scripts/make-demo-home.sh build/src/app/karaoke "$home"
bash scripts/make-demo-media.sh "$home" # a demo home made before it had music and pictures
# The queue left by an earlier run (stopped without the shutdown menu) would come back: start empty.
sqlite3 "$home/karaoke.mdb" "DELETE FROM play_queue" 2>/dev/null || true
# What the room sang over the last 60 days (once), so the menu shows "9.熱門排行" and its list.
[ "$(sqlite3 "$home/karaoke.mdb" 'SELECT count(*) FROM play_history' 2>/dev/null || echo 1)" != 0 ] || \
  sqlite3 "$home/karaoke.mdb" "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 600)
    INSERT INTO play_history (song_num, song_name, singer_name, started_at, played_seconds, length_seconds, ended_how, sung)
    SELECT s.song_num, s.song_name, coalesce(g.singer_name, ''), strftime('%s', 'now') - 86400 * 60 + n.i * 8640, 200, 220, 1, 1
    FROM n JOIN song AS s ON s.rowid = 1 + (n.i * n.i) % (SELECT count(*) FROM song)
    LEFT JOIN singer AS g ON g.singer_code = s.song_singer_code" 2>/dev/null || true
# A known address for the phone's order below, on a port no other jukebox on this machine uses.
grep -qi '^PhoneToken' "$home/Setting.ini" || printf 'PhoneToken = DEMO\r\nPhonePort = 18080\r\n' >> "$home/Setting.ini"
phone_order() {
  curl -s -o /dev/null -X POST -H 'Content-Type: application/json' \
    -d "{\"num\":\"$1\",\"name\":\"$2\",\"phone\":\"screenshotphone0001\"}" http://127.0.0.1:18080/DEMO/api/order
}

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
phone_order "$(sqlite3 "$home/karaoke.mdb" 'SELECT song_num FROM song ORDER BY song_num LIMIT 1')" 王小明
shot phone-notice 0.5
keys 9;                              shot charts-list
keys plus;                           shot charts-list-page-2
keys asterisk;                       shot charts-list-all
keys 0 Return
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
keys 6;                              shot next-up-card 0.3
                                     shot player-playing 2.7
keys 5;                              shot control-bar 1
keys 1 1 0 5 0 0 1 Return 1 0 3 0 0 1 Return 1 0 2 0 0 1 Return
                                     shot small-ordersong 1
keys 0 Return 2;                     shot small-inttersong 1
keys 4 Return;                       shot small-inttersong-cut-in
keys 0 Return 3 2;                   shot small-order-by-singer-singers 1
keys 1 Return;                       shot small-order-by-singer-songs
keys 2 Return;                       shot small-order-by-singer-picked
keys 0 Return 0 Return 0
keys 4;                              shot mixer 1
keys 8 8 8 7;                        shot mixer-key-up 0.6
keys 0 8;                            shot back-to-menu 2
keys 7;                              shot recordings-list
keys 1 Return 1 Return;              shot recording-playing 1.5
keys 0 Return 0 Return
keys 8 1;                            shot music-list
keys asterisk;                       shot music-playing 1.5
keys slash 0 0 Return 2;             shot picture-list
keys asterisk;                       shot picture-portrait
keys plus;                           shot picture-landscape
keys plus;                           shot picture-movie 1.5
keys 0 0 Return 9

# The manager button sits at the bottom of the left strip (the menu's own layout rules).
width=${size%x*}; height=${size#*x}
read -r mx my < <(awk -v w="$width" -v h="$height" 'BEGIN {
  strip = w - int(w * 0.8); m = int(strip / 20); kw = int((strip - 4 * m) / 3); top = int(h / 3);
  kh = int((h - top - 8 * m) / 7); if (kw < kh) kh = kw; print int(strip / 2), h - m - int(kh / 2) }')
xdotool mousemove "$mx" "$my" click 1;  shot manager-menu 1.5
# "回主目錄": design point (170, 385) of the 700-pixel-wide window, scaled to 0.8 of the screen.
read -r bx by < <(awk -v w="$width" -v h="$height" 'BEGIN { f = 0.8 * w / 700; ww = int(700 * f + 0.5);
  wh = int(430 * f + 0.5); print int((w - ww) / 2 + 170 * f), int((h - wh) / 2 + 385 * f) }')
xdotool mousemove "$bx" "$by" click 1; shot back-from-manager 1

# Every manager-mode window, filled in as the owner would, and one message box.
build/tools/manage_screenshots "$home" "$out"

# The score after a song (Scoring = 1), in the pause before the next one.
build/tools/score_card_screenshot "$home" "$out/score-card.png"

# The bulk-registration windows over the menu.
build/tools/bulk_screenshots "$out"

# The phone page in headless Chromium, as a guest's phone shows it.
/usr/bin/python3 tests/phone/browser_test.py build/tests/phone/phone_page_host --screenshots "$out"

# An MP3+G song (an .mp3 with its .cdg pictures beside it) playing full screen, on a program
# folder of its own that a list registers it in.
kill "$jukebox" 2>/dev/null || true
wait "$jukebox" 2>/dev/null || true
cdg_home=$(mktemp -d)
trap 'kill $jukebox $xvfb 2>/dev/null || true; rm -rf "$cdg_home"' EXIT
mkdir -p "$cdg_home/songs"
gst-launch-1.0 -q audiotestsrc freq=440 volume=0.3 num-buffers=200 samplesperbuffer=4410 \
  ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! filesink location="$cdg_home/songs/demo.mp3" > /dev/null
build/tools/cdg_demo_song "$cdg_home/songs/Demo.CDG" 20
printf 'demo.mp3,LA LA LA,英語,Demo,8\n' > "$cdg_home/songs/list.txt"
build/src/app/karaoke --home "$cdg_home" --register-list "$cdg_home/songs/list.txt" > /dev/null
build/src/app/karaoke --home "$cdg_home" --clock-speed 4 &
jukebox=$!
sleep 3
keys 3 3 0 8 0 0 1 Return 0 Return 6
shot cdg-song-playing 4
keys 5;                              shot cdg-control-bar 1
