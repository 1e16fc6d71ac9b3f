#!/usr/bin/env bash
# Makes a demo program folder: settings, a catalogue of about 60 invented songs by 15
# singers, (when the clip maker is there) a short generated clip for every song, made on every
# core at once, and generated music, pictures, a movie and recordings for the recordings and
# multimedia browsers. Says what it is doing: a line per step, and per clip with its count.
#   scripts/make-demo-home.sh KARAOKE_BINARY DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
binary="$1"
home="$2"
started=$SECONDS
step() { echo "demo home: [$1/3] $2"; }

step 1 "settings and a catalogue of invented songs"
mkdir -p "$home/songs"
"$binary" --home "$home" --init-only > /dev/null
python3 "$here/demo_catalogue.py" "$home" > "$home/songs/list.tsv.new"
[ -s "$home/songs/list.tsv.new" ] && mv "$home/songs/list.tsv.new" "$home/songs/list.tsv"
rm -f "$home/songs/list.tsv.new"

# One clip: its count among the clips to make, its file and its title; every clip has the
# same eight seconds of sound, made once.
make_clip() {
  "$here/make-song-clip.sh" "$3" "$4" 8 "$sound"
  echo "demo home:   clip $1/$2 $4"
}
if [ -x "$here/make-song-clip.sh" ] && [ -f "$home/songs/list.tsv" ]; then
  missing=()
  while IFS=$'\t' read -r location title; do
    [ -f "$location" ] || missing+=("$location" "$title")
  done < "$home/songs/list.tsv"
  count=$((${#missing[@]} / 2))
  step 2 "$count song clips, $(nproc) at a time"
  sound=$(mktemp --suffix=.mp2)
  trap 'rm -f "$sound"' EXIT
  [ "$count" -eq 0 ] || "$here/make-song-clip.sh" --sound "$sound" 8
  export -f make_clip
  export here sound
  for ((i = 0; i < count; i++)); do
    printf '%s\0%s\0%s\0%s\0' $((i + 1)) "$count" "${missing[2 * i]}" "${missing[2 * i + 1]}"
  done | xargs -0 -n 4 -P "$(nproc)" bash -c 'make_clip "$@"' make_clip
else
  step 2 "no clip maker: songs without clips"
fi

step 3 "music, pictures, a movie and recordings"
bash "$here/make-demo-media.sh" "$home"
echo "demo home ready: $home ($((SECONDS - started)) s)"
