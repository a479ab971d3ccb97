#!/usr/bin/env bash
# A soldier holding its rifle and a vehicle, made by the battle code and run
# for a few seconds, drawn with their GLSL programs over the terrain. One
# screenshot (battle.png in the output folder).
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_bg 240 "$VX_TESTS/battle_view_test.exe"
vx_show battle 120
sky=$(vx_count_colour "$VX_SHOT" 0 0 800 600 0 127 204 2%)
vx_log "battle: $(( 800 * 600 - sky )) of 480000 pixels are not sky"
[ "$sky" -gt $(( 800 * 600 / 20 )) ] || vx_fail "no sky left in the screenshot"
vx_end 60
vx_expect_checks
vx_log "PASS"
