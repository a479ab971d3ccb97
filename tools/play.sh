#!/usr/bin/env bash
# Sets up the machine, builds the game and runs vexmoor_gl.exe under Wine from
# the installation folder. With a $DISPLAY it runs in an 800x600 Wine virtual
# desktop there (the game switches the display to 800x600); without one it runs
# in a private Xvfb for a while and saves screenshots to build/screenshots/.
#   --d3d  runs vexmoor_d3d.exe, the game drawn with Direct3D 9, instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
program=vexmoor_gl.exe
for a in "$@"; do
  case "$a" in
    --d3d) program=vexmoor_d3d.exe ;;
    *) echo "play: unknown option $a (the one option is --d3d)" >&2; exit 2 ;;
  esac
done
"$top/tools/setup.sh"
"$top/tools/build.sh"

install="$top/build/install"
if [ ! -f "$install/$program" ]; then
  echo "play: $program is not built yet; there is no program to run." >&2
  exit 1
fi
export WINEPREFIX="$top/build/wine-play" WINEDEBUG=-all
[ -d "$WINEPREFIX/drive_c" ] || { DISPLAY= wineboot -i >/dev/null 2>&1; wineserver -w; }
if [ -z "${ALSA_CONFIG_PATH:-}" ] && ! grep -qs '^ *[0-9]' /proc/asound/cards; then
  # No sound card: DirectSound still opens on a null ALSA device.
  echo 'pcm.!default { type null }' > "$top/build/alsa-null.conf"
  export ALSA_CONFIG_PATH="$top/build/alsa-null.conf"
fi
cd "$install"

if [ -n "${DISPLAY:-}" ]; then
  exec wine explorer /desktop=Vexmoor,800x600 "$program"
fi

shots="$top/build/screenshots"
mkdir -p "$shots"
# A display nobody else uses: Xvfb picks a free number and writes it once it
# accepts connections.
exec 3> "$top/build/play-display.txt"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true' EXIT
display=""
for i in $(seq 50); do
  display=$(head -n1 "$top/build/play-display.txt" 2>/dev/null || true)
  [ -n "$display" ] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.1
done
if [ -z "$display" ] || ! DISPLAY=":$display" xdpyinfo >/dev/null 2>&1; then
  echo "play: the private X display did not start." >&2
  exit 1
fi
export DISPLAY=":$display"
timeout -k 5 60 wine "$program" >/dev/null 2>&1 &
game=$!
for i in 1 2 3 4; do
  sleep 5
  import -window root "$shots/shot$i.png"
  echo "play: saved $shots/shot$i.png"
done
wine "$top/build/win/tests/vx_close.exe" >/dev/null 2>&1 || true
wait $game || true
# The game and Wine end before the display, so nothing reports it broken.
timeout 20 wineserver -w 2>/dev/null || true
echo "play: screenshots are in $shots"
