#!/usr/bin/env bash
# A soldier holding its rifle and a vehicle, made by the battle code and run
# for a few seconds, drawn with their GLSL programs over the terrain. One
# screenshot (battle.png in the output folder).
source "$(dirname "$0")/harness.sh"
next="$VEXMOOR_INSTALL_DIR/battle_view_next.txt"
rm -f "$next"
vx_start
vx_run_bg 150 "$VX_TESTS/battle_view_test.exe"

for i in $(seq 600); do
  grep -q "^SHOW battle" "$VX_OUT/stdout.txt" 2>/dev/null && break
  kill -0 "$VX_PID" 2>/dev/null || break
  sleep 0.1
done
grep -q "^SHOW battle" "$VX_OUT/stdout.txt" || { cat "$VX_OUT/stdout.txt"; vx_fail "the battle frame never showed"; }
sleep 0.5
shot=$(vx_screenshot battle)
touch "$next"
sky=$(vx_count_colour "$shot" 0 0 800 600 0 127 204 2%)
vx_log "battle: $(( 800 * 600 - sky )) of 480000 pixels are not sky"
[ "$sky" -gt $(( 800 * 600 / 20 )) ] || vx_fail "no sky left in the screenshot"

vx_wait_exit 60 || true
rm -f "$next"
cat "$VX_OUT/stdout.txt"
[ "$VX_RC" = 0 ] || vx_fail "battle_view_test exit code $VX_RC"
grep -q "^ALL OK" "$VX_OUT/stdout.txt" || vx_fail "not every check passed"
vx_log "PASS"
