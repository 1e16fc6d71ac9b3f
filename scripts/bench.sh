#!/usr/bin/env bash
# Builds and runs the benchmarks (release build in build/).
#   scripts/bench.sh                 all of them
#   scripts/bench.sh catalogue|menu|overlays|browsers|manage|bulk|playback|singing|print|phone
# The catalogue benchmarks generate 100 000 songs and 10 000 singers once, into
# $TMPDIR/karaoke-bench, and reuse them (the phone benchmark its own copy in
# $TMPDIR/karaoke-bench-phone); the playback benchmark plays generated clips.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
which="${1:-all}"
run() {
  local name=$1
  shift
  cmake --build build -j"$(nproc)" --target "bench_$name"
  QT_QPA_PLATFORM=offscreen "build/bench/bench_$name" "$@"
}
case "$which" in
  catalogue) run catalogue ;;
  bulk) run bulk ;;
  menu) run menu ;;
  overlays) run overlays ;;
  browsers) run browsers ;;
  manage) run manage ;;
  print) run print ;;
  phone) run phone ;;
  playback)
    bash scripts/make-test-media.sh build/test-media
    run playback build/test-media ;;
  singing)
    bash scripts/make-test-media.sh build/test-media
    run singing build/test-media ;;
  all)
    run catalogue
    run menu
    run overlays
    run browsers
    run manage
    run bulk
    run print
    run phone
    bash scripts/make-test-media.sh build/test-media
    run playback build/test-media
    run singing build/test-media ;;
  *) echo "usage: $0 [catalogue|menu|overlays|browsers|manage|bulk|playback|singing|print|phone]" >&2; exit 2 ;;
esac
