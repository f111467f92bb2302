#!/bin/sh
# Load checks of the score server (not tests: they print figures). Each starts
# a server on a free loopback port with a fresh table.
#   server/load-check.sh [BUILD_DIR] [COUNT] [CLIENTS]
# 1. COUNT results (default 1,000) from CLIENTS parallel players (default 16),
#    then every result is checked as stored exactly once;
# 2. honest players' version-plus-result round trips while 64 silent
#    connections and a flood of 10,000 version requests from other addresses
#    run beside them: round trips a second, median and 99th percentile times,
#    none lost (goal: 99th percentile at most 50 ms).
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
COUNT=${2:-1000}
CLIENTS=${3:-16}
SERVER=$BUILD/server/zephyrion-scores
LOAD=$BUILD/server/zephyrion-scores-load
[ -x "$SERVER" ] && [ -x "$LOAD" ] || { echo "build the targets zephyrion-scores and zephyrion-scores-load first" >&2; exit 2; }

DIR=$(mktemp -d)
PID=
cleanup() { [ -n "$PID" ] && kill "$PID" 2>/dev/null; rm -rf "$DIR"; }
trap cleanup EXIT

start() {
  "$SERVER" --port 0 --db "$DIR/$1.db" >"$DIR/$1.out" 2>&1 &
  PID=$!
  PORT=
  for _ in $(seq 600); do
    PORT=$(sed -n 's|.*http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$DIR/$1.out")
    [ -n "$PORT" ] && return 0
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.05
  done
  echo "the server did not start:" >&2; cat "$DIR/$1.out" >&2; exit 1
}
stop() { kill "$PID"; wait "$PID" || true; PID=; }

status=0
echo "== $COUNT results from $CLIENTS players at once"
start load
"$LOAD" --port "$PORT" --count "$COUNT" --clients "$CLIENTS" || status=1
stop
"$LOAD" --verify "$DIR/load.db" --count "$COUNT" || status=1

echo "== honest players beside silent connections and a flood"
start abuse
"$LOAD" --abuse --port "$PORT" --idle 64 --flood 10000 --clients 4 || status=1
stop
exit $status
