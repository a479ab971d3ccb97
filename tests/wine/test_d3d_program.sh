#!/usr/bin/env bash
# The Direct3D program starts, draws the title menu as the OpenGL program
# does and ends cleanly when its window is closed.
source "$(dirname "$0")/harness.sh"
vx_start

# run_title EXE NAME: the program's title screen as NAME.png, then a clean close.
run_title() {
  vx_run_bg 300 "$VEXMOOR_INSTALL_DIR/$1"
  vx_wait_window "Vexmoor Game" 90
  vx_battle_to_title
  vx_screenshot "$2" >/dev/null
  vx_close
  vx_wait_exit 30 || vx_fail "$1 did not end after its window was closed"
  [ "$VX_RC" = 0 ] || vx_fail "$1 exited with $VX_RC"
}
run_title vexmoor_gl.exe gl
run_title vexmoor_d3d.exe d3d

# The menu's buttons and their text (the frame-rate corner differs by nature).
for name in gl d3d; do convert "$VX_OUT/$name.png" -crop 300x140+250+240 +repage "$VX_OUT/${name}_menu.png"; done
lit=$(convert "$VX_OUT/d3d_menu.png" -fuzz 5% -fill white -opaque black -fill black +opaque white \
      -negate -format '%[fx:int(mean*w*h+0.5)]' info:)
differ=$(compare -metric AE -fuzz 12% "$VX_OUT/gl_menu.png" "$VX_OUT/d3d_menu.png" null: 2>&1 || true)
vx_log "menu: $lit drawn pixels in the Direct3D frame, $differ differ from the OpenGL frame"
[ "$lit" -ge 5000 ] || vx_fail "the Direct3D program drew no menu"
[ "$differ" -le 420 ] || vx_fail "the menus differ in $differ of 42000 pixels"
vx_log "PASS"
