#!/usr/bin/env bash
# Installs every Debian package the jukebox needs to build, run, test and package.
#   scripts/install-deps.sh         what the build and the tests need
#   scripts/install-deps.sh --fuzz  also clang and libFuzzer, for scripts/fuzz.sh
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-tools
  libxlsxwriter-dev libicu-dev libebur128-dev libsqlite3-dev libzip-dev libaubio-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  python3 sqlite3 xvfb xauth x11-apps xdotool imagemagick poppler-utils unzip
  dpkg-dev file lintian desktop-file-utils appstream
  libpq-dev postgresql-15
  qt6-httpserver-dev qt6-websockets-dev libqrencode-dev
  chromium chromium-driver python3-selenium zbar-tools
)
# What the program needs at run time: the one list the package's Depends are made of.
mapfile -t runtime < <(awk '!/^#/ && NF { print $1 }' "$(dirname "$0")/../packaging/runtime-packages.txt")
packages+=("${runtime[@]}")
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# The PostgreSQL server is there for the venue tests, which make private clusters of their own:
# no system-wide server is started while installing (policy-rc.d refuses every service start).
policy=/usr/sbin/policy-rc.d
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" > /dev/null
  $SUDO chmod 755 "$policy"
  trap '$SUDO rm -f "$policy"' EXIT
fi
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
