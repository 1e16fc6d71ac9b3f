#!/usr/bin/env bash
# Builds and runs the benchmarks (release build in build/). The catalogue benchmark's
# generated catalogue is kept in $TMPDIR/karaoke-bench and reused by later runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target bench_catalogue
build/bench/bench_catalogue "$@"
