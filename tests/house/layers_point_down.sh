#!/bin/sh
# The layers only point down: platform <- graphics <- services <- game <- main.
# A file may include headers of its own folder and of the folders below it.
# The includes listed in KNOWN are the ones that still point up (the shared
# state in main/Globals.h, the click sound, the player's score): no new one
# may join them, and each that is mended must leave the list.
cd "$1" || exit 2
KNOWN='graphics/DXCtrl.cpp main/Globals.h
graphics/DXCtrl.cpp services/DXSounds.h
game/Hud.cpp main/Globals.h
game/MyShip.cpp main/Globals.h
game/Game.cpp main/Globals.h
services/FMOD.cpp main/Globals.h
services/Options.cpp main/Globals.h
services/Options.cpp game/Game.h
services/WebScores.cpp main/Globals.h
services/WebScores.cpp game/Game.h'

rank() {
  case $1 in
    platform) echo 0 ;; graphics) echo 1 ;; services) echo 2 ;; game) echo 3 ;; main) echo 4 ;; *) echo -1 ;;
  esac
}

found=$(grep -rnoE '#[[:space:]]*include[[:space:]]*"(platform|graphics|services|game|main)/[^"]+"' \
          platform graphics services game main 2>/dev/null |
        sed -E 's/^([^:]+):[0-9]+:.*"([^"]+)"$/\1 \2/' | sort -u)
status=0
seen=""
echo "$found" | {
  while read -r file header; do
    [ -n "$file" ] || continue
    from=$(rank "${file%%/*}")
    to=$(rank "${header%%/*}")
    [ "$to" -le "$from" ] && continue
    if printf '%s\n' "$KNOWN" | grep -qxF "$file $header"; then
      continue
    fi
    echo "$file includes $header, a layer above it"
    status=1
  done
  # Every listed exception must still exist, so the list only shrinks.
  printf '%s\n' "$KNOWN" | while read -r file header; do
    printf '%s\n' "$found" | grep -qxF "$file $header" ||
      { echo "$file no longer includes $header: take it off the list in $0"; exit 1; }
  done || status=1
  [ $status -eq 0 ] && echo "every include points down (or is a listed exception)"
  exit $status
}
