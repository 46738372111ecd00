#!/usr/bin/env bash
# Builds the floor program (bare Win32 window) for Wine 64.
# Usage: tests/e2e/floor/build.sh [OUT_DIR]   (default build/e2e-floor)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
out="${1:-$root/build/e2e-floor}"
mkdir -p "$out"
src="$root/tests/e2e/floor/bare_window.cpp"
exe="$out/bare_window.exe"
if [[ ! -f "$exe" || "$src" -nt "$exe" ]]; then
  x86_64-w64-mingw32-g++-win32 -std=c++20 -Os -Wall -Wextra -municode -mwindows \
    -static -static-libgcc -static-libstdc++ -o "$exe" "$src"
fi
echo "$exe"
