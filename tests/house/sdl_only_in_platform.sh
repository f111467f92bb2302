#!/bin/sh
# Only platform/ may include SDL, SDL_mixer, SDL_ttf, libxmp or libcurl.
cd "$1" || exit 2
hits=$(grep -rnE '#[[:space:]]*include[[:space:]]*[<"](SDL|xmp\.h|curl/)' main game graphics services 2>/dev/null)
if [ -n "$hits" ]; then
  echo "system library headers outside platform/:"
  echo "$hits"
  exit 1
fi
echo "only platform/ includes SDL"
