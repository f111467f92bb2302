#!/bin/sh
# Runs clang-tidy (the checks in .clang-tidy) over the game's own sources with
# the compile commands of a configured build folder (default: build).
#   tools/tidy.sh [build-dir] [file...]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
[ $# -gt 0 ] && shift
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: configure the build first" >&2; exit 2; }
if [ $# -eq 0 ]; then
  set -- $(git ls-files 'game/*.cpp' 'graphics/*.cpp' 'services/*.cpp' 'main/*.cpp' 'platform/*.cpp' 'platform/sdl/*.cpp')
fi
jobs=$(nproc 2>/dev/null || echo 2)
printf '%s\n' "$@" | xargs -P "$jobs" -n 1 clang-tidy -p "$build" --quiet
