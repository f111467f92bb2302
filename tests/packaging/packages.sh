#!/usr/bin/env bash
# Makes the Debian packages from a finished build, checks them with lintian,
# installs them into a scratch root (dpkg --root) and checks what lands
# there: every file, the server's user and service, the server started the
# way its service starts it, and the game started through its launcher from
# another folder. Then installs the build into a prefix of its own with
# cmake --install, moves that prefix and starts the game from there, and
# installs it into a player's own ~/.local.
#
#   packages.sh <source folder> <build folder>
set -euo pipefail

SRC="$(cd "$1" && pwd)"
BUILD="$(cd "$2" && pwd)"
T="$(mktemp -d)"
XVFB_PID=""
PIDS=()

cleanup() {
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$T"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
# A process waited for leaves PIDS: its number may soon be another program's.
forget() {
  local keep=() p
  for p in "${PIDS[@]}"; do [ "$p" = "$1" ] || keep+=("$p"); done
  PIDS=("${keep[@]}")
}
step() { echo "-- [${SECONDS} s] $*"; }

# wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
wait_for() {
  local seconds="$1" what="$2"
  shift 2
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] || fail "timed out after ${seconds}s waiting for $what"
    sleep 0.1
  done
}

# dpkg needs root for the owners of the files; fakeroot stands in otherwise.
DPKG=(dpkg)
if [ "$(id -u)" -ne 0 ]; then
  command -v fakeroot >/dev/null || { echo "SKIP: not root and fakeroot is missing"; exit 77; }
  DPKG=(fakeroot dpkg --force-not-root)
fi

# The server's postinst makes its user with systemd-sysusers.
command -v systemd-sysusers >/dev/null ||
  { echo "SKIP: systemd-sysusers is missing (./run-tests installs systemd)"; exit 77; }

step "making the packages"
cpack -G DEB -B "$T/debs" --config "$BUILD/CPackConfig.cmake" >"$T/cpack.log" 2>&1 ||
  { cat "$T/cpack.log"; fail "cpack did not make the packages"; }
GAME_DEB="$T/debs/zephyrion_2.0_$(dpkg --print-architecture).deb"
SERVER_DEB="$T/debs/zephyrion-scores_2.0_$(dpkg --print-architecture).deb"
[ -f "$GAME_DEB" ] || fail "no $(basename "$GAME_DEB") among: $(ls "$T/debs")"
[ -f "$SERVER_DEB" ] || fail "no $(basename "$SERVER_DEB") among: $(ls "$T/debs")"

# Each package holds exactly these files (directories aside).
expect_files() {
  local deb="$1"
  shift
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's#^\./#/#' | sort >"$T/got"
  printf '%s\n' "$@" | sort >"$T/want"
  diff -u "$T/want" "$T/got" >"$T/diff" ||
    { cat "$T/diff"; fail "$(basename "$deb") does not hold the expected files (- missing, + unexpected)"; }
}
step "the files of each package"
expect_files "$GAME_DEB" \
  /usr/games/zephyrion \
  /usr/libexec/zephyrion/zephyrion \
  /usr/share/zephyrion/Data/Data.pp \
  /usr/share/zephyrion/sound/1.xm \
  /usr/share/zephyrion/sound/2.xm \
  /usr/share/applications/zephyrion.desktop \
  /usr/share/icons/hicolor/256x256/apps/zephyrion.png \
  /usr/share/man/man6/zephyrion.6.gz \
  /usr/share/doc/zephyrion/copyright \
  /usr/share/doc/zephyrion/changelog.gz
expect_files "$SERVER_DEB" \
  /usr/bin/zephyrion-scores \
  /usr/lib/systemd/system/zephyrion-scores.service \
  /usr/lib/sysusers.d/zephyrion-scores.conf \
  /usr/share/man/man1/zephyrion-scores.1.gz \
  /usr/share/doc/zephyrion-scores/copyright \
  /usr/share/doc/zephyrion-scores/changelog.gz

for field in "Section: games" "Depends: .*fonts-dejavu-core" "Depends: .*libsdl2-2.0-0"; do
  dpkg-deb -f "$GAME_DEB" | grep -qx "$field.*" || fail "zephyrion's control has no '$field'"
done
for field in "Section: net" "Depends: systemd | systemd-sysusers.*libsqlite3-0"; do
  dpkg-deb -f "$SERVER_DEB" | grep -qx "$field.*" || fail "zephyrion-scores' control has no '$field'"
done

if command -v lintian >/dev/null; then
  step "lintian"
  # Errors and warnings fail; the remaining remarks are printed (README lists
  # them with their reasons).
  lintian --fail-on error,warning --display-info "$GAME_DEB" "$SERVER_DEB" >"$T/lintian.log" 2>&1 ||
    { cat "$T/lintian.log"; fail "lintian found errors or warnings"; }
  grep -v 'running with root privileges' "$T/lintian.log" || true
else
  echo "lintian is not installed: the packages are not linted (./run-tests installs it)"
fi

step "installing into a scratch root"
R="$T/root"
mkdir -p "$R/etc" "$R/var/lib/dpkg/info" "$R/var/lib/dpkg/updates" "$R/var/lib/dpkg/triggers"
touch "$R/var/lib/dpkg/status" "$R/var/lib/dpkg/available"
# The maintainer scripts run here, not in a chroot, with DPKG_ROOT set: the
# user and the service's links must land in the scratch root.
"${DPKG[@]}" --root="$R" --log=/dev/null --force-script-chrootless --force-depends \
  -i "$GAME_DEB" "$SERVER_DEB" >"$T/dpkg.log" 2>&1 || { cat "$T/dpkg.log"; fail "dpkg -i into the scratch root"; }

cmp -s "$BUILD/Data/Data.pp" "$R/usr/share/zephyrion/Data/Data.pp" || fail "the packaged asset pack differs from the build's"
cmp -s "$BUILD/sound/1.xm" "$R/usr/share/zephyrion/sound/1.xm" || fail "the packaged menu music differs from the build's"
for x in /usr/games/zephyrion /usr/libexec/zephyrion/zephyrion /usr/bin/zephyrion-scores; do
  [ -x "$R$x" ] || fail "$x is not executable"
done
file -L "$R/usr/share/icons/hicolor/256x256/apps/zephyrion.png" | grep -q "PNG image data, 256 x 256" ||
  fail "the icon is not a 256 x 256 PNG"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$R/usr/share/applications/zephyrion.desktop" || fail "the desktop entry is not valid"
fi
grep -qx "Exec=zephyrion" "$R/usr/share/applications/zephyrion.desktop" || fail "the desktop entry does not start zephyrion"
zcat "$R/usr/share/man/man6/zephyrion.6.gz" | grep -q "^zephyrion \\\\- " || fail "the game's manual page has no NAME line"

step "the server's user and service"
grep -q "^zephyrion-scores:x:[0-9]*:[0-9]*:[^:]*:/var/lib/zephyrion-scores:/usr/sbin/nologin$" "$R/etc/passwd" ||
  { cat "$R/etc/passwd" 2>/dev/null; fail "postinst did not make the system user zephyrion-scores in the scratch root"; }
UNIT="$R/usr/lib/systemd/system/zephyrion-scores.service"
LINK="$R/etc/systemd/system/multi-user.target.wants/zephyrion-scores.service"
[ "$(readlink "$LINK")" = /usr/lib/systemd/system/zephyrion-scores.service ] || fail "the service is not enabled in the scratch root"
for line in "User=zephyrion-scores" "StateDirectory=zephyrion-scores" "WorkingDirectory=/var/lib/zephyrion-scores" \
  "ProtectSystem=strict" "NoNewPrivileges=yes" "WantedBy=multi-user.target"; do
  grep -qx "$line" "$UNIT" || fail "the service lacks '$line'"
done
if command -v systemd-analyze >/dev/null; then
  sed "s#/usr/bin/zephyrion-scores#$R/usr/bin/zephyrion-scores#" "$UNIT" >"$T/zephyrion-scores.service"
  systemd-analyze verify --man=no "$T/zephyrion-scores.service" >"$T/verify.log" 2>&1 || true
  [ ! -s "$T/verify.log" ] || { cat "$T/verify.log"; fail "systemd-analyze verify finds fault with the service"; }
fi

step "the packaged server, started as its service starts it"
# ExecStart with the scratch root's program, a state folder of ours, no
# options from /etc/default, and a free port.
EXEC="$(sed -n 's/^ExecStart=//p' "$UNIT")"
[ -n "$EXEC" ] || fail "the service has no ExecStart"
STATE="$T/state"
mkdir -p "$STATE"
EXEC="${EXEC//\/usr\/bin\/zephyrion-scores/$R/usr/bin/zephyrion-scores}"
EXEC="${EXEC//\/var\/lib\/zephyrion-scores/$STATE}"
EXEC="${EXEC//\$ZEPHYRION_SCORES_OPTIONS/--port 0}"
read -r -a COMMAND <<<"$EXEC"
(cd "$STATE" && exec "${COMMAND[@]}") >"$T/server.log" 2>&1 &
SERVER_PID=$!
PIDS+=("$SERVER_PID")
server_ready() { grep -q "serving on http://127.0.0.1:[0-9]*/" "$T/server.log" || ! kill -0 "$SERVER_PID" 2>/dev/null; }
wait_for 60 "the packaged server to listen" server_ready
kill -0 "$SERVER_PID" 2>/dev/null || { cat "$T/server.log"; fail "the packaged server ended at once"; }
PORT="$(sed -n 's#.*serving on http://127.0.0.1:\([0-9]*\)/.*#\1#p' "$T/server.log")"
curl -sf "http://127.0.0.1:$PORT/cgi/version.pl?version&prg=Zephyrion" | grep -q "^Zephyrion|" ||
  fail "the packaged server does not answer the version request"
[ -f "$STATE/zephyrion-scores.db" ] || fail "the packaged server did not keep its table in its state folder"
kill -TERM "$SERVER_PID"
server_gone() { ! kill -0 "$SERVER_PID" 2>/dev/null; }
wait_for 30 "the packaged server to stop on SIGTERM" server_gone
wait "$SERVER_PID" || fail "the packaged server did not stop cleanly on SIGTERM"
forget "$SERVER_PID"

# run_game LAUNCHER HOME NAME DATA: starts the game through LAUNCHER from
# another folder under a private X display, waits for its window and ends it
# with SIGTERM, which a game that loaded its data answers with a clean exit.
# The player's folder must then show the installed data in DATA: through
# links, or as itself when the data lie there (the prefix ~/.local), with
# nothing left inside the data's folders.
run_game() {
  local launcher="$1" home="$2" name="$3" data="$4"
  mkdir -p "$home" "$T/elsewhere"
  (cd "$T/elsewhere" && exec env HOME="$home" XDG_DATA_HOME= SDL_AUDIODRIVER=dummy "$launcher") \
    >"$T/$name.log" 2>&1 &
  local pid=$!
  PIDS+=("$pid")
  # Every question to the display is bounded: a display that stops answering
  # fails the test instead of hanging it.
  game_window() { timeout 10 xdotool search --name '^Zephyrion$' >/dev/null 2>&1 || ! kill -0 "$pid" 2>/dev/null; }
  local started=$SECONDS
  if ! (wait_for 90 "the window of the $name game" game_window); then
    echo "windows on the display:" >&2
    timeout 10 xdotool search --name . getwindowname %@ >&2 2>/dev/null || echo "(the display did not answer)" >&2
    ps -o pid,stat,etime,time,args -p "$pid" -p "$XVFB_PID" >&2 || true
    cat "$T/$name.log" >&2
    fail "no window of the $name game"
  fi
  kill -0 "$pid" 2>/dev/null || { cat "$T/$name.log"; fail "the $name game ended before its window showed"; }
  echo "   its window showed after $((SECONDS - started)) s"
  kill -TERM "$pid"
  game_gone() { ! kill -0 "$pid" 2>/dev/null; }
  wait_for 30 "the $name game to end on SIGTERM (is it showing an error box?)" game_gone
  wait "$pid" || { cat "$T/$name.log"; fail "the $name game did not end cleanly (its data not found?)"; }
  forget "$pid"
  local here="$home/.local/share/zephyrion"
  for d in Data sound; do
    if [ "$here" -ef "$data" ]; then
      [ -d "$here/$d" ] && [ ! -L "$here/$d" ] || fail "the $name launcher replaced the data folder $d"
    else
      [ "$(readlink "$here/$d")" = "$data/$d" ] ||
        fail "the $name launcher links $d to '$(readlink "$here/$d")', not to $data/$d"
    fi
    [ ! -L "$data/$d/$d" ] || fail "the $name launcher put a link $d inside $data/$d"
  done
}

if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  exec 3<> <(:)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$T/xvfb.log" 2>&1 &
  XVFB_PID=$!
  read -r -t 30 NUM <&3 || fail "Xvfb did not start"
  exec 3<&-
  export DISPLAY=":$NUM"

  step "the packaged game, through its launcher"
  run_game "$R/usr/games/zephyrion" "$T/home-package" packaged "$R/usr/share/zephyrion"

  step "cmake --install into a prefix of its own, then moved"
  timeout 300 cmake --install "$BUILD" --prefix "$T/prefix" >"$T/install.log" 2>&1 || { cat "$T/install.log"; fail "cmake --install"; }
  [ -x "$T/prefix/bin/zephyrion" ] || fail "cmake --install put no launcher in bin/"
  for f in games lib/systemd share/doc; do
    [ ! -e "$T/prefix/$f" ] || fail "cmake --install into a prefix put $f there (only the package carries it)"
  done
  mv "$T/prefix" "$T/moved prefix"
  ln -s "$T/moved prefix/bin/zephyrion" "$T/zephyrion-link"
  run_game "$T/zephyrion-link" "$T/home-prefix" installed "$T/moved prefix/share/zephyrion"

  step "cmake --install into the player's own ~/.local"
  timeout 300 cmake --install "$BUILD" --prefix "$T/home-local/.local" >"$T/install.log" 2>&1 ||
    { cat "$T/install.log"; fail "cmake --install --prefix ~/.local"; }
  run_game "$T/home-local/.local/bin/zephyrion" "$T/home-local" home-local "$T/home-local/.local/share/zephyrion"
else
  echo "SKIP: Xvfb or xdotool missing, the launchers are not started (./run-tests installs them)"
  exit 77
fi

step "purging the packages"
"${DPKG[@]}" --root="$R" --log=/dev/null --force-script-chrootless --force-depends \
  --purge zephyrion zephyrion-scores >"$T/dpkg.log" 2>&1 || { cat "$T/dpkg.log"; fail "dpkg --purge in the scratch root"; }
[ ! -e "$R/usr/bin/zephyrion-scores" ] && [ ! -e "$R/usr/games/zephyrion" ] || fail "the programs are still there after purging"
[ ! -L "$LINK" ] || fail "the service is still enabled after purging"
grep -q "^zephyrion-scores:" "$R/etc/passwd" || fail "purging took away the server's user (its files would lose their owner)"
echo "packages: all checks passed"
