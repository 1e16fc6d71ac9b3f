#!/usr/bin/env bash
# Makes a demo program folder: settings, a catalogue of about 60 invented songs by 15
# singers, (when the clip maker is there) a short generated clip for every song, and generated
# music, pictures, a movie and recordings for the recordings and multimedia browsers.
#   scripts/make-demo-home.sh KARAOKE_BINARY DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
binary="$1"
home="$2"
mkdir -p "$home/songs"
"$binary" --home "$home" --init-only
python3 "$here/demo_catalogue.py" "$home" > "$home/songs/list.tsv.new"
[ -s "$home/songs/list.tsv.new" ] && mv "$home/songs/list.tsv.new" "$home/songs/list.tsv"
rm -f "$home/songs/list.tsv.new"
if [ -x "$here/make-song-clip.sh" ] && [ -f "$home/songs/list.tsv" ]; then
  while IFS=$'\t' read -r location title; do
    [ -f "$location" ] || "$here/make-song-clip.sh" "$location" "$title" 8
  done < "$home/songs/list.tsv"
fi
bash "$here/make-demo-media.sh" "$home"
echo "demo home ready: $home"
