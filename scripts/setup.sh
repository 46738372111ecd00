#!/usr/bin/env bash
# Installs every Debian package Velmora's build and tests need. Idempotent:
# does nothing when all are present. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  cmake make g++ libgtest-dev              # native core + unit tests
  g++-mingw-w64-i686 g++-mingw-w64-x86-64  # Windows builds (win32 thread model)
  binutils-mingw-w64-i686                  # i686-w64-mingw32-objdump for the XP check
  wine wine64                              # running the x86_64 exe
  xvfb xdotool x11-apps x11-utils x11-xserver-utils  # virtual display, input, xwd/xprop/xsetroot
  imagemagick                              # import (screenshots), convert
  librsvg2-bin python3 python3-pil         # pictures and their checks
  fonts-wqy-microhei                       # CJK font standing in for 微软雅黑/宋体
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
  echo "setup: all ${#packages[@]} packages present"
  exit 0
fi

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "setup: done"
