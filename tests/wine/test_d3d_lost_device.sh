#!/usr/bin/env bash
# The Direct3D game whose device is lost in the battle and never comes back
# (the test build keeps it lost after 60 frames): the program goes on
# without drawing, and closing its window still ends it with exit code 0.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_bg 300 "$VX_TESTS/d3d_lost_game_test.exe"
vx_wait_window "Vexmoor Game" 90
vx_wait_output "^DEVICE LOST" 150 || { cat "$VX_OUT/stdout.txt"; vx_fail "the device was never lost"; }
# About three seconds of frames skipped while the device stays lost.
vx_wait_output "^SKIPPED 30" 120 || { cat "$VX_OUT/stdout.txt"; vx_fail "the frame driver stopped while its device was lost"; }
kill -0 "$VX_PID" 2>/dev/null || { cat "$VX_OUT/stdout.txt"; vx_fail "the program ended while its device was lost"; }
vx_screenshot lost >/dev/null
[ "$(grep -c "^DEVICE LOST" "$VX_OUT/stdout.txt")" = 1 ] || vx_fail "the device-lost list ran more than once"
vx_close
vx_wait_exit 30 || vx_fail "closing the window did not end the program while its device was lost"
cat "$VX_OUT/stdout.txt"
[ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC"
grep -q "^EXIT 0" "$VX_OUT/stdout.txt" || vx_fail "the game did not return 0"
vx_log "PASS"
