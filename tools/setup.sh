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
# The house test of the sources' layout.
TEST_PACKAGES+=(clang-format)

# ./play installs GAME_PACKAGES (what builds the game, its data and the score
# server), ./run-tests those and TEST_PACKAGES (what only the tests run); each
# part adds its own with GAME_PACKAGES+=(...) or TEST_PACKAGES+=(...) above.
# The package checks: making and linting the Debian packages, the desktop entry
# and the icon, the server's system user and service (systemd-sysusers,
# systemd-analyze; a container has no systemd).
TEST_PACKAGES+=(dpkg-dev fakeroot lintian desktop-file-utils file systemd)

# Stops with the one command a newcomer needs when packages must be installed
# and this user cannot become root.
need_root() {
  {
    echo "Zephyrion needs Debian packages that are not installed yet, and installing them needs root ($1)."
    echo "Run this as root (for example after \"su -\"), then start again:"
    echo
    echo "  apt-get install -y --no-install-recommends $2"
    echo
  } >&2
  exit 1
}

# install_missing PACKAGE...: installs those not installed yet, printing one
# line; apt-get's own output is shown only when it fails.
install_missing() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || need_root "sudo is not installed" "${missing[*]}"
    # Asks for the password here if sudo wants one; a refusal ends the set-up.
    sudo -v || need_root "sudo refused" "${missing[*]}"
    sudo=(sudo)
  fi
  echo "Installing missing Debian packages: ${missing[*]}"
  local log
  log="$(mktemp)"
  if ! { "${sudo[@]}" apt-get update -q &&
         "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
           apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    echo "Installing the packages failed; the end of apt-get's output:" >&2
    tail -n 30 "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
}

# configure [-DOPTION=VALUE...]: configures the build folder when it is new,
# or again when one of the options differs from its cache.
configure() {
  local again=0
  if [ -f "$BUILD/build.ninja" ]; then
    for o in "$@"; do
      local name="${o#-D}" value="${o#*=}"
      name="${name%%=*}"
      name="${name%%:*}"
      grep -qx "$name:[A-Z]*=$value" "$BUILD/CMakeCache.txt" || again=1
    done
  else
    again=1
  fi
  if [ $again -eq 1 ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja "$@"
  fi
}

# configure_and_build [TARGET...]: configures when needed and builds the
# targets given (everything when none).
configure_and_build() {
  configure
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$BUILD" "${targets[@]}"
}
