#!/usr/bin/env bash
# Runs every fuzz target of the game for a bounded time and checks that none
# of them found a crash, a hang, a leak or a runaway allocation.
#
#   tools/fuzz-all.sh [seconds per target]      (default 60)
#
# Configures the "fuzz" preset (clang, libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz, builds the targets that exist,
# and runs each on its seed corpus from tests/fuzz/corpus/<name>/. The seeds
# in the tree are only read: new inputs found in this run, and any input that
# broke a target, are kept in build-fuzz/fuzz-runs/<target>/. Prints one line
# per target with the inputs it ran; the status is non-zero when any target
# failed. ZEPHYRION_JOBS sets the build's parallel jobs (default 2).
set -uo pipefail

SECONDS_EACH="${1:-60}"
case "$SECONDS_EACH" in '' | *[!0-9]* | 0) echo "usage: $0 [seconds per target]" >&2; exit 2 ;; esac
SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$SRC/build-fuzz"
JOBS="${ZEPHYRION_JOBS:-2}"
TARGETS=(fuzz_asset_pack fuzz_config fuzz_version_split fuzz_server_payload fuzz_record)

command -v clang++ >/dev/null || { echo "fuzz-all: clang++ is needed (Debian package clang)" >&2; exit 2; }

echo "== configuring the fuzz preset in $BUILD"
mkdir -p "$BUILD"
(cd "$SRC" && cmake --preset fuzz >"$BUILD/configure.log" 2>&1) ||
  { cat "$BUILD/configure.log" >&2; echo "fuzz-all: configuring failed" >&2; exit 1; }

present=()
for t in "${TARGETS[@]}"; do
  if ninja -C "$BUILD" -t targets all 2>/dev/null | grep -q "^$t:"; then
    present+=("$t")
  else
    echo "   $t is not declared in this tree: left out"
  fi
done
[ "${#present[@]}" -gt 0 ] || { echo "fuzz-all: no fuzz targets" >&2; exit 1; }

echo "== building ${present[*]} (-j$JOBS)"
cmake --build "$BUILD" -j"$JOBS" --target "${present[@]}" >"$BUILD/build.log" 2>&1 ||
  { tail -40 "$BUILD/build.log" >&2; echo "fuzz-all: building failed (see $BUILD/build.log)" >&2; exit 1; }

# Leaks end a run like crashes; reports carry symbols.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=0
report=()
for t in "${present[@]}"; do
  seeds="$SRC/tests/fuzz/corpus/${t#fuzz_}"
  work="$BUILD/fuzz-runs/$t"
  rm -rf "$work"
  mkdir -p "$work/found" "$work/broken"
  args=()
  [ -d "$seeds" ] && args+=("$seeds") || echo "   $t has no seed corpus in the tree"
  exe="$BUILD/tests/fuzz/$t"
  [ -x "$exe" ] || exe="$(find "$BUILD" -name "$t" -type f -perm -u+x | head -1)"
  echo "== $t for $SECONDS_EACH s"
  # A single input running past 10 s counts as a hang; past 2 GB, as a runaway.
  (cd "$work" && "$exe" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$work/broken/" "$work/found" "${args[@]}") >"$work/log.txt" 2>&1
  status=$?
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.txt" | tail -1)"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log.txt" | tail -1)"
  added="$(sed -n 's/^stat::new_units_added: *//p' "$work/log.txt" | tail -1)"
  rss="$(sed -n 's/^stat::peak_rss_mb: *//p' "$work/log.txt" | tail -1)"
  cov="$(grep -oE 'cov: [0-9]+' "$work/log.txt" | tail -1 | cut -d' ' -f2)"
  broken="$(find "$work/broken" -type f | head -5)"
  verdict=ok
  if [ "$status" -ne 0 ] || [ -n "$broken" ]; then
    verdict="FAILED (status $status)"
    failed=1
    grep -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|SUMMARY' "$work/log.txt" | head -8 >&2
    [ -n "$broken" ] && echo "   inputs kept: $broken" >&2
  fi
  report+=("$(printf '%-22s %12s %10s %8s %6s %8s  %s' "$t" "${execs:-?}" "${rate:-?}" "${added:-?}" \
    "${cov:-?}" "${rss:-?}" "$verdict")")
done

echo
echo "== fuzzing, $SECONDS_EACH s per target ($(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%-22s %12s %10s %8s %6s %8s  %s\n' target executions "per s" "new" cov "RSS MB" verdict
for line in "${report[@]}"; do echo "$line"; done
echo "logs: $BUILD/fuzz-runs/<target>/log.txt"
exit "$failed"
