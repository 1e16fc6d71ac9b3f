#!/usr/bin/env bash
# Fills the demo home's Music/, Photo/ and Record/ folders with generated tunes, pictures, a
# short movie and two recordings, so that the menu's choices 7 and 8 have something to show.
#   scripts/make-demo-media.sh DIR       (files that exist are kept)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
home="$1"
[ -f "$home/Photo/海邊日落.jpg" ] && exit 0
launch() { gst-launch-1.0 -q "$@" >/dev/null; }

python3 "$here/demo_media.py" "$home"
for wav in "$home/Music/晨光.mp3.wav" "$home/Music/輕音樂/練習曲.mp3.wav"; do
  launch filesrc location="$wav" ! wavparse ! audioconvert ! lamemp3enc ! id3v2mux ! filesink location="${wav%.wav}"
  rm -f "$wav"
done
raw="$home/Photo/海邊日落.jpg.rgb"
launch filesrc location="$raw" ! rawvideoparse width=640 height=360 format=rgb framerate=1/1 ! videoconvert \
  ! jpegenc ! filesink location="${raw%.rgb}"
rm -f "$raw"
# Three seconds of a bouncing ball with a tone, as a movie among the pictures.
launch videotestsrc num-buffers=75 pattern=ball ! video/x-raw,width=320,height=240,framerate=25/1 \
  ! avenc_mpeg4 ! avimux name=m ! filesink location="$home/Photo/短片.avi" \
  audiotestsrc num-buffers=30 samplesperbuffer=4410 freq=523 volume=0.3 ! audio/x-raw,rate=44100,channels=2 \
  ! lamemp3enc ! m.
