#!/usr/bin/env bash
# The game's performance figures in one table:
#   - processor time of one busy game frame (the frame benchmark, tests/bench);
#   - time from launch to the first picture on the screen;
#   - frames presented per second and processor use of the whole game process
#     during some seconds in the main menu and some seconds of play (firing,
#     sweeping from side to side), in the window and full screen, under a
#     private Xvfb display (1280 x 1024 unless given);
#   - peak resident memory (VmHWM) at the end of that;
#   - the present path the game chose, and the OpenGL libraries mapped in it;
#   - Chocolate Doom's title demo in an 800 x 600 window under the same Xvfb,
#     when it is installed (Debian packages chocolate-doom and freedoom), as
#     a yardstick measured in the same run.
# Frames are counted by tools/perf's present counter (LD_PRELOAD), so the
# game runs unchanged. Processor use comes from /proc/<pid>/stat.
#
#   tools/perf-figures.sh [build folder] [seconds per scene] [screen WxH]
#       (defaults: build, 20, 1280x1024)
#
# Builds what it needs there (at most ZEPHYRION_JOBS jobs, default 2). The
# load average is printed with the figures: on a busy machine the frame rate
# and the processor share are those the scheduler allowed, while the
# processor time per frame stays close to the quiet figure.
set -euo pipefail

SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$SRC/build}"
SCENE="${2:-20}"
SCREEN="${3:-1280x1024}"
JOBS="${ZEPHYRION_JOBS:-2}"
PY=/usr/bin/python3
[ -x "$PY" ] || PY=python3

fail() { echo "perf-figures: $*" >&2; exit 1; }
for tool in Xvfb xdotool xdpyinfo; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed"
done

[ -f "$BUILD/CMakeCache.txt" ] || cmake -S "$SRC" -B "$BUILD" -G Ninja >/dev/null
BUILD="$(cd "$BUILD" && pwd)"
grep -q '^ZEPHYRION_TESTS:BOOL=ON' "$BUILD/CMakeCache.txt" ||
  fail "$BUILD is configured without tests; the benchmark and the present counter live there"
grep -q -- '-fsanitize' "$BUILD/CMakeCache.txt" &&
  echo "perf-figures: warning: $BUILD is a sanitizer build; its figures are not the game's" >&2
cmake --build "$BUILD" -j"$JOBS" --target zephyrion bench_frame zephyrion-present-counter >/dev/null ||
  fail "building failed in $BUILD"
SHIM="$BUILD/tools/perf/libzephyrion-present-counter.so"
BENCH="$BUILD/tests/bench/bench_frame"
[ -f "$SHIM" ] || fail "no present counter at $SHIM"
[ -x "$BENCH" ] || fail "no frame benchmark at $BENCH"

LOAD_BEFORE="$(cut -d' ' -f1-3 /proc/loadavg)"
BENCH_OUT="$(cd "$BUILD" && "$BENCH")"
busy="$(sed -n 's/^busy game frame.*median \([0-9.]*\) ms, worst \([0-9.]*\) ms.*/\1 \2/p' <<<"$BENCH_OUT")"
present="$(sed -n 's/^present .*median \([0-9.]*\) ms.*/\1/p' <<<"$BENCH_OUT")"
read -r busy_median busy_worst <<<"${busy:-? ?}"
settled_worst="$(sed -n 's/^  after the first second: worst \([0-9.]*\) ms.*/\1/p' <<<"$BENCH_OUT")"
lowest_worst="$(sed -n "s/^  after the first second, each frame's lowest of \([0-9]*\) runs: worst \([0-9.]*\) ms.*/\2 ms (lowest of \1 runs)/p" <<<"$BENCH_OUT")"

declare -A fig
while read -r key value; do
  fig[$key]="$value"
done < <("$PY" "$SRC/tools/perf/measure_game.py" "$BUILD" "$SHIM" "$SCENE" "$SCREEN")
LOAD_AFTER="$(cut -d' ' -f1-3 /proc/loadavg)"

row() { printf '%-84s %s\n' "$1" "$2"; }
echo
echo "Zephyrion performance figures ($(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) processors)"
echo "load average: $LOAD_BEFORE at the start, $LOAD_AFTER at the end"
row "figure" "value"
row "busy game frame, processor time, median (benchmark)" "${busy_median} ms"
row "busy game frame, processor time, worst (benchmark)" "${busy_worst} ms"
row "  worst after the first second" "${settled_worst:-?} ms"
row "  worst after the first second, each frame's best run" "${lowest_worst:-?}"
row "present of one frame, median (benchmark)" "${present:-?} ms"
row "launch to first picture on the screen" "${fig[start_to_first_picture_ms]:-?} ms"
row "  of which after the program was loaded" "${fig[load_to_first_picture_ms]:-?} ms"
row "present path chosen" "${fig[path]:-?}"
row "OpenGL libraries mapped in the game" "${fig[opengl_libraries]:-?}"
scene() {
  local key="$1" name="$2"
  row "$name: frames presented per second (${SCENE} s)" "${fig[${key}_fps]:-?}"
  row "$name: processor use of the game (100 = one core)" "${fig[${key}_cpu_percent]:-?} %"
  row "$name: processor time per frame" "${fig[${key}_cpu_ms_per_frame]:-?} ms"
  row "$name: processor use of Xvfb" "${fig[${key}_xvfb_cpu_percent]:-?} %"
}
scene menu "window, main menu"
scene play "window, play"
scene full_menu "full screen ($SCREEN), main menu"
scene full_play "full screen ($SCREEN), play"
row "peak resident memory (VmHWM)" "$(( ${fig[peak_rss_kb]:-0} / 1024 )) MB"
if [ -n "${fig[doom_fps]:-}" ]; then
  scene doom "Chocolate Doom (Freedoom), title demo, 800x600"
  row "Chocolate Doom: peak resident memory" "$(( ${fig[doom_peak_rss_kb]:-0} / 1024 )) MB"
else
  echo "(Chocolate Doom is not installed: apt-get install chocolate-doom freedoom for its figures beside ours)"
fi
