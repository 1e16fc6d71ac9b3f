#!/usr/bin/env bash
# Makes one demo song: MPEG-1 video showing TITLE, with the vocal (a 440 Hz tone) on the left
# channel and the accompaniment (a C major chord) on the right, as the jukebox's songs are laid out.
# Usage: make-song-clip.sh OUT TITLE SECONDS
# One second of picture is encoded and repeated, so a ten-second song costs under a second of CPU.
# Pipeline fragments from helper functions are split into gst-launch arguments on purpose.
# shellcheck disable=SC2046
set -euo pipefail

if [ $# -ne 3 ] || ! [[ $3 =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 OUT TITLE SECONDS" >&2
  exit 2
fi
out=$1
title=$2
seconds=$3
font="AR PL UKai TW"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

launch() { gst-launch-1.0 -q "$@" >/dev/null; }

# The replacements are quoted: bash 5.2 reads a bare '&' there as the matched text.
xml_escape() {
  local text=${1//&/"&amp;"}
  text=${text//</"&lt;"}
  text=${text//>/"&gt;"}
  printf '%s' "${text//\"/"&quot;"}"
}

# The title goes through textoverlay where the pango plugin is installed, else through an SVG.
title_stage() {
  if gst-inspect-1.0 --exists textoverlay; then
    printf '%s\n' textoverlay "text=$title" "font-desc=$font 28" valignment=center halignment=center
    return
  fi
  printf '<svg xmlns="http://www.w3.org/2000/svg" width="352" height="240"><text x="176" y="130"'\
' font-family="%s" font-size="28" fill="white" text-anchor="middle">%s</text></svg>\n' \
    "$font" "$(xml_escape "$title")" >"$work/title.svg"
  printf '%s\n' rsvgoverlay "location=$work/title.svg"
}

mapfile -t overlay < <(title_stage)
launch videotestsrc num-buffers=25 pattern=solid-color foreground-color=0xff102060 \
  ! video/x-raw,width=352,height=240,framerate=25/1 ! videoconvert ! "${overlay[@]}" \
  ! videoconvert ! video/x-raw,format=I420 \
  ! mpeg2enc format=1 b-per-refframe=0 disable-encode-retries=true ! filesink location="$work/second.m1v"

# Each copy is a complete sequence; the parser numbers the frames through, so the copies play on.
for ((i = 0; i < seconds; i++)); do cat "$work/second.m1v"; done >"$work/video.m1v"

buffers=$((seconds * 10))
mono="audio/x-raw,rate=44100,channels=1"
sine() { echo "audiotestsrc freq=$1 volume=$2 num-buffers=$buffers samplesperbuffer=4410"; }
tmp="$out.part"
# mpegpsmux, not avmux_mpeg: the latter mistimes the frames of the repeated sequences.
launch filesrc location="$work/video.m1v" ! mpegvideoparse ! mpegpsmux name=m ! filesink location="$tmp" \
  interleave name=lr ! audioconvert ! avenc_mp2 bitrate=192000 ! mpegaudioparse ! m. \
  $(sine 440 0.5) ! "$mono,channel-mask=(bitmask)0x1" ! lr.sink_0 \
  audiomixer name=chord ! "$mono,channel-mask=(bitmask)0x2" ! lr.sink_1 \
  $(sine 261.63 0.25) ! $mono ! chord. \
  $(sine 329.63 0.25) ! $mono ! chord. \
  $(sine 392.00 0.25) ! $mono ! chord.
mv "$tmp" "$out"
