#!/usr/bin/env bash
# The platform works end to end: window, OpenGL read-back, DirectSound on the
# null ALSA device, and a DirectInput keyboard that sees an injected key.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_bg 60 "$VX_TESTS/smoke_test.exe"
vx_wait_window "Vexmoor Smoke" 30
vx_wait_output "KEYBOARD READY" 10 || true
for i in $(seq 30); do
  kill -0 "$VX_PID" 2>/dev/null || break
  vx_key space
done
vx_end 20
for check in "WINDOW OK" "OPENGL OK" "DIRECTSOUND OK" "DIRECTINPUT OK"; do
  grep -q "$check" "$VX_OUT/stdout.txt" || vx_fail "missing: $check"
done
