#!/usr/bin/env bash
# The shipped content on the OpenGL device: every GLSL program compiles,
# every named image loads, and the soldier, a weapon and the vehicle are
# drawn under their programs. One screenshot per model (soldier.png,
# weapon.png, vehicle.png in the output folder); the program checks its own
# read-backs and each screenshot must show the model over the sky.
source "$(dirname "$0")/harness.sh"
next="$VX_GAME/content_view_next.txt"
rm -f "$next"
vx_start
vx_run_bg 150 "$VX_TESTS/content_view_test.exe"

for name in soldier weapon vehicle; do
  for i in $(seq 600); do
    grep -q "^SHOW $name" "$VX_OUT/stdout.txt" 2>/dev/null && break
    kill -0 "$VX_PID" 2>/dev/null || break
    sleep 0.1
  done
  grep -q "^SHOW $name" "$VX_OUT/stdout.txt" || { cat "$VX_OUT/stdout.txt"; vx_fail "the $name frame never showed"; }
  sleep 0.5
  shot=$(vx_screenshot "$name")
  touch "$next"
  # The model covers a good part of the screen and leaves sky around it.
  sky=$(vx_count_colour "$shot" 0 0 800 600 0 127 204 2%)
  vx_log "$name: $(( 800 * 600 - sky )) of 480000 pixels are not sky"
  [ "$sky" -lt $(( 800 * 600 * 985 / 1000 )) ] || vx_fail "the $name is missing from its screenshot"
  [ "$sky" -gt $(( 800 * 600 / 4 )) ] || vx_fail "the $name fills its screenshot: no sky left"
done

vx_wait_exit 60 || true
rm -f "$next"
cat "$VX_OUT/stdout.txt"
[ "$VX_RC" = 0 ] || vx_fail "content_view_test exit code $VX_RC"
grep -q "^ALL OK" "$VX_OUT/stdout.txt" || vx_fail "not every check passed"
vx_log "PASS"
