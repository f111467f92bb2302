#!/bin/sh
# Lays out the C++ sources by .clang-format.
#   tools/format.sh          reformat every tracked .cpp and .h in place
#   tools/format.sh --check  change nothing; list the files that would change
#                            and how many lines, exit 1 if any would
#   tools/format.sh --check --test   the same as the house test runs it
set -eu
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed (apt-get install clang-format)" >&2; exit 2; }

if [ "${1:-}" = "--check" ]; then
  # Run as a test: other versions of clang-format lay some lines out
  # differently, and a tree without git has no list of sources.
  if [ "${2:-}" = "--test" ]; then
    clang-format --version | grep -q 'version 14\.' ||
      { echo "skipped: the layout is kept with clang-format 14 (Debian 12); this is $(clang-format --version)"; exit 77; }
    git rev-parse --is-inside-work-tree >/dev/null 2>&1 || { echo "skipped: not a git checkout"; exit 77; }
  fi
  files=0 lines=0
  for f in $(git ls-files '*.cpp' '*.h'); do
    n=$(clang-format --style=file "$f" | diff "$f" - | grep -c '^[<>]' || true)
    if [ "$n" -gt 0 ]; then
      echo "$f: $n lines"
      files=$((files + 1)) lines=$((lines + n))
    fi
  done
  echo "$files files, $lines changed lines"
  [ "$files" -eq 0 ] || { echo "tools/format.sh lays them out"; exit 1; }
else
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --style=file -i
fi
