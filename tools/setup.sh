#!/usr/bin/env bash
# Shared set-up of ./play and ./run-tests: installs the Debian packages that
# are missing, configures, builds and generates the assets. A second run only
# rebuilds what changed.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${ZEPHYRION_BUILD_DIR:-$ROOT/build}"

GAME_PACKAGES=(cmake ninja-build pkg-config g++ libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev
  libxmp-dev libcurl4-openssl-dev libcairo2-dev libcpp-httplib-dev libsqlite3-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev fonts-play fonts-dejavu-core)
# The score server: its event loop and the PostgreSQL client.
GAME_PACKAGES+=(libmicrohttpd-dev libpq-dev)
TEST_PACKAGES=(xvfb xauth xdotool imagemagick x11-utils openmpt123 sox procps python3 curl)
# Runs of the real program under a window manager (tests/present, tests/desktop,
# tests/record); stress-ng busies the other core when they are tried under load.
TEST_PACKAGES+=(openbox wmctrl stress-ng)
# The score server's checks: a real PostgreSQL, the world page in a real browser
# and its HTML checked by tidy.
TEST_PACKAGES+=(postgresql chromium tidy)

install_missing() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
  if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja
  fi
  cmake --build "$BUILD"
}
