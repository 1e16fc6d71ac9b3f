#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test.
#   scripts/test.sh             release build in build/, then the Debian package is built,
#                               installed, tried and removed (scripts/check-package.sh; as root
#                               only, otherwise a line says it was skipped)
#   scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DKARAOKE_SANITIZE=ON -DKARAOKE_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
if [ "$build" = build ]; then
  bash scripts/check-package.sh "$build"
fi
