#!/usr/bin/env bash
# Configures and builds the presets: native (core + unit tests),
# i686 (build/i686/Velmora.exe, the XP exe) and x86_64 (build/x86_64/Velmora.exe).
# Usage: scripts/build.sh [PRESET...]   (default: native i686 x86_64)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

presets=("$@")
[[ ${#presets[@]} -gt 0 ]] || presets=(native i686 x86_64)

for preset in "${presets[@]}"; do
  echo "build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
for preset in "${presets[@]}"; do
  [[ -f "build/$preset/Velmora.exe" ]] && echo "build: build/$preset/Velmora.exe"
done
exit 0
