#!/usr/bin/env bash
# A stats set the battle cannot run on (too few weapon rows) is shown in a
# message box at start-up, and the program ends with exit code 1.
source "$(dirname "$0")/harness.sh"
vx_start

# The test's game folder gets a data\ whose weapon table has only three rows.
rm "$VX_GAME/data"
mkdir -p "$VX_GAME/data/stats"
for entry in "$VEXMOOR_INSTALL_DIR"/data/*; do
  [ "$(basename "$entry")" = stats ] || ln -s "$entry" "$VX_GAME/data/"
done
cp "$VEXMOOR_INSTALL_DIR"/data/stats/*.txt "$VX_GAME/data/stats/"
head -n 5 "$VEXMOOR_INSTALL_DIR/data/stats/weapons.txt" > "$VX_GAME/data/stats/weapons.txt"

vx_run_bg 300 "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
vx_wait_window "error" 90
vx_screenshot message >/dev/null
# Return until the box is gone: a key that came before the box had the focus is lost.
for i in $(seq 9); do
  vx_focus
  xdotool key --window "$VX_WID" Return
  vx_wait_exit 10 && break
done
[ -z "$VX_PID" ] || vx_fail "the program did not end after the message"
[ "$VX_RC" = 1 ] || vx_fail "exit code $VX_RC, expected 1"
grep -q "stats" "$VX_GAME/_error.txt" || vx_fail "_error.txt names no stats problem"
