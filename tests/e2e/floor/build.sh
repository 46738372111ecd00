#!/usr/bin/env bash
# Builds the floor programs for Wine 64: bare_window.exe (the harness's own
# tests) and switch_floor.exe (the benchmark's reference for each screen
# switch). Prints the path of each, bare_window.exe last.
# Usage: tests/e2e/floor/build.sh [OUT_DIR]   (default build/e2e-floor)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
out="${1:-$root/build/e2e-floor}"
mkdir -p "$out"
for name in switch_floor bare_window; do
  src="$root/tests/e2e/floor/$name.cpp"
  exe="$out/$name.exe"
  if [[ ! -f "$exe" || "$src" -nt "$exe" ]]; then
    x86_64-w64-mingw32-g++-win32 -std=c++20 -Os -Wall -Wextra -municode -mwindows \
      -static -static-libgcc -static-libstdc++ -o "$exe" "$src"
  fi
  echo "$exe"
done
