#!/bin/sh
# Only platform/ talks to the system: no other folder of the game includes a
# header of SDL, SDL_mixer, SDL_ttf, fontconfig, cairo, libxmp, libcurl or of
# the POSIX system layer (<unistd.h>, <fcntl.h>, <sys/...> and the like).
# tools/, server/ and tests/ are programs of their own and may.
cd "$1" || exit 2
outside='SDL|xmp\.h|curl/|fontconfig/|cairo|unistd\.h|fcntl\.h|sys/|dirent\.h|dlfcn\.h|pthread\.h|signal\.h|poll\.h|spawn\.h|termios\.h|pwd\.h|netinet/|arpa/|netdb\.h|X11/'
hits=$(grep -rnE "#[[:space:]]*include[[:space:]]*[<\"]($outside)" main game graphics services record 2>/dev/null)
if [ -n "$hits" ]; then
  echo "system headers outside platform/:"
  echo "$hits"
  exit 1
fi
echo "only platform/ includes system headers"
