#!/usr/bin/env bash
# Writes the short clips that the media-engine tests and benchmarks play, one per format the
# jukebox meets: VCD tracks (plain and as copied from the disc), MPEG-1/2, AVI, MP4, MP3, WAV, MIDI,
# tones for measuring the sound channel and the key, and tones at set levels for evening out loudness.
# Usage: make-test-media.sh OUTDIR. Files that already exist are kept, so a second run is instant.
# Pipeline fragments from helper functions are split into gst-launch arguments on purpose.
# shellcheck disable=SC2046
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
out=$1
mkdir -p "$out"

launch() { gst-launch-1.0 -q "$@" >/dev/null; }

# 1.5 s of picture and sound; tests need time to pass while playing, not much more.
frames=38
small="video/x-raw,format=I420,width=176,height=144,framerate=25/1"
vcd="video/x-raw,format=I420,width=352,height=240,framerate=25/1"
tone() { # tone FREQ RATE [VOLUME]: a 1.6 s stereo sine, at half scale unless told
  echo "audiotestsrc freq=$1 num-buffers=16 samplesperbuffer=$(($2 / 10)) volume=${3:-0.5} ! audio/x-raw,rate=$2,channels=2"
}

make_mpeg1() {
  launch videotestsrc num-buffers=$frames ! $small ! mpeg2enc format=0 disable-encode-retries=true \
    ! mpegvideoparse ! avmux_mpeg name=m ! filesink location="$1" \
    $(tone 440 44100) ! avenc_mp2 ! mpegaudioparse ! m.
}

# A video CD track: mplex lays the stream out in 2324-byte packs, one per disc sector.
make_vcd_plain() {
  launch videotestsrc num-buffers=$frames pattern=ball ! $vcd ! mpeg2enc format=1 disable-encode-retries=true \
    ! mplex name=m format=1 ! filesink location="$1" \
    $(tone 523 44100) ! avenc_mp2 bitrate=224000 ! mpegaudioparse ! m.
}

# Wraps the program stream as a video CD track copied from the disc: a RIFF/CDXA header, then
# raw 2352-byte Mode 2 Form 2 sectors, each carrying 2324 bytes of the stream.
make_vcd_cdxa() {
  ensure vcd-plain.dat
  python3 - "$out/vcd-plain.dat" "$1" <<'PY'
import struct, sys
payload = 2324
data = open(sys.argv[1], "rb").read()
data += bytes(-len(data) % payload)
sync = b"\x00" + b"\xff" * 10 + b"\x00"
bcd = lambda v: (v // 10) << 4 | v % 10
sectors = []
for n in range(len(data) // payload):
    lba = n + 150  # tracks start 2 s into the disc
    header = bytes([bcd(lba // 4500), bcd(lba // 75 % 60), bcd(lba % 75), 2])
    subheader = bytes([1, 1, 0x62, 0x0f]) * 2  # form 2, real time, video
    chunk = data[n * payload:(n + 1) * payload]
    sectors.append(sync + header + subheader + chunk + bytes(4))
body = b"".join(sectors)
fmt = struct.pack("<HHH2sB7x", 0, 0, 0x5515, b"XA", 1)
riff = b"CDXA" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(body)) + body
open(sys.argv[2], "wb").write(b"RIFF" + struct.pack("<I", len(riff)) + riff)
PY
}

make_mpeg2() {
  launch videotestsrc num-buffers=$frames pattern=smpte ! $vcd ! mpeg2enc format=3 disable-encode-retries=true \
    ! mpegvideoparse ! mpegpsmux name=m ! filesink location="$1" \
    $(tone 587 48000) ! avenc_mp2 ! mpegaudioparse ! m.
}

make_avi() {
  launch videotestsrc num-buffers=$frames ! $small ! avenc_mpeg4 ! avimux name=m ! filesink location="$1" \
    $(tone 659 44100) ! lamemp3enc ! m.
}

make_h264() {
  launch videotestsrc num-buffers=$frames ! $small ! x264enc speed-preset=ultrafast ! h264parse \
    ! mp4mux name=m ! filesink location="$1" \
    $(tone 698 44100) ! avenc_aac ! aacparse ! m.
}

make_mp3() {
  launch $(tone 784 44100) ! lamemp3enc ! id3v2mux ! filesink location="$1"
}

make_wav() {
  launch $(tone 880 44100) ! wavenc ! filesink location="$1"
}

# A one-track MIDI file: C, E, G and the chord, half a second each at 120 beats a minute.
make_midi() {
  python3 - "$1" <<'PY'
import struct, sys
def var(n):
    out = [n & 0x7f]
    while n > 0x7f:
        n >>= 7
        out.insert(0, (n & 0x7f) | 0x80)
    return bytes(out)
events = [(0, b"\xff\x51\x03\x07\xa1\x20"), (0, b"\xc0\x00")]
for note in (60, 64, 67):
    events += [(0, bytes([0x90, note, 100])), (96, bytes([0x80, note, 0]))]
events += [(0, bytes([0x90, n, 90])) for n in (60, 64, 67)]
events += [(96 if i == 0 else 0, bytes([0x80, n, 0])) for i, n in enumerate((60, 64, 67))]
events.append((0, b"\xff\x2f\x00"))
track = b"".join(var(delta) + ev for delta, ev in events)
open(sys.argv[1], "wb").write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96)
                              + b"MTrk" + struct.pack(">I", len(track)) + track)
PY
}

# One picture and three sound tracks, each a different tone, as a multi-language disc has.
make_three_tracks() {
  launch videotestsrc num-buffers=$frames ! $small ! x264enc speed-preset=ultrafast ! h264parse \
    ! matroskamux name=m ! filesink location="$1" \
    $(tone 300 48000) ! avenc_mp2 ! mpegaudioparse ! m. \
    $(tone 600 48000) ! avenc_mp2 ! mpegaudioparse ! m. \
    $(tone 900 48000) ! avenc_mp2 ! mpegaudioparse ! m.
}

# The vocal on the left channel (440 Hz), the accompaniment on the right (220 Hz).
make_stereo_lr() {
  local left="audio/x-raw,rate=44100,channels=1,channel-mask=(bitmask)0x1"
  local right="audio/x-raw,rate=44100,channels=1,channel-mask=(bitmask)0x2"
  launch videotestsrc num-buffers=$frames ! $small ! mpeg2enc format=0 disable-encode-retries=true \
    ! mpegvideoparse ! avmux_mpeg name=m ! filesink location="$1" \
    interleave name=i ! audioconvert ! avenc_mp2 ! mpegaudioparse ! m. \
    audiotestsrc freq=440 num-buffers=16 samplesperbuffer=4410 ! "$left" ! i.sink_0 \
    audiotestsrc freq=220 num-buffers=16 samplesperbuffer=4410 ! "$right" ! i.sink_1
}

# 440 Hz on the left at half scale, 880 Hz on the right at a given level.
make_two_sides() { # make_two_sides RIGHT-VOLUME OUT
  local left="audio/x-raw,rate=44100,channels=1,channel-mask=(bitmask)0x1"
  local right="audio/x-raw,rate=44100,channels=1,channel-mask=(bitmask)0x2"
  launch interleave name=i ! audioconvert ! audio/x-raw,format=S16LE ! wavenc ! filesink location="$2" \
    audiotestsrc freq=440 num-buffers=16 samplesperbuffer=4410 volume=0.5 ! "$left" ! i.sink_0 \
    audiotestsrc freq=880 num-buffers=16 samplesperbuffer=4410 volume="$1" ! "$right" ! i.sink_1
}

# A stereo track with a different tone on each side, for picking one side.
make_stereo_440_880() { make_two_sides 0.5 "$1"; }

# Exactly one second of 440 Hz, for the key change: its pitch moves, its length must not.
make_tone_1s() {
  launch audiotestsrc freq=440 num-buffers=10 samplesperbuffer=4410 volume=0.5 \
    ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! wavenc ! filesink location="$1"
}

# 1.6 s of 440 Hz on both sides at a given level, for evening out loudness: 20 dB apart.
make_level() { # make_level VOLUME OUT
  launch audiotestsrc freq=440 num-buffers=16 samplesperbuffer=4410 volume="$1" \
    ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! wavenc ! filesink location="$2"
}
make_level_loud() { make_level 0.5 "$1"; }
make_level_quiet() { make_level 0.05 "$1"; }
# 10 dB above the quiet one, of the same length and size.
make_level_middle() { make_level 0.158 "$1"; }

# Sides 10 dB apart.
make_sides_10db() { make_two_sides 0.158 "$1"; }

# The same as an MP3, the sound of a CD+G song.
make_sides_10db_mp3() {
  ensure sides-10db.wav
  launch filesrc location="$out/sides-10db.wav" ! wavparse ! audioconvert ! lamemp3enc ! id3v2mux ! filesink location="$1"
}

# A quiet 440 Hz tone with a full-scale click every 0.2 s: it peaks at 0 dBFS, far below the
# target loudness.
make_quiet_peaks() {
  python3 - "$1" <<'PY'
import math, struct, sys, wave
rate = 44100
frames = bytearray()
for i in range(int(rate * 1.6)):
    s = int(1000 * math.sin(2 * math.pi * 440 * i / rate))
    if i % (rate // 5) < 8:
        s = 32767 if (i // 4) % 2 == 0 else -32768
    frames += struct.pack("<hh", s, s)
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2)
    w.setsampwidth(2)
    w.setframerate(rate)
    w.writeframes(bytes(frames))
PY
}

# Three sound tracks of one tone at 0, -6 and -12 dB: each measures that far from the first.
make_three_levels() {
  launch matroskamux name=m ! filesink location="$1" \
    $(tone 440 48000 0.5) ! avenc_mp2 ! mpegaudioparse ! m. \
    $(tone 440 48000 0.25) ! avenc_mp2 ! mpegaudioparse ! m. \
    $(tone 440 48000 0.125) ! avenc_mp2 ! mpegaudioparse ! m.
}

# Stereo samples computed by a Python expression of the frame i (left, right, each in -1..1),
# as a 16-bit WAV, or as a 32-bit float WAV, whose samples may pass full scale.
write_wav() { # write_wav OUT SECONDS int16|float32 'LEFT' 'RIGHT'
  python3 - "$@" <<'PY'
import math, struct, sys
out, seconds, kind, left, right = sys.argv[1], float(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
rate = 44100
float32 = kind == "float32"
frames = bytearray()
for i in range(int(rate * seconds)):
    for expression in (left, right):
        v = eval(expression, {"math": math, "i": i, "rate": rate})
        frames += struct.pack("<f", v) if float32 else struct.pack("<h", max(-32768, min(32767, round(v * 32767))))
width = 4 if float32 else 2
fmt = struct.pack("<HHIIHH", 3 if float32 else 1, 2, rate, rate * 2 * width, 2 * width, 8 * width)
body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(frames)) + bytes(frames)
open(out, "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)
PY
}

sine() { echo "$2 * math.sin(2 * math.pi * $1 * i / rate)"; } # sine FREQ AMPLITUDE

# Quiet 440 Hz on both sides; full-scale clicks every 0.2 s on the right side only.
make_right_peaks() {
  write_wav "$1" 1.6 int16 "$(sine 440 0.1)" "(1.0 if (i // 4) % 2 == 0 else -1.0) if i % 8820 < 8 else $(sine 440 0.1)"
}

# A quiet song that peaks at -0.5 dBTP: a quiet 1 kHz passage over a 10 Hz sine at 0.92 of full
# scale, which loudness weighting all but ignores.
make_quiet_low_sine() {
  write_wav "$1" 3 int16 "$(sine 10 0.92) + $(sine 1000 0.02)" "$(sine 10 0.92) + $(sine 1000 0.02)"
}

# A loud song in floating point: 440 Hz at 0.3 that swells to 1.5, past full scale, for 5 ms
# every half second; it measures about 8 dB above the target.
make_loud_float() {
  local swell="(1.5 if i % 22050 < 220 else 0.3) * math.sin(2 * math.pi * 440 * i / rate)"
  write_wav "$1" 3 float32 "$swell" "$swell"
}

# Thirty seconds of a karaoke song (a small picture, 440 Hz at half scale), for playing it
# through while the machine is busy.
make_tone_30s() {
  launch videotestsrc num-buffers=750 ! $small ! mpeg2enc format=0 disable-encode-retries=true \
    ! mpegvideoparse ! avmux_mpeg name=m ! filesink location="$1" \
    audiotestsrc freq=440 num-buffers=300 samplesperbuffer=4410 volume=0.5 ! audio/x-raw,rate=44100,channels=2 \
    ! avenc_mp2 ! mpegaudioparse ! m.
}

make_broken() {
  python3 -c '
import random, sys
rng = random.Random(20240601)
open(sys.argv[1], "wb").write(bytes(rng.getrandbits(8) for _ in range(65536)))
' "$1"
}

declare -A makers=(
  [mpeg1.mpg]=make_mpeg1
  [vcd-plain.dat]=make_vcd_plain
  [vcd-cdxa.dat]=make_vcd_cdxa
  [mpeg2.mpg]=make_mpeg2
  [clip.avi]=make_avi
  [h264.mp4]=make_h264
  [tone.mp3]=make_mp3
  [tone.wav]=make_wav
  [song.mid]=make_midi
  [three-tracks.mkv]=make_three_tracks
  [stereo-lr.mpg]=make_stereo_lr
  [stereo-440-880.wav]=make_stereo_440_880
  [tone-1s.wav]=make_tone_1s
  [broken.mpg]=make_broken
  [level-loud.wav]=make_level_loud
  [level-quiet.wav]=make_level_quiet
  [level-middle.wav]=make_level_middle
  [sides-10db.wav]=make_sides_10db
  [sides-10db.mp3]=make_sides_10db_mp3
  [quiet-peaks.wav]=make_quiet_peaks
  [three-levels.mkv]=make_three_levels
  [right-peaks.wav]=make_right_peaks
  [quiet-low-sine.wav]=make_quiet_low_sine
  [loud-float.wav]=make_loud_float
  [tone-30s.mpg]=make_tone_30s
)

# Writes beside the target and renames, so an interrupted run never leaves a half file behind.
ensure() {
  local name=$1
  [ -s "$out/$name" ] && return 0
  local tmp="$out/.$name.part"
  rm -f "$tmp"
  "${makers[$name]}" "$tmp"
  mv "$tmp" "$out/$name"
}

for name in mpeg1.mpg vcd-plain.dat vcd-cdxa.dat mpeg2.mpg clip.avi h264.mp4 tone.mp3 tone.wav \
            song.mid three-tracks.mkv stereo-lr.mpg stereo-440-880.wav tone-1s.wav broken.mpg \
            level-loud.wav level-quiet.wav level-middle.wav sides-10db.wav sides-10db.mp3 quiet-peaks.wav three-levels.mkv \
            right-peaks.wav quiet-low-sine.wav loud-float.wav tone-30s.mpg; do
  ensure "$name"
done
