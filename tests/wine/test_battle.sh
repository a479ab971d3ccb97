#!/usr/bin/env bash
# A battle played as a player would: the program opens on the battle (sky,
# terrain, soldiers and the overlay), W walks the view forward, the left
# button fires and the round icons change, Escape pauses, the pause menu
# leads to the campaign, whose start choice opens a new battle; then back
# through the campaign to the title and out with exit code 0.
source "$(dirname "$0")/harness.sh"

# The sky is 0, 127, 204.
sky_pixels() { vx_count_colour "$1" "$2" "$3" "$4" "$5" 0 127 204 4%; }
# Pixels that differ between two screenshots inside x y w h.
changed() {
  convert "$1" -crop "$5x$6+$3+$4" +repage "$VX_OUT/crop1.png"
  convert "$2" -crop "$5x$6+$3+$4" +repage "$VX_OUT/crop2.png"
  compare -metric AE -fuzz 3% "$VX_OUT/crop1.png" "$VX_OUT/crop2.png" null: 2>&1 || true
}

# The battle on screen: sky above, terrain below, and the radar (anchor
# 720, 80) drawn over the sky.
sky=0; ground=0; radar=0
battle_drawn() {
  sky=$(sky_pixels "$1" 0 40 800 150)
  ground=$(( 800 * 150 - $(sky_pixels "$1" 0 450 800 150) ))
  radar=$(( 100 * 100 - $(sky_pixels "$1" 670 30 100 100) ))
  [ "$sky" -gt 5000 ] && [ "$ground" -gt 50000 ] && [ "$radar" -gt 2000 ]
}
battle_shown() {
  vx_wait_for "$1" "$2 (sky, terrain and radar)" 120 battle_drawn
  vx_log "$1: sky $sky, not sky below $ground, radar $radar pixels over the sky"
}
# The view (moved) or the status panel's round icons (fired) differ from a screenshot.
moved() { [ "$(changed "$2" "$1" 0 150 800 300)" -gt 5000 ]; }
fired() { [ "$(changed "$2" "$1" 10 380 220 170)" -gt 30 ]; }

vx_start
vx_run_bg 400 "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
vx_wait_window "Vexmoor Game" 90
battle_shown battle "the battle"
battle=$VX_SHOT

vx_hold_until w walked "a view moved by holding W" 60 moved "$battle"
vx_log "walking changed $(changed "$battle" "$VX_SHOT" 0 150 800 300) pixels"

# The status panel (anchor 20, 570): the round icons above it dim as shots go.
before=$(vx_screenshot before_fire)
vx_hold_until button1 fired "a change of the ammunition shown after firing" 60 fired "$before"
vx_log "firing changed $(changed "$before" "$VX_SHOT" 10 380 220 170) pixels of the status panel"

vx_hold_until Escape paused "the pause menu after Escape" 60 vx_pause_on
vx_log "pause menu: resume $(vx_label_pixels "$VX_SHOT" $VX_RESUME) label pixels"

vx_click_until 400 296 campaign "the campaign after the pause menu's quit" 60 vx_campaign_on
vx_log "campaign: back $(vx_label_pixels "$VX_SHOT" $VX_BACK) label pixels"

vx_click_until 650 536 battle_again "a new battle after the campaign's start" 120 vx_battle_on
battle_shown battle_again "the new battle"

vx_hold_until Escape paused_again "the pause menu after Escape" 60 vx_pause_on
vx_pause_to_title
vx_quit_from_title
vx_log "passed"
