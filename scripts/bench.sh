#!/usr/bin/env bash
# Builds and runs the benchmarks (release build in build/).
#   scripts/bench.sh                 all of them
#   scripts/bench.sh catalogue|menu|overlays|browsers|manage|bulk|playback|singing|scoring|loudness|cdg|print|startup|venue|phone|history
# The catalogue benchmarks generate 100 000 songs and 10 000 singers once, into
# $TMPDIR/karaoke-bench, and reuse them (the phone benchmark its own copy in
# $TMPDIR/karaoke-bench-phone); the playback benchmark plays generated clips; startup
# compares the build tree's program with the same installed (cmake --install --strip into
# build/staged/usr, and /usr/bin/karaoke when the package is installed); venue runs fifty rooms
# on a private PostgreSQL cluster made for the run; cdg makes a 4-minute CD+G song once in
# $TMPDIR/karaoke-bench-cdg.
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
startup() {
  cmake --build build -j"$(nproc)" --target karaoke bench_startup karaoke_compressed_docs
  rm -rf build/staged
  cmake --install build --prefix build/staged/usr --strip > /dev/null
  local programs=(build/src/app/karaoke build/staged/usr/bin/karaoke)
  [ -x /usr/bin/karaoke ] && programs+=(/usr/bin/karaoke)
  # Interleaved repetitions, so a busy machine slows every program alike.
  build/bench/bench_startup "${programs[@]}" --benchmark_enable_random_interleaving=true \
    --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
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
  startup) startup ;;
  singing)
    bash scripts/make-test-media.sh build/test-media
    run singing build/test-media ;;
  scoring) run scoring ;;
  history) run history ;;
  loudness) run loudness ;;
  cdg) run cdg ;;
  venue)
    cmake --build build -j"$(nproc)" --target karaoke
    run venue ;;
  all)
    run catalogue
    run menu
    run overlays
    run browsers
    run manage
    run history
    run bulk
    run print
    run phone
    bash scripts/make-test-media.sh build/test-media
    run playback build/test-media
    run singing build/test-media
    run scoring
    run loudness
    run cdg
    cmake --build build -j"$(nproc)" --target karaoke
    run venue
    startup ;;
  *) echo "usage: $0 [catalogue|menu|overlays|browsers|manage|bulk|playback|singing|scoring|loudness|cdg|print|startup|venue|phone]" >&2; exit 2 ;;
esac
