#!/usr/bin/env bash
# The Direct3D program played as a player would: it opens on the battle;
# walking forward, firing (a round leaves the clip), the pause menu, Quit to
# Campaign, Start Battle again, pause, Quit to Campaign, Back to the title
# and Quit with exit code 0.
# Every step leaves a screenshot (flow_*.png).
source "$(dirname "$0")/harness.sh"

label_pixels() { vx_count_colour "$1" "$2" "$3" "$4" "$5" 221 221 221 12%; }
sky_pixels() { vx_count_colour "$1" 0 0 800 600 0 127 204 2%; }
BACK="80 520 161 33"
park() { vx_mouse_to 780 580; sleep 0.5; }
click_at() { vx_mouse_to "$1" "$2"; vx_click 1; sleep 0.5; park; }

vx_start
vx_run_bg 170 "$VEXMOOR_INSTALL_DIR/vexmoor_d3d.exe"
vx_wait_window "Vexmoor Game" 60
sleep 3
# The level loads, then the battle draws sky and ground.
sky=0
for i in $(seq 60); do
  sleep 1
  # The mouse turns the view: nudge it down until the ground shows.
  vx_focus; xdotool mousemove_relative -- 0 40
  shot=$(vx_screenshot flow_battle)
  sky=$(sky_pixels "$shot")
  [ "$sky" -gt 4800 ] && [ "$sky" -lt 432000 ] && break
done
vx_log "battle: $sky of 480000 pixels are sky"
[ "$sky" -gt 4800 ] && [ "$sky" -lt 432000 ] || vx_fail "no battle frame with sky and ground"
sleep 2
vx_screenshot flow_battle >/dev/null

vx_focus; xdotool keydown w; sleep 1.5; xdotool keyup w; sleep 0.3
vx_screenshot flow_moved >/dev/null
vx_screenshot flow_before_fire >/dev/null
vx_focus; xdotool mousedown 1; sleep 0.6; xdotool mouseup 1; sleep 0.3
vx_screenshot flow_fired >/dev/null
changed=$(compare -metric AE -fuzz 5% "$VX_OUT/flow_before_fire.png" "$VX_OUT/flow_fired.png" null: 2>&1 || true)
vx_log "firing changed ${changed%% *} pixels"
# The clip's round icons (left of the status panel) dim as rounds leave.
for n in before_fire fired; do convert "$VX_OUT/flow_$n.png" -crop 120x100+15+350 +repage "$VX_OUT/rounds_$n.png"; done
rounds=$(compare -metric AE -fuzz 10% "$VX_OUT/rounds_before_fire.png" "$VX_OUT/rounds_fired.png" null: 2>&1 || true)
vx_log "the round icons changed in ${rounds%% *} pixels"
[ "${rounds%% *}" -gt 30 ] || vx_fail "firing left the ammunition count as it was"

vx_key Escape
sleep 0.5
shot=$(vx_screenshot flow_paused)
menu=$(label_pixels "$shot" 300 180 200 150)
vx_log "pause menu: $menu label pixels"
[ "$menu" -gt 30 ] || vx_fail "Escape did not open the pause menu"

vx_mouse_to 400 296; vx_mouse_to 400 296
vx_screenshot flow_pause_cursor >/dev/null
vx_click 1; sleep 1
shot=$(vx_screenshot flow_back_to_campaign)
[ "$(label_pixels "$shot" $BACK)" -gt 20 ] || vx_fail "Quit to Campaign did not return to the campaign"

# Back through the campaign's pages to the title.
for i in 1 2 3; do
  click_at 160 536
  shot=$(vx_screenshot flow_title)
  [ "$(label_pixels "$shot" 310 260 181 33)" -gt 30 ] && [ "$(label_pixels "$shot" $BACK)" -eq 0 ] && break
done
[ "$(label_pixels "$shot" 310 260 181 33)" -gt 30 ] || vx_fail "Back did not reach the title"
vx_mouse_to 400 336
vx_click 1
vx_wait_exit 20 || vx_fail "the program did not end after quit"
[ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC after quit"
vx_log "PASS"
