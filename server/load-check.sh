#!/bin/sh
# Load check of the score server (not a test): starts a server on a free
# loopback port with a fresh table, sends 1,000 results from 16 parallel
# clients the way the game does, stops the server and checks that every
# result was stored exactly once. Prints the rate.
#   server/load-check.sh [BUILD_DIR] [COUNT] [CLIENTS]
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

"$SERVER" --port 0 --db "$DIR/load.db" >"$DIR/server.out" 2>&1 &
PID=$!
PORT=
for _ in $(seq 100); do
  PORT=$(sed -n 's|.*http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$DIR/server.out")
  [ -n "$PORT" ] && break
  sleep 0.05
done
[ -n "$PORT" ] || { echo "the server did not start:" >&2; cat "$DIR/server.out" >&2; exit 1; }

status=0
"$LOAD" --port "$PORT" --count "$COUNT" --clients "$CLIENTS" || status=1
kill "$PID"; wait "$PID" || true; PID=
"$LOAD" --verify "$DIR/load.db" --count "$COUNT" || status=1
exit $status
