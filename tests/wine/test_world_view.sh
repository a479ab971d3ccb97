#!/usr/bin/env bash
# The first level drawn by the world renderer through the OpenGL device with
# the player's camera: terrain, soldiers, a vehicle, props, grass and sky
# (world.png), then the same view after the player's soldier fires (fire.png,
# with the muzzle flash). The program checks its own read-backs; the
# screenshots must show sky and ground and differ once the shot is fired.
source "$(dirname "$0")/harness.sh"
next="$VEXMOOR_INSTALL_DIR/world_view_next.txt"
rm -f "$next"
vx_start
vx_run_bg 170 "$VX_TESTS/world_view_test.exe"

for name in world fire; do
  vx_wait_output "^SHOW $name" 120 || { cat "$VX_OUT/stdout.txt"; vx_fail "the $name frame never showed"; }
  sleep 0.5
  shot=$(vx_screenshot "$name")
  touch "$next"
  sky=$(vx_count_colour "$shot" 0 0 800 600 0 127 204 2%)
  vx_log "$name: $sky of 480000 pixels are sky"
  [ "$sky" -gt $(( 800 * 600 / 20 )) ] || vx_fail "no sky in the $name screenshot"
  [ "$sky" -lt $(( 800 * 600 * 9 / 10 )) ] || vx_fail "no battlefield in the $name screenshot"
  sleep 0.3
done

vx_end 60
vx_expect_checks init stats animations level soldier_full no_gl_error sky_above ground_below \
                 vehicle_in_view props_in_view fired flash \
                 frame_changed flash_on_screen
rm -f "$next"
vx_log "PASS"
