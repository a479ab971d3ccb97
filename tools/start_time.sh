#!/usr/bin/env bash
# Measures the start of the battle under Wine: the seconds from launching the
# program to its first frame (the battle's sky on screen), once without the
# caches of gen\ and then RUNS times with them. Usage:
#   tools/start_time.sh [RUNS] [PROGRAM]   (default 5 runs of build/install/vexmoor_gl.exe)
# Runs in a private Xvfb, a Wine prefix of its own (build/wine-start) and a game
# folder of its own (build/start-time) that sees the installation folder's data\.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
program=$(realpath "${2:-$top/build/install/vexmoor_gl.exe}")
work="$top/build/start-time"
mkdir -p "$work/game"
ln -sfn "$(dirname "$program")/data" "$work/game/data"
g++ -O2 -o "$work/first_frame" "$top/tools/start_time/first_frame.cpp" -lX11

export WINEPREFIX="$top/build/wine-start" WINEDEBUG=-all
echo 'pcm.!default { type null }' > "$work/alsa.conf"
export ALSA_CONFIG_PATH="$work/alsa.conf"
[ -d "$WINEPREFIX/drive_c" ] || { DISPLAY= wineboot -i >/dev/null 2>&1; wineserver -w; }

exec 3> "$work/display.txt"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true' EXIT
for i in $(seq 50); do
  display=$(head -n1 "$work/display.txt" 2>/dev/null || true)
  [ -n "$display" ] && break
  sleep 0.1
done
export DISPLAY=":$display"
# Wine's own services are started once, outside the measured runs.
wineserver -p 60
( cd "$work/game" && timeout 60 wine cmd /c exit ) >/dev/null 2>&1 || true

# The program is closed through its window when the test tool is built, and
# its own process (the timeout wrapping it) is stopped in any case.
measure() {
  local t pid i
  read -r t pid < <(cd "$work/game" && "$work/first_frame" 200 20 0 127 204 6 60 \
    timeout -k 5 70 wine "$program")
  [ -x "$top/build/win/tests/vx_close.exe" ] &&
    (cd "$work/game" && timeout 20 wine "$top/build/win/tests/vx_close.exe") >/dev/null 2>&1
  for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill "$pid" 2>/dev/null || true
  for i in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  sleep 1   # the window is gone from the screen
  echo "$t"
}
rm -rf "$work/game/gen"
echo "without caches: $(measure) s"
for i in $(seq "$runs"); do
  echo "with caches: $(measure) s"
done
