#!/usr/bin/env bash
# The Direct3D program played as a player would: it opens on the battle;
# walking forward, firing (a round leaves the clip), the pause menu, Quit to
# Campaign, Back to the title and Quit with exit code 0.
# Every step leaves a screenshot (flow_*.png).
source "$(dirname "$0")/harness.sh"

# Pixels that differ between two screenshots (inside x y w h, when given).
changed() {
  if [ $# -gt 3 ]; then
    convert "$1" -crop "$5x$6+$3+$4" +repage "$VX_OUT/crop1.png"
    convert "$2" -crop "$5x$6+$3+$4" +repage "$VX_OUT/crop2.png"
    set -- "$VX_OUT/crop1.png" "$VX_OUT/crop2.png"
  fi
  local n; n=$(compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1 || true)
  echo "${n%% *}"
}
level_view() { local sky; sky=$(vx_sky_pixels "$1"); [ "$sky" -gt 4800 ] && [ "$sky" -lt 432000 ]; }
differs() { [ "$(changed "$1" "$2")" -gt 0 ]; }
moved() { [ "$(changed "$1" "$2")" -gt 5000 ]; }
# The clip's round icons (left of the status panel) dim as rounds leave.
fired() { [ "$(changed "$1" "$2" 15 350 120 100)" -gt 30 ]; }

vx_start
vx_run_bg 400 "$VEXMOOR_INSTALL_DIR/vexmoor_d3d.exe"
vx_wait_window "Vexmoor Game" 90
vx_wait_for flow_battle "the battle's first frame" 120 vx_battle_on
# The mouse turns the view: nudge it down until the ground shows, a frame
# drawn after each nudge.
for i in $(seq 30); do
  level_view "$VX_SHOT" && break
  cp "$VX_SHOT" "$VX_OUT/flow_nudged.png"
  vx_focus; xdotool mousemove_relative -- 0 40
  vx_seen flow_battle 10 differs "$VX_OUT/flow_nudged.png" || true
done
vx_log "battle: $(vx_sky_pixels "$VX_SHOT") of 480000 pixels are sky"
level_view "$VX_SHOT" || vx_fail "no battle frame with sky and ground"
battle=$VX_SHOT

vx_hold_until w flow_moved "a view moved by holding W" 60 moved "$battle"
before=$(vx_screenshot flow_before_fire)
vx_hold_until button1 flow_fired "a round leaving the clip" 60 fired "$before"
vx_log "firing changed $(changed "$before" "$VX_SHOT") pixels, the round icons $(changed "$before" "$VX_SHOT" 15 350 120 100)"

vx_hold_until Escape flow_paused "the pause menu after Escape" 60 vx_pause_on
vx_log "pause menu: $(vx_label_pixels "$VX_SHOT" 300 180 200 150) label pixels"
vx_pause_to_title
vx_screenshot flow_title >/dev/null
vx_quit_from_title
vx_log "PASS"
