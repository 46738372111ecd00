#!/usr/bin/env bash
# Installs every Debian package Velmora's build and tests need, and makes the
# machine able to run the 32-bit exe (32-bit Wine through QEMU user
# emulation: these kernels have no 32-bit execution of their own).
# Idempotent: does nothing when everything is in place. Runs as root, or
# through sudo.
set -euo pipefail

packages=(
  cmake make g++ libgtest-dev              # native core + unit tests
  g++-mingw-w64-i686 g++-mingw-w64-x86-64  # Windows builds (win32 thread model)
  binutils-mingw-w64-i686                  # i686-w64-mingw32-objdump for the XP check
  wine wine64                              # running the x86_64 exe
  qemu-user-static wine32:i386             # running the i686 exe: 32-bit Wine under QEMU
  xvfb xdotool x11-apps x11-utils x11-xserver-utils  # virtual display, input, xwd/xprop/xsetroot
  libx11-6 libxtst6 libxfixes3             # the tests' direct X connection (input, map events, cursor)
  imagemagick                              # import (screenshots), convert
  librsvg2-bin python3 python3-pil         # pictures and their checks
  fonts-wqy-microhei                       # CJK font standing in for 微软雅黑/宋体
  git unzip                                # the release: clean clones, the zip unpacked and verified
)

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  as_root=(none)
fi
need_root() {
  if [[ ${as_root[0]:-} == none ]]; then
    echo "setup: need root or sudo to $*" >&2
    exit 1
  fi
}

# wine32 comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_root "add the i386 architecture (for wine32)"
  echo "setup: adding the i386 architecture"
  "${as_root[@]}" dpkg --add-architecture i386
  added_architecture=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [[ ${#missing[@]} -gt 0 ]]; then
  need_root "install: ${missing[*]}"
  echo "setup: installing ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif [[ -n ${added_architecture:-} ]]; then
  "${as_root[@]}" apt-get update -qq
fi
echo "setup: all ${#packages[@]} packages present"

# 32-bit programs go to QEMU: Debian does not register i386 on an amd64
# host. Flag F opens the interpreter now, so the registration holds in any
# mount namespace. Once per boot.
binfmt=/proc/sys/fs/binfmt_misc
if [[ ! -e $binfmt/register ]]; then
  need_root "mount binfmt_misc"
  "${as_root[@]}" mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || true
fi
if [[ ! -e $binfmt/register ]]; then
  echo "setup: this machine refuses binfmt_misc (it cannot be mounted here): the i686 exe cannot run;" \
       "the i686 end-to-end suite will be skipped (and fail under CI)" >&2
elif [[ ! -e $binfmt/qemu-i386 ]]; then
  need_root "register QEMU for 32-bit programs"
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  # The kernel reads the \x escapes itself (a raw NUL byte would end the magic).
  if printf '%s\n' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" |
     "${as_root[@]}" tee "$binfmt/register" >/dev/null; then
    echo "setup: registered QEMU for 32-bit programs"
  else
    echo "setup: this machine refused the registration of QEMU for 32-bit programs:" \
         "the i686 end-to-end suite will be skipped (and fail under CI)" >&2
  fi
fi
echo "setup: done"
