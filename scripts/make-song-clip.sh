#!/usr/bin/env bash
# Makes one demo song: MPEG-1 video showing TITLE, with the vocal (a 440 Hz tone) on the left
# channel and the accompaniment (a C major chord) on the right, as the jukebox's songs are laid out.
# Usage: make-song-clip.sh OUT TITLE SECONDS [SOUND]
#        make-song-clip.sh --sound SOUND SECONDS
# The second form makes the sound track alone (MPEG audio), so that many clips of one length
# share it instead of each encoding its own. A fifth of a second of picture is encoded and
# repeated, so a clip costs about a tenth of a second of CPU.
# Pipeline fragments from helper functions are split into gst-launch arguments on purpose.
# shellcheck disable=SC2046
set -euo pipefail

usage() {
  echo "usage: $0 OUT TITLE SECONDS [SOUND]   or   $0 --sound SOUND SECONDS" >&2
  exit 2
}
launch() { gst-launch-1.0 -q "$@" >/dev/null; }

# make_sound OUT SECONDS: the vocal on the left, the chord on the right, as MPEG audio.
make_sound() {
  local buffers=$(($2 * 10)) mono="audio/x-raw,rate=44100,channels=1"
  sine() { echo "audiotestsrc freq=$1 volume=$2 num-buffers=$buffers samplesperbuffer=4410"; }
  launch interleave name=lr ! audioconvert ! avenc_mp2 bitrate=192000 ! filesink location="$1.part" \
    $(sine 440 0.5) ! "$mono,channel-mask=(bitmask)0x1" ! lr.sink_0 \
    audiomixer name=chord ! "$mono,channel-mask=(bitmask)0x2" ! lr.sink_1 \
    $(sine 261.63 0.25) ! $mono ! chord. \
    $(sine 329.63 0.25) ! $mono ! chord. \
    $(sine 392.00 0.25) ! $mono ! chord.
  mv "$1.part" "$1"
}

if [ "${1:-}" = --sound ]; then
  [ $# -eq 3 ] && [[ $3 =~ ^[1-9][0-9]*$ ]] || usage
  make_sound "$2" "$3"
  exit 0
fi
if [ $# -lt 3 ] || [ $# -gt 4 ] || ! [[ $3 =~ ^[1-9][0-9]*$ ]]; then
  usage
fi
out=$1
title=$2
seconds=$3
font="AR PL UKai TW"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sound=${4:-$work/sound.mp2}
[ -f "$sound" ] || make_sound "$sound" "$seconds"

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
launch videotestsrc num-buffers=5 pattern=solid-color foreground-color=0xff102060 \
  ! video/x-raw,width=352,height=240,framerate=25/1 ! videoconvert ! "${overlay[@]}" \
  ! videoconvert ! video/x-raw,format=I420 \
  ! mpeg2enc format=1 b-per-refframe=0 disable-encode-retries=true ! filesink location="$work/fifth.m1v"

# Each copy is a complete sequence; the parser numbers the frames through, so the copies play on.
copies=()
for ((i = 0; i < seconds * 5; i++)); do copies+=("$work/fifth.m1v"); done
cat "${copies[@]}" >"$work/video.m1v"

tmp="$out.part"
# mpegpsmux, not avmux_mpeg: the latter mistimes the frames of the repeated sequences.
launch filesrc location="$work/video.m1v" ! mpegvideoparse ! mpegpsmux name=m ! filesink location="$tmp" \
  filesrc location="$sound" ! mpegaudioparse ! m.
mv "$tmp" "$out"
