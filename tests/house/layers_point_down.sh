#!/bin/sh
# The layers only point down: platform <- graphics <- services <- game <- main.
# A file may include headers of its own folder and of the folders below it.
# (The build checks the same of the calls: each layer's library links with
# nothing but the layers below it.)
cd "$1" || exit 2

rank() {
  case $1 in
    platform) echo 0 ;; graphics) echo 1 ;; services) echo 2 ;; game) echo 3 ;; main) echo 4 ;; *) echo -1 ;;
  esac
}

found=$(grep -rnoE '#[[:space:]]*include[[:space:]]*"(platform|graphics|services|game|main)/[^"]+"' \
          platform graphics services game main 2>/dev/null |
        sed -E 's/^([^:]+):[0-9]+:.*"([^"]+)"$/\1 \2/' | sort -u)
status=0
echo "$found" | {
  while read -r file header; do
    [ -n "$file" ] || continue
    from=$(rank "${file%%/*}")
    to=$(rank "${header%%/*}")
    [ "$to" -le "$from" ] && continue
    echo "$file includes $header, a layer above it"
    status=1
  done
  [ $status -eq 0 ] && echo "every include points down"
  exit $status
}
