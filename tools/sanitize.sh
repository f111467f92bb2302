#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (the
# "asan" preset, in build-asan) and runs the whole test suite there: the area
# tests with the replay check of a scripted game, the screen walk and the
# typical run of the real program under Xvfb, the server's tests. Leaks count
# as failures; undefined behaviour stops the program that met it.
#
#   tools/sanitize.sh
#
# ZEPHYRION_JOBS sets the build's and ctest's parallel jobs (default 2).
# Prints a summary: the tests that failed and every sanitizer report found in
# the tests' output, by kind, with the first frame in the game's own code.
set -uo pipefail

SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$SRC/build-asan"
JOBS="${ZEPHYRION_JOBS:-2}"

mkdir -p "$BUILD"
echo "== configuring the asan preset in $BUILD"
(cd "$SRC" && cmake --preset asan >"$BUILD/configure.log" 2>&1) ||
  { cat "$BUILD/configure.log" >&2; echo "sanitize: configuring failed" >&2; exit 1; }

echo "== building everything (-j$JOBS); log in $BUILD/build.log"
start=$(date +%s)
# The build runs the art and sound generators: a leak there is reported in
# the summary but does not stop the build (the game's own tests follow).
LSAN_OPTIONS="exitcode=0" cmake --build "$BUILD" -j"$JOBS" >"$BUILD/build.log" 2>&1 ||
  { grep -E 'error|Error' "$BUILD/build.log" | head -20 >&2; echo "sanitize: building failed" >&2; exit 1; }
echo "   built in $(( $(date +%s) - start )) s"

# Leaks are found at every program's exit and reported, but they do not
# change its exit status: the end-to-end runs of the real program then still
# check everything they check, and this script fails on any leak report it
# finds in the output (the summary below). libdbus, which SDL loads for the
# desktop services, keeps a buffer past its unloading at exit: that report
# has no frame of the game's and is suppressed.
SUPP="$BUILD/lsan-suppressions.txt"
printf '%s\n' "# System libraries that keep memory at exit, with no frame of the game's." \
  "leak:libdbus-1.so" >"$SUPP"
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$SUPP:print_suppressions=0:exitcode=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== running the whole suite (-j$JOBS); log in $BUILD/ctest.log"
start=$(date +%s)
(cd "$BUILD" && ctest -j"$JOBS" --timeout 900 --output-on-failure) >"$BUILD/ctest.log" 2>&1
status=$?
echo "   ran in $(( $(date +%s) - start )) s"

# The build's output (the generators ran there), every test's full output
# (ctest keeps it in LastTest.log), and the logs the end-to-end runs keep of
# the game and the server.
outputs=("$BUILD/build.log" "$BUILD/Testing/Temporary/LastTest.log" "$BUILD/ctest.log")
for f in "$BUILD"/e2e-artifacts/*.log "$BUILD"/acceptance-artifacts/*.log "$BUILD"/desktop-artifacts/*/*.log \
  "$BUILD"/audio-artifacts/*.log; do
  [ -f "$f" ] && outputs+=("$f")
done

echo
echo "== summary"
grep -E '^[0-9]+% tests passed|tests failed out of' "$BUILD/ctest.log" | tail -1
grep -E '^\s+[0-9]+ - .*\((Failed|Timeout|Subprocess aborted|SEGFAULT|Exception|Not Run)\)' "$BUILD/ctest.log"
grep -E '^\s+[0-9]+ - ' "$BUILD/ctest.log" | grep -q . || echo "no test failed"

reports="$(grep -hE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|SUMMARY: (Address|Leak|UndefinedBehavior)Sanitizer' \
  "${outputs[@]}" 2>/dev/null | sed 's/==[0-9]*==//' | sort | uniq -c | sort -rn)"
if [ -n "$reports" ]; then
  echo
  echo "sanitizer reports (count, report):"
  echo "$reports"
  echo
  echo "where (test or log; report; the first two frames in the source tree):"
  if /usr/bin/python3 - "$SRC/" "${outputs[@]}" <<'PY'
import collections, re, sys
src = sys.argv[1]
seen = {}
for path in sys.argv[2:]:
    try:
        text = open(path, errors="replace").read()
    except OSError:
        continue
    where = path.rsplit("/", 2)[-2] + "/" + path.rsplit("/", 1)[-1]
    for line_block in re.split(r"\n(?=\d+/\d+ Testing: )", text):
        m = re.match(r"(\d+)/\d+ Testing: (\S+)", line_block)
        name = m.group(2) if m else where
        for rep in re.finditer(r"((?:Direct|Indirect) leak of \d+ byte\(s\)|ERROR: AddressSanitizer: [\w-]+|"
                               r"[^\n]*runtime error:[^\n]*)(.*?)(?:\n\s*\n|$)", line_block, re.S):
            frames = [f.split(" in ", 1)[-1].replace(src, "")
                      for f in re.findall(r"#\d+ [^\n]+", rep.group(2)) if src in f][:2]
            head = re.sub(r"\d+ byte\(s\)", "N bytes", rep.group(1).strip())
            seen.setdefault((head, " <- ".join(frames) or "(no frame in the source tree)"), set()).add(name)
ours = False
for (head, frames), names in sorted(seen.items(), key=lambda kv: (-len(kv[1]), kv[0])):
    some = sorted(names)
    system_leak = "leak of" in head and frames == "(no frame in the source tree)"
    ours = ours or not system_leak
    print("  %s at %s%s\n      in %d test(s) or log(s): %s%s" % (
        head, frames, " (a system library's, not counted)" if system_leak else "", len(some),
        ", ".join(some[:3]), ", ..." if len(some) > 3 else ""))
# Leaks whose every frame lies in a system library (the display driver
# unloaded at exit, say) are listed but do not fail the run.
sys.exit(1 if ours else 0)
PY
  then :; else [ "$status" -ne 0 ] || status=1; fi
else
  echo "no sanitizer reports"
fi
exit "$status"
