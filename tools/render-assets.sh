#!/usr/bin/env bash
# Render every picture, the icon and the hand cursor in assets/ from their
# sources (tools/assets/*.py and assets/common/hand_cursor.txt).
# Rerunnable; the output is byte-identical from run to run.
#
# The splash collages are composed from screenshots of the main window in
# assets/formload/screenshots/; this script only reads them. Retake them with
# tools/capture-main-window.py (needs Wine) when the main window changes.
#
# Needs these Debian packages (this script installs nothing):
#   librsvg2-bin       rsvg-convert
#   python3-pil        Pillow for /usr/bin/python3
#   fonts-wqy-microhei the Chinese and Latin lettering
set -euo pipefail
cd "$(dirname "$0")/.."

PY=/usr/bin/python3
missing=()
command -v rsvg-convert >/dev/null 2>&1 || missing+=(librsvg2-bin)
"$PY" -c 'import PIL' >/dev/null 2>&1 || missing+=(python3-pil)
fc-list 2>/dev/null | grep -i 'wqy-microhei' >/dev/null || missing+=(fonts-wqy-microhei)
if ((${#missing[@]})); then
  echo "render-assets: missing Debian packages: ${missing[*]}" >&2
  echo "  install with: apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "Rendering assets/ ..."
PYTHONDONTWRITEBYTECODE=1 "$PY" tools/assets/render.py
total=$(find assets -mindepth 2 -maxdepth 2 -name '*.png' -printf '%s\n' | awk '{s+=$1} END {print s}')
echo "Done: $(find assets -mindepth 2 -maxdepth 2 -name '*.png' | wc -l) PNG files, ${total} bytes."
