#!/usr/bin/env bash
# Sets up, builds and runs Velmora (the x86_64 build, under Wine).
# On $DISPLAY if set; otherwise on a fresh virtual display, where it takes a
# screenshot about every second for ~8 s into build/run-screens/, prints their
# paths and closes the program.
#   VELMORA_RUN_SECONDS=N   how long to watch on the virtual display (default 8)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

bash scripts/setup.sh
bash scripts/build.sh
exe="$root/build/x86_64/Velmora.exe"
[[ -f "$exe" ]] || { echo "run: $exe was not built" >&2; exit 1; }

export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
# The 64-bit loader by its own name: once wine32 is installed (setup does
# that for the tests), the plain `wine` is the 32-bit loader, emulated on
# these machines and many minutes slower to make a prefix.
wine=$(command -v /usr/lib/wine/wine64 || command -v wine64 || command -v wine)
wineserver=$(command -v /usr/lib/wine/wineserver64 || command -v wineserver || command -v wineserver-stable)

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  echo "run: preparing Wine prefix $WINEPREFIX (once, ~25 s)"
  mkdir -p "$WINEPREFIX"
  # No 32-bit half: every 32-bit start during wineboot is refused at once.
  DISPLAY= QEMU_RESERVED_VA=0x100000 "$wine" wineboot -i >/dev/null 2>&1 || true
  for face in 微软雅黑 宋体; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
  done
  "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  "$wine" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d winxp /f >/dev/null 2>&1 || true
  "$wineserver" -w || true
fi

if [[ -n "${DISPLAY:-}" ]]; then
  echo "run: starting Velmora on $DISPLAY (close it to return)"
  cd "$root/build/x86_64" && exec "$wine" ./Velmora.exe
fi

seconds=${VELMORA_RUN_SECONDS:-8}
shots="$root/build/run-screens"
rm -rf "$shots" && mkdir -p "$shots"
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r _ xvfb_pid <&3
read -r display_no <&3 || true
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display_no"
xsetroot -solid '#2b8c5a' 2>/dev/null || true
echo "run: no DISPLAY; Velmora runs on virtual display $DISPLAY for ${seconds}s"
(cd "$root/build/x86_64" && exec "$wine" ./Velmora.exe) >/dev/null 2>&1 &
app=$!
for ((i = 1; i <= seconds; i++)); do
  sleep 1
  f=$(printf '%s/shot-%02d.png' "$shots" "$i")
  /usr/bin/import -silent -window root "$f" && echo "run: screenshot $f"
  kill -0 "$app" 2>/dev/null || { echo "run: Velmora exited"; break; }
done
kill "$app" 2>/dev/null || true
echo "run: done; screenshots in $shots"
