#!/usr/bin/env bash
# Plays the real program on a virtual X display: walks every screen with the
# keys and once with the mouse, switches to full screen and back, and leaves
# through the exit dialog. Screenshots go to <build>/e2e-artifacts/.
#
#   walk.sh <build folder>
set -euo pipefail

BUILD="$(cd "$1" && pwd)"
ART="$BUILD/e2e-artifacts"
RUN="$(mktemp -d)"
XVFB_PID=""
GAME_PID=""

cleanup() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$RUN"
  # Screens are grabbed raw during the walk (quick) and turned into PNGs here.
  if compgen -G "$ART/*.rgb" >/dev/null; then
    (cd "$ART" && mogrify -size 1024x768 -depth 8 -format png -define png:compression-level=1 ./*.rgb &&
      rm -f ./*.rgb) || true
  fi
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$ART"
mkdir -p "$ART"
# Xvfb picks a free display number itself and writes it to the pipe.
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$ART/xvfb.log" 2>&1 &
XVFB_PID=$!
read -r -t 20 NUM <&3 || fail "Xvfb did not start"
exec 3<&-
export DISPLAY=":$NUM"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not answer on $DISPLAY"

# The game runs in a folder of its own: its pictures and music beside it, a
# settings file whose table is beaten by any finished game (scores of -1).
ln -s "$BUILD/Data" "$RUN/Data"
ln -s "$BUILD/sound" "$RUN/sound"
python3 - "$RUN/Config.cfg" <<'PY'
import struct, sys
def text(s):
    return bytes([len(s)]) + bytes((~ord(c)) & 0xFF for c in s)
data = bytes([1, 1, 1, 123]) + text("")
for _ in range(10):
    data += text("Pilot") + struct.pack("<i", -1)
open(sys.argv[1], "wb").write(data)
PY

cd "$RUN"
SDL_AUDIODRIVER=dummy "$BUILD/zephyrion" >"$ART/game.log" 2>&1 &
GAME_PID=$!

alive() { kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended early (see $ART/game.log)"; }
shot() { alive; import -window root -depth 8 "rgb:$ART/$1.rgb"; }
key() { alive; xdotool key --delay 200 "$@"; sleep 0.2; }
# The window's client area sits centred on the 1024 x 768 screen.
click() { alive; xdotool mousemove $((112 + $1)) $((84 + $2)); sleep 0.25; xdotool click 1; sleep 0.25; }

for _ in $(seq 50); do xdotool search --name Zephyrion >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.8
shot 01-intro
sleep 2
shot 02-main-menu

# Options, the boss-key capture, back.
key Down Return
shot 03-options
key Up Return
shot 04-boss-key-capture
key F11
shot 05-options-new-boss-key
key Return F12
key Escape

# High scores and the clear-table dialog.
key Down Return
shot 06-high-scores
key Return
shot 07-clear-table
key Escape Escape

# The four help pages.
key Down Return
shot 08-help-overview
key Right Return
shot 09-help-bonuses
key Return
shot 10-help-controls
key Return
shot 11-help-about
key Escape

# The exit dialog, answered No.
key Escape
shot 12-exit-dialog
key n

# A game: pause, the in-game exit dialog, game over, name entry, sending.
key Up Up Up Return
sleep 2.5
shot 13-playing
key p
shot 14-paused
key p
sleep 0.3
key Escape
shot 15-quit-game
key y
sleep 3
shot 16-name-entry
key a c e
key Return
shot 17-send-result
key Return
sleep 0.5
shot 18-connection-failed
key Right Return
shot 19-high-scores-after-game
key Escape

# The mouse: options, the music switch, back; help and its pages; the exit dialog.
click 600 390
shot 20-mouse-options
click 350 300
shot 21-mouse-music-off
click 670 560
click 600 470
click 600 550
shot 22-mouse-help-bonuses
click 700 550
shot 23-mouse-back-to-menu

# Full screen and back.
key alt+Return
sleep 1
shot 24-full-screen
key alt+Return
sleep 1
shot 25-window-again

# Leave through the exit dialog ("Yes": the dialog keeps its last answer).
key Escape
key Left Return
for _ in $(seq 50); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end after the exit dialog"
wait "$GAME_PID" && status=0 || status=$?
GAME_PID=""
[ "$status" -eq 0 ] || fail "the game ended with status $status"
cp "$RUN/Config.cfg" "$ART/Config.cfg"
python3 - "$RUN/Config.cfg" <<'PY' || fail "the settings file was not saved as played"
import sys
data = open(sys.argv[1], "rb").read()
assert data[0] == 1 and data[1] == 0 and data[3] == 123, data[:4]
assert bytes((~b) & 0xFF for b in data[6:6 + 3]) == b"Ace", data[:16]
PY
echo "walked every screen; screenshots in $ART"
