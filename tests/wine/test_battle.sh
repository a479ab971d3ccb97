#!/usr/bin/env bash
# A battle played as a player would: the program opens on the battle (sky,
# terrain, soldiers and the overlay), W walks the view forward, the left
# button fires and the round icons change, Escape pauses, the pause menu
# leads to the campaign, whose start choice opens a new battle; then back
# through the campaign to the title and out with exit code 0.
source "$(dirname "$0")/harness.sh"

# The sky is 0, 127, 204.
sky_pixels() { vx_count_colour "$1" "$2" "$3" "$4" "$5" 0 127 204 4%; }
# Menu labels are drawn in 0xdddddd.
label_pixels() { vx_count_colour "$1" "$2" "$3" "$4" "$5" 221 221 221 12%; }
# Pixels that differ between two screenshots inside x y w h.
changed() {
  convert "$1" -crop "$5x$6+$3+$4" +repage "$VX_OUT/crop1.png"
  convert "$2" -crop "$5x$6+$3+$4" +repage "$VX_OUT/crop2.png"
  compare -metric AE -fuzz 3% "$VX_OUT/crop1.png" "$VX_OUT/crop2.png" null: 2>&1 || true
}
hold() { vx_focus; xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.3; }

RESUME="300 180 200 32"
BACK="80 520 161 33"
TITLE_CAMPAIGN="310 260 181 33"

battle_shown() {
  local shot=$1 sky ground
  sky=$(sky_pixels "$shot" 0 40 800 150)
  ground=$(( 800 * 150 - $(sky_pixels "$shot" 0 450 800 150) ))
  vx_log "$(basename "$shot"): sky $sky, not sky below $ground"
  [ "$sky" -gt 5000 ] || vx_fail "no sky in $(basename "$shot")"
  [ "$ground" -gt 50000 ] || vx_fail "no terrain in $(basename "$shot")"
}

vx_start
vx_run_bg 170 "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
vx_wait_window "Vexmoor Game" 60
sleep 8
vx_focus
battle=$(vx_screenshot battle)
battle_shown "$battle"
# The radar (anchor 720, 80) is drawn over the sky.
radar=$(( 100 * 100 - $(sky_pixels "$battle" 670 30 100 100) ))
vx_log "radar: $radar pixels over the sky"
[ "$radar" -gt 2000 ] || vx_fail "no radar"

hold w 2
walked=$(vx_screenshot walked)
moved=$(changed "$battle" "$walked" 0 150 800 300)
vx_log "walking changed $moved pixels"
[ "$moved" -gt 5000 ] || vx_fail "holding W did not move the view"

# The status panel (anchor 20, 570): the round icons above it dim as shots go.
before=$(vx_screenshot before_fire)
xdotool mousedown 1; sleep 1; xdotool mouseup 1; sleep 0.5
fired=$(vx_screenshot fired)
rounds=$(changed "$before" "$fired" 10 380 220 170)
vx_log "firing changed $rounds pixels of the status panel"
[ "$rounds" -gt 30 ] || vx_fail "firing did not change the ammunition shown"

vx_key Escape
sleep 0.5
paused=$(vx_screenshot paused)
resume=$(label_pixels "$paused" $RESUME)
vx_log "pause menu: resume $resume label pixels"
[ "$resume" -gt 30 ] || vx_fail "Escape did not open the pause menu"

vx_mouse_to 400 296; vx_click 1; sleep 1
campaign=$(vx_screenshot campaign)
back=$(label_pixels "$campaign" $BACK)
vx_log "campaign: back $back label pixels"
[ "$back" -gt 20 ] || vx_fail "the pause menu's quit did not open the campaign"

vx_mouse_to 650 536; vx_click 1; sleep 8
again=$(vx_screenshot battle_again)
battle_shown "$again"

vx_key Escape; sleep 0.5
vx_mouse_to 400 296; vx_click 1; sleep 1
vx_mouse_to 160 536; vx_click 1; sleep 0.5    # mission page back to the profile page
vx_mouse_to 160 536; vx_click 1; sleep 0.5    # and back to the title
title=$(vx_screenshot title)
[ "$(label_pixels "$title" $TITLE_CAMPAIGN)" -gt 30 ] || vx_fail "the campaign did not lead back to the title"
vx_mouse_to 400 336; vx_click 1
vx_wait_exit 20 || vx_fail "the program did not end after quit"
[ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC after quit"
vx_log "passed"
