#!/usr/bin/env bash
# Installs every Debian package the jukebox needs to build, run and test.
#   scripts/install-deps.sh         what the build and the tests need
#   scripts/install-deps.sh --fuzz  also clang and libFuzzer, for scripts/fuzz.sh
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  qt6-qpa-plugins qt6-translations-l10n
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-tools gstreamer1.0-x gstreamer1.0-gl
  fluid-soundfont-gm
  libxlsxwriter-dev libicu-dev
  qt6-httpserver-dev qt6-websockets-dev libqrencode-dev
  chromium chromium-driver python3-selenium zbar-tools
  fonts-arphic-ukai fonts-arphic-uming
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  python3 sqlite3 xvfb xauth x11-apps xdotool imagemagick poppler-utils unzip curl
)
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
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
