#!/usr/bin/env bash
# A burst, a flame and an explosion sphere drawn additively over the shipped
# terrain, through OpenGL and then through Direct3D: each program compares its
# frame with and without the effects, which must show in their own warm
# colours in both; both screenshots are kept.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_frame 200 "$VX_TESTS/particles_test.exe" particles
vx_expect_checks init terrain ground view no_device_error drawn_sphere drawn_flame drawn_burst \
                 warm_sphere warm_flame warm_burst
vx_run_frame 200 "$VX_TESTS/d3d_particles_test.exe" d3d_particles
vx_expect_checks init terrain ground view no_device_error drawn_sphere drawn_flame drawn_burst \
                 warm_sphere warm_flame warm_burst
vx_log "PASS"
