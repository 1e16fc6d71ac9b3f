#!/usr/bin/env bash
# Installs what is needed, builds the jukebox, makes the demo home and starts the jukebox on it.
#   scripts/run-demo.sh [DIR]   (default DIR: demo-home/ in the checkout)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target karaoke
home="${1:-$PWD/demo-home}"
bash scripts/make-demo-home.sh build/src/app/karaoke "$home"
exec build/src/app/karaoke --home "$home"
