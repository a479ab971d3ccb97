#!/usr/bin/env bash
# The shipped content on the OpenGL device: every GLSL program compiles,
# every named image loads, and the soldier, a weapon and the vehicle are
# drawn under their programs, each centred by a camera looking at it. One
# screenshot per model (soldier.png, weapon.png, vehicle.png in the output
# folder); the program checks its own read-backs and each screenshot must
# show the model over the sky.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_bg 400 "$VX_TESTS/content_view_test.exe"

for name in soldier weapon vehicle; do
  vx_show "$name" 120
  # The model covers a good part of the screen and leaves sky around it.
  sky=$(vx_count_colour "$VX_SHOT" 0 0 800 600 0 127 204 2%)
  vx_log "$name: $(( 800 * 600 - sky )) of 480000 pixels are not sky"
  [ "$sky" -lt $(( 800 * 600 * 985 / 1000 )) ] || vx_fail "the $name is missing from its screenshot"
  [ "$sky" -gt $(( 800 * 600 / 4 )) ] || vx_fail "the $name fills its screenshot: no sky left"
done
# The screen's centre shows the vehicle, not sky (0 127 204).
read -r r g b <<<"$(vx_pixel "$VX_SHOT" 400 300)"
vx_log "vehicle screenshot centre pixel: $r $g $b"
if [ "$r" -lt 8 ] && [ "$g" -gt 119 ] && [ "$g" -lt 135 ] && [ "$b" -gt 196 ] && [ "$b" -lt 212 ]; then
  vx_fail "screen centre shows sky in the screenshot"
fi

vx_end 60
vx_expect_checks
vx_log "PASS"
