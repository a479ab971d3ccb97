#!/usr/bin/env bash
# A camera applied with a shipped model at its target: the model is drawn at
# the screen centre, and world -x shows on the right of the screen.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_bg 60 "$VX_TESTS/camera_test.exe"
vx_wait_window "Vexmoor Camera" 30
vx_wait_output "FRAME READY" 20 || true
sleep 1
shot=$(vx_screenshot frame)
centre=$(vx_pixel "$shot" 400 300)
vx_log "screenshot centre pixel: $centre"
vx_close
vx_end 30
grep -q "CAMERA CHECK PASSED" "$VX_OUT/stdout.txt" || vx_fail "camera checks failed"
# The screenshot agrees: the centre is not sky (0 127 204).
read -r r g b <<<"$centre"
if [ "$r" -lt 8 ] && [ "$g" -gt 119 ] && [ "$g" -lt 135 ] && [ "$b" -gt 196 ] && [ "$b" -lt 212 ]; then
  vx_fail "screen centre shows sky in the screenshot"
fi
