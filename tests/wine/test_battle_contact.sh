#!/usr/bin/env bash
# The battle as a player meets it who gives no order and stands still: the
# program opens on the battle, and within a minute or two the enemy comes
# into view (its soldiers' red markings in the battlefield, or red dots on
# the radar) and the protection bar of the status panel drops.
source "$(dirname "$0")/harness.sh"

# The bar (anchor 20, 570, up to 120 x 10 pixels) shades from grey to cyan:
# its length is the run of cyan pixels on its middle row.
bar_length() {
  convert "$1" -crop 160x1+0+575 +repage \
    -fx "(g > 0.55 && b > 0.55 && abs(g - b) < 0.08 && r < g - 0.15) ? 1 : 0" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
# Saturated red: the enemy's helmet stripe, band and goggles, in the band of
# the view where the battlefield lies (the overlay's panels left out).
enemy_red() {
  convert "$1" -crop 560x200+150+260 +repage -fx "(r > 0.45 && g < 0.25 && b < 0.25) ? 1 : 0" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
# The radar's red dots (224, 42, 32) about its anchor (720, 80).
radar_red() {
  convert "$1" -crop 120x120+660+20 +repage -fx "(r > 0.7 && g < 0.35 && b < 0.3) ? 1 : 0" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

full=0
full_bar() { full=$(bar_length "$1"); [ "$full" -gt 80 ]; }

vx_start
vx_run_bg 400 "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
vx_wait_window "Vexmoor Game" 90
vx_wait_for start "the battle with a full protection bar" 120 full_bar
vx_log "start: protection bar $full pixels, enemy markings $(enemy_red "$VX_SHOT")"

seen=""; hurt=""
start=$SECONDS
while [ $(( SECONDS - start )) -lt 120 ]; do
  shot=$(vx_screenshot now)
  bar=$(bar_length "$shot"); red=$(enemy_red "$shot"); dots=$(radar_red "$shot")
  t=$(( SECONDS - start ))
  if [ -z "$seen" ] && { [ "$red" -ge 6 ] || [ "$dots" -ge 6 ]; }; then
    seen=$t; cp "$shot" "$VX_OUT/enemy_seen.png"
    vx_log "${t}s: the enemy in view ($red marking pixels, $dots radar pixels)"
  fi
  if [ -z "$hurt" ] && [ "$bar" -lt $(( full - 10 )) ]; then
    hurt=$t; cp "$shot" "$VX_OUT/hurt.png"
    vx_log "${t}s: protection bar down to $bar pixels"
  fi
  [ -n "${VX_TRACE:-}" ] && vx_log "${t}s: bar $bar, markings $red, radar $dots"
  [ -n "$seen" ] && [ -n "$hurt" ] && break
  sleep 0.5
done
kill -0 "$VX_PID" 2>/dev/null || vx_fail "the program ended during the battle"
[ -n "$seen" ] || vx_fail "no enemy came into view in 120 s"
[ -n "$hurt" ] || vx_fail "the protection bar never dropped in 120 s"
vx_close
vx_wait_exit 30 || vx_fail "the program did not end after its window was closed"
vx_log "passed"
