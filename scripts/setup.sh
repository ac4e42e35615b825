#!/usr/bin/env bash
# Installs what building and testing Trellith needs on Debian 12. Idempotent: when every
# package is already there it only checks and returns within a second or two. Whatever stops
# it, it says why in one line and exits non-zero.
set -uo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev python3
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine32:i386 wine64 qemu-user-static
  xvfb x11-utils xdotool imagemagick fonts-wqy-zenhei fonts-wine fonts-arphic-uming fonts-arphic-gbsn00lp locales-all
  zip
)

missing() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
mapfile -t wanted < <(missing)
[ ${#wanted[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "setup: missing ${wanted[*]}; run as root: apt-get install ${wanted[*]} (with dpkg --add-architecture i386 first)"
    exit 1
  fi
  sudo="sudo"
fi
echo "setup: installing ${wanted[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386 || { echo "setup: could not add the i386 architecture (dpkg --add-architecture i386)"; exit 1; }
fi

# A mirror in the middle of a sync can fail one index: tried three times, then the packages are
# installed from the indexes that did come, if they can be.
updated=0
for try in 1 2 3; do
  if $sudo apt-get update -qq >/tmp/trellith-apt-update.log 2>&1; then updated=1; break; fi
  sleep $((try * 5))
done
[ $updated = 1 ] || echo "setup: warning: apt-get update failed three times ($(grep -m1 -E '^(E|Err):' /tmp/trellith-apt-update.log)); going on with the indexes there are"

if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${wanted[@]}" \
    >/tmp/trellith-apt-install.log 2>&1; then
  reason=$(grep -m1 -E '^E:' /tmp/trellith-apt-install.log || tail -n 1 /tmp/trellith-apt-install.log)
  echo "setup: failed to install ${wanted[*]}: ${reason:-apt-get install failed}"
  exit 1
fi
echo "setup: done"
