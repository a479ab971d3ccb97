#!/usr/bin/env bash
# A burst, a flame and an explosion sphere drawn additively over the shipped
# terrain through the OpenGL back-end: the program compares the frame with and
# without the effects, and the screenshot is kept.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_frame 120 "$VX_TESTS/particles_test.exe" particles
vx_expect_checks init terrain ground view no_gl_error drawn_sphere drawn_flame drawn_burst
vx_log "PASS"
