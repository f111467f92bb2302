#!/usr/bin/env bash
# The typical run of the game, end to end, with the real program and the real
# score server:
#   intro -> main menu -> new game -> fire a while -> "Exit game?" Yes ->
#   game over -> name entry -> Ok -> "Send the result to" Yes -> high-score
#   table -> Esc -> main menu -> Esc -> "Exit game?" Yes -> the program ends.
# Then the settings file must hold, byte for byte, the seeded options and the
# seeded table with the new result in its place, and the server must have
# stored the same name, score and country.
#
#   typical_run.sh <build folder>
#
# The game sends results to the address fixed at build time
# (ZEPHYRION_SCORE_SERVER, by default http://127.0.0.1:8077). So that the run
# never meets another server on that port, nor answers anyone else's game,
# it runs in a network namespace of its own (unshare -rn) whose loopback is
# private: there the port is always free. Where namespaces are not allowed
# it runs on the machine's loopback if the port is free there, else it is
# skipped (exit status 77).
#
# Screenshots of every screen passed are kept in <build>/acceptance-artifacts/,
# with the game's and the server's output and the final settings file.
set -euo pipefail

SKIP=77
BUILD="$(cd "${1:?usage: typical_run.sh <build folder>}" && pwd)"
ART="$BUILD/acceptance-artifacts"
PY=/usr/bin/python3
[ -x "$PY" ] || PY=python3

fail() { echo "FAIL: $*" >&2; [ -n "${RUN:-}" ] && [ -d "$RUN/shots" ] && keep_shots 2>/dev/null; exit 1; }
skip() { echo "SKIPPED: $*"; exit "$SKIP"; }

for tool in Xvfb xdotool import xdpyinfo; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
done
[ -x "$BUILD/zephyrion" ] || fail "no game in $BUILD"
[ -x "$BUILD/server/zephyrion-scores" ] || skip "the score server was not built in $BUILD"
[ -f "$BUILD/Data/Data.pp" ] || fail "no asset pack in $BUILD/Data"

# The server address the game was built with.
SERVER_URL="$(sed -n 's/^ZEPHYRION_SCORE_SERVER:[A-Z]*=//p' "$BUILD/CMakeCache.txt" 2>/dev/null || true)"
SERVER_URL="${SERVER_URL:-http://127.0.0.1:8077}"
case "$SERVER_URL" in
  http://127.0.0.1:*) PORT="${SERVER_URL#http://127.0.0.1:}"; PORT="${PORT%%/*}" ;;
  http://127.0.0.1 | http://127.0.0.1/) PORT=80 ;;
  *) skip "the game sends its results to $SERVER_URL, not to this machine's loopback" ;;
esac

port_free() {
  "$PY" - "$1" <<'PY'
import socket, sys
s = socket.socket()
try:
    s.bind(("127.0.0.1", int(sys.argv[1])))
except OSError:
    sys.exit(1)
PY
}

# Into a private network namespace once, when the system allows it.
# A new namespace starts with its loopback down.
lo_up() { ip link set lo up 2>/dev/null || ifconfig lo up 2>/dev/null; }
if [ -z "${ZEPHYRION_ACCEPT_NETNS:-}" ] && command -v unshare >/dev/null 2>&1 &&
   unshare -rn bash -c "$(declare -f lo_up); lo_up" 2>/dev/null; then
  export ZEPHYRION_ACCEPT_NETNS=1
  exec unshare -rn "$0" "$@"
fi
if [ "${ZEPHYRION_ACCEPT_NETNS:-}" = 1 ]; then
  lo_up || fail "cannot bring up the private loopback"
  echo "running on a private loopback (network namespace)"
else
  echo "running on this machine's loopback"
fi
port_free "$PORT" || skip "port $PORT on 127.0.0.1 is taken: the game's score server address cannot be served here"

SCREEN=1024x768
RUN="$(mktemp -d)"
XVFB_PID=""
GAME_PID=""
SERVER_PID=""
cleanup() {
  set +e
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  [ -n "$SERVER_PID" ] && wait "$SERVER_PID" 2>/dev/null
  rm -rf "$RUN"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

rm -rf "$ART"
mkdir -p "$ART"

# ---- the score server, with a table of its own ----
"$BUILD/server/zephyrion-scores" --port "$PORT" --db "$RUN/scores.db" >"$ART/server.log" 2>&1 &
SERVER_PID=$!
for _ in $(seq 100); do
  grep -q "serving on" "$ART/server.log" 2>/dev/null && break
  kill -0 "$SERVER_PID" 2>/dev/null || fail "the score server did not start: $(cat "$ART/server.log")"
  sleep 0.1
done
grep -q "serving on" "$ART/server.log" || fail "the score server did not answer within 10 s"

# ---- a private X display; Xvfb picks a free number itself ----
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 "${SCREEN}x24" -nolisten tcp >"$ART/xvfb.log" 2>&1 &
XVFB_PID=$!
read -r -t 30 NUM <&3 || fail "Xvfb did not start"
exec 3<&-
export DISPLAY=":$NUM"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not answer on $DISPLAY"
xdotool mousemove 0 0  # the pointer stays off the game's window

# ---- the game's folder: pictures and music beside it, a seeded settings file ----
ln -s "$BUILD/Data" "$RUN/Data"
ln -s "$BUILD/sound" "$RUN/sound"
# The seeded table: names of several lengths, and a tenth entry any hit beats.
# The country travels with the result to the server.
cat >"$RUN/seed.json" <<'JSON'
{"windowed": 1, "music": 1, "sound": 1, "bosskey": 123, "country": "Ganymede",
 "table": [["Commander", 9000], ["Vega", 4200], ["Orion", 3100], ["Lyra", 2500],
           ["Altair", 1800], ["Deneb", 900], ["Rigel", 600], ["Mira", 250],
           ["Castor", 40], ["Anonymous", 0]]}
JSON
cat >"$RUN/cfg.py" <<'PY'
import json, struct, sys

def text(s):
    raw = s.encode("cp1252")
    return bytes([len(raw) % 256]) + bytes(b ^ 0xFF for b in raw)

def config(seed, table):
    out = bytes([seed["windowed"], seed["music"], seed["sound"], seed["bosskey"] & 0xFF])
    out += text(seed["country"])
    for name, score in table:
        out += text(name) + struct.pack("<i", score)
    return out

def insert(table, name, score):
    # The new result replaces place 10 and rises past strictly lower scores only.
    table = [list(e) for e in table]
    table[9] = [name, score]
    for i in range(10):
        for j in range(9, i, -1):
            if table[j - 1][1] < table[j][1]:
                table[j - 1], table[j] = table[j], table[j - 1]
    return table

if __name__ == "__main__":
    seed = json.load(open(sys.argv[2]))
    if sys.argv[1] == "seed":
        open(sys.argv[3], "wb").write(config(seed, seed["table"]))
    else:  # expect <seed> <name> <score> <out>
        open(sys.argv[5], "wb").write(config(seed, insert(seed["table"], sys.argv[3], int(sys.argv[4]))))
PY
"$PY" "$RUN/cfg.py" seed "$RUN/seed.json" "$RUN/Config.cfg"
cp "$RUN/Config.cfg" "$ART/Config-seeded.cfg"

cd "$RUN"
SDL_AUDIODRIVER=dummy "$BUILD/zephyrion" >"$ART/game.log" 2>&1 &
GAME_PID=$!

T0=$(date +%s%N)
log() { echo "[$(( ($(date +%s%N) - T0) / 1000000 )) ms] $*"; }
alive() { kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended early (see $ART/game.log)"; }
SHOT=0
LAST=""
# shot <name> [same]: keep a screenshot; unless "same" is given, the screen
# must differ from the previous one (the key was taken). Pictures are grabbed
# raw during the run and turned into PNG files once the game has ended.
shot() {
  alive
  log "screen $1"
  SHOT=$((SHOT + 1))
  local file
  file="$RUN/shots/$(printf %02d "$SHOT")-$1.rgb"
  import -window root -depth 8 "rgb:$file"
  if [ "${2:-}" != same ] && [ -n "$LAST" ] && cmp -s "$LAST" "$file"; then
    fail "the screen did not change before '$1' (see $ART)"
  fi
  LAST="$file"
}
keep_shots() {
  compgen -G "$RUN/shots/*.rgb" >/dev/null || return 0
  (cd "$RUN/shots" && mogrify -size "$SCREEN" -depth 8 -format png -define png:compression-level=1 ./*.rgb &&
    mv ./*.png "$ART/" && rm -f ./*.rgb)
}
mkdir -p "$RUN/shots"
key() { alive; xdotool key --delay 120 "$@"; sleep 0.3; }
# Waits until two screenshots half a second apart show the same picture.
wait_still() {
  local limit=$1 a="$RUN/still-a.rgb" b="$RUN/still-b.rgb"
  import -window root rgb:"$a"
  for _ in $(seq "$((limit * 2))"); do
    sleep 0.5
    alive
    import -window root rgb:"$b"
    cmp -s "$a" "$b" && return 0
    mv "$b" "$a"
  done
  return 1
}

# ---- intro and main menu ----
for _ in $(seq 200); do xdotool search --name '^Zephyrion$' >/dev/null 2>&1 && break; alive; sleep 0.1; done
xdotool search --name '^Zephyrion$' >/dev/null 2>&1 || fail "no game window within 20 s"
WIN_X=112 WIN_Y=84
eval "$(xdotool search --name '^Zephyrion$' getwindowgeometry --shell 2>/dev/null | grep -E '^[XY]=')"
WIN_X=${X:-$WIN_X} WIN_Y=${Y:-$WIN_Y}
log "window at $WIN_X,$WIN_Y"
# The first picture may take a moment.
for _ in $(seq 100); do
  [ "$(import -window root -format '%[max]' info: 2>/dev/null)" != 0 ] && break
  alive; sleep 0.1
done
shot intro
# The title slides in; keys do nothing until it has arrived.
wait_still 30 || fail "the intro did not come to rest within 30 s"
shot main-menu same
[ "$(convert -size ${SCREEN} -depth 8 "rgb:$LAST" -format '%[max]' info:)" != 0 ] || fail "the main menu is black"

# ---- a new game: fire and sweep the warship from side to side ----
key Return
sleep 0.5
shot stage-title
# The score, right-aligned at x = 720 of the top bar, reads 0 until the first
# hit; the bar is opaque, so these pixels change only with the score.
score_pixels() { import -window root -crop "50x14+$((WIN_X + 674))+$((WIN_Y + 4))" +repage rgb:- ; }
score_pixels >"$RUN/score-0.rgb"
xdotool keydown ctrl
# Sweep for at least 4 s and until the score has moved (at most about 30 s).
sweeps=0
for dir in Left Right Right Left Left Right Right Left Left Right Right Left Left Right Right Left Left Right Right Left Left Right Right Left; do
  alive
  xdotool keydown "$dir"; sleep 1.2; xdotool keyup "$dir"
  sweeps=$((sweeps + 1))
  [ "$sweeps" -ge 4 ] && ! score_pixels | cmp -s - "$RUN/score-0.rgb" && break
done
log "fired through $sweeps sweeps"
alive
shot playing
xdotool keyup ctrl
sleep 0.3

# ---- the in-game "Exit game?", Yes ----
# Esc is taken only in open play (not while a lost ship's stage restarts):
# the dialog over the frozen frame is a still picture, play never is.
asked=""
for _ in 1 2 3 4 5; do
  key Escape
  if wait_still 3; then asked=1; break; fi
done
[ -n "$asked" ] || fail "the in-game exit question did not come up"
shot quit-game-question
key y
# Over the game-over display (two seconds at most) to the name entry.
sleep 0.3
shot game-over
sleep 3
shot name-entry same
# Typed in mixed case; the field stores "Nova".
key n shift+o shift+v a
shot name-typed
key Return
shot send-question

# ---- "Send the result to" Yes: "Please wait...", the two requests, the table ----
key Return
ROW="$RUN/row.txt"
for _ in $(seq 100); do
  "$PY" - "$RUN/scores.db" >"$ROW" <<'PY' && break
import sqlite3, sys
db = sqlite3.connect("file:" + sys.argv[1] + "?mode=ro", uri=True)
rows = db.execute("SELECT name, score, country FROM results").fetchall()
if not rows:
    sys.exit(1)
if len(rows) > 1:
    print("%d results stored: %r" % (len(rows), rows), file=sys.stderr)
    sys.exit(0)  # the count check below reports it
name, score, country = rows[0]
as_text = lambda v: v.decode("cp1252") if isinstance(v, bytes) else v
print(as_text(name)); print(score); print(as_text(country))
PY
  sleep 0.1
done
[ -s "$ROW" ] || fail "the server stored no result, or more than one, within 10 s (see $ART/server.log)"
wait_still 10 || fail "the high-score table did not come to rest within 10 s"
shot high-scores-after-sending
mapfile -t row <"$ROW"
NAME="${row[0]}" SCORE="${row[1]}" COUNTRY="${row[2]:-}"
echo "server stored: name '$NAME', score $SCORE, country '$COUNTRY'"
[ "$NAME" = Nova ] || fail "the server stored the name '$NAME', not 'Nova'"
[ "$COUNTRY" = Ganymede ] || fail "the server stored the country '$COUNTRY', not 'Ganymede'"
# After the result the game sent its record; the server played it again and
# marks the result proved.
proved() {
  "$PY" -c 'import sqlite3, sys
db = sqlite3.connect("file:" + sys.argv[1] + "?mode=ro", uri=True)
sys.exit(0 if db.execute("SELECT verified FROM results").fetchone()[0] == 1 else 1)' "$RUN/scores.db"
}
for _ in $(seq 100); do proved && break; sleep 0.1; done
proved || fail "the server did not prove Nova's result by its game record within 10 s (see $ART/server.log)"
[ "$SCORE" -gt 0 ] || fail "the stored score $SCORE does not beat the tenth entry (0)"
# The table was saved as soon as the name was confirmed.
"$PY" "$RUN/cfg.py" expect "$RUN/seed.json" Nova "$SCORE" "$RUN/expected.cfg"
cp "$RUN/expected.cfg" "$ART/Config-expected.cfg"
cp "$RUN/Config.cfg" "$ART/Config-after-name-entry.cfg"
cmp -s "$RUN/expected.cfg" "$RUN/Config.cfg" ||
  fail "Config.cfg after the name entry does not hold the table with Nova's $SCORE (see $ART)"

# ---- back to the main menu, and out through "Exit game?" ----
key Escape
shot main-menu-again
key Escape
shot exit-question
key Return
for _ in $(seq 150); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end within 15 s of the exit dialog"
status=0
wait "$GAME_PID" || status=$?
GAME_PID=""
[ "$status" -eq 0 ] || fail "the game ended with status $status"
log "the game has ended"
cp "$RUN/Config.cfg" "$ART/Config.cfg"
keep_shots
log "screenshots kept"

# ---- the settings file as the exit dialog saved it ----

if ! cmp "$RUN/expected.cfg" "$RUN/Config.cfg"; then
  echo "expected:" >&2; od -An -tx1 "$RUN/expected.cfg" >&2
  echo "found:" >&2; od -An -tx1 "$RUN/Config.cfg" >&2
  fail "Config.cfg does not hold the seeded options and the table with Nova's $SCORE"
fi
log "checked"
echo "typical run passed: Nova's $SCORE in the table and on the server; screenshots in $ART"
