#!/usr/bin/env bash
# The package step of ./play and ./run-tests as a newcomer meets it: with no
# sudo, with sudo refused, with sudo granted, as root, and with apt-get
# failing. apt-get and sudo are stand-ins that record what they were asked;
# the cases run as the user "nobody" when the test runs as root.
#
#   setup_without_root.sh <source folder>
set -euo pipefail

SRC="$(cd "$1" && pwd)"
T="$(mktemp -d)"
trap 'rm -rf "$T"' EXIT
chmod 755 "$T"
fail() { echo "FAIL: $*" >&2; exit 1; }

# The set-up script is copied where any user may read it.
cp "$SRC/tools/setup.sh" "$T/setup.sh"
chmod 644 "$T/setup.sh"

# Two packages that no machine has, so both always count as missing.
PKGS="zephyrion-no-such-package-a zephyrion-no-such-package-b"
LINE="apt-get install -y --no-install-recommends $PKGS"

# A PATH with only the tools the set-up uses (no sudo unless a case adds it).
mkdir -p "$T/tools"
for tool in bash dirname dpkg-query grep id mktemp tail rm env cat; do
  ln -s "$(command -v "$tool")" "$T/tools/$tool"
done
cat >"$T/tools/apt-get" <<EOF
#!/bin/bash
echo "apt-get \$*" >>"$T/case/calls"
echo "Reading package lists... (a lot of apt-get talk)"
[ "\$1" = install ] && [ -f "$T/case/apt-fails" ] && { echo "E: Unable to locate package zephyrion-no-such-package-a"; exit 100; }
exit 0
EOF
chmod 755 "$T/tools/apt-get"

# make_sudo MODE: none, refuses (not in sudoers) or grants.
make_sudo() {
  rm -f "$T/tools/sudo"
  case "$1" in
    refuses) printf '#!/bin/bash\necho "Sorry, user $(id -un) may not run sudo on this machine." >&2\nexit 1\n' >"$T/tools/sudo" ;;
    grants) printf '#!/bin/bash\n[ "$1" = -v ] && exit 0\nexec "$@"\n' >"$T/tools/sudo" ;;
    none) return 0 ;;
  esac
  chmod 755 "$T/tools/sudo"
}

# run_case AS_ROOT: runs install_missing with the stand-ins; its output lands
# in $T/case/out, its status in $T/case/status.
run_case() {
  local as_root="$1"
  local runner=()
  if [ "$(id -u)" -eq 0 ] && [ "$as_root" = no ]; then
    runner=(runuser -u nobody --)
  fi
  set +e
  timeout 60 "${runner[@]}" /usr/bin/env -i PATH="$T/tools" HOME="$T/case" LC_ALL=C \
    "$T/tools/bash" -c 'source "$1"; shift; install_missing "$@"' _ "$T/setup.sh" $PKGS \
    </dev/null >"$T/case/out" 2>&1
  echo $? >"$T/case/status"
  set -e
}

# Cases: name, who runs it, sudo, apt-get fails, expected status, a line the
# output must hold, whether apt-get may be called.
CASES=(
  "no sudo|no|none|no|1|$LINE|no"
  "sudo refused|no|refuses|no|1|$LINE|no"
  "sudo granted|no|grants|no|0|Installing missing Debian packages: $PKGS|yes"
  "as root|yes|none|no|0|Installing missing Debian packages: $PKGS|yes"
  "apt-get fails|yes|none|yes|1|E: Unable to locate package zephyrion-no-such-package-a|yes"
)

for c in "${CASES[@]}"; do
  IFS='|' read -r name as_root sudo apt_fails want_status want_line may_call <<<"$c"
  if [ "$as_root" = yes ] && [ "$(id -u)" -ne 0 ]; then
    echo "-- $name: skipped (the test does not run as root)"
    continue
  fi
  echo "-- $name"
  rm -rf "$T/case"
  mkdir -p "$T/case"
  chmod 777 "$T/case"
  [ "$apt_fails" = yes ] && touch "$T/case/apt-fails"
  make_sudo "$sudo"
  run_case "$as_root"
  status="$(cat "$T/case/status")"
  [ "$status" != 124 ] || { cat "$T/case/out"; fail "$name: the set-up hung (waiting for a password?)"; }
  [ "$status" = "$want_status" ] || { cat "$T/case/out"; fail "$name: status $status, expected $want_status"; }
  grep -qF -- "$want_line" "$T/case/out" || { cat "$T/case/out"; fail "$name: the output lacks '$want_line'"; }
  grep -q "command not found" "$T/case/out" && { cat "$T/case/out"; fail "$name: a command was not found"; }
  if [ "$may_call" = no ]; then
    [ ! -s "$T/case/calls" ] || fail "$name: apt-get was called: $(cat "$T/case/calls")"
  else
    grep -qx "apt-get install -y -q --no-install-recommends $PKGS" "$T/case/calls" ||
      fail "$name: apt-get was not asked to install the packages: $(cat "$T/case/calls" 2>/dev/null)"
  fi
  # A set-up that works says one line; apt-get's own talk stays hidden.
  if [ "$want_status" = 0 ]; then
    [ "$(wc -l <"$T/case/out")" -eq 1 ] || { cat "$T/case/out"; fail "$name: more than one line of output"; }
  fi
done
echo "setup without root: all cases passed"
