#!/usr/bin/env bash
# The menus in the running program: from the battle it opens on to the title menu, the
# campaign button opens the campaign's profile page, back returns to the
# title, and quit ends the program with exit code 0. The OpenGL program,
# then the Direct3D program (screenshots prefixed "d3d_").
source "$(dirname "$0")/harness.sh"

# Label text is drawn in 0xdddddd over the dark button tint; count those
# pixels in a button's area (x y w h).
label_pixels() { vx_count_colour "$1" "$2" "$3" "$4" "$5" 221 221 221 12%; }
# The profile rows are white.
white_pixels() { vx_count_colour "$1" "$2" "$3" "$4" "$5" 255 255 255 8%; }

# Areas of the shipped layouts (data\menu\): title Campaign and Quit, profile
# page Back and the first profile row.
CAMPAIGN="310 260 181 33"
QUIT="310 320 181 33"
BACK="80 520 161 33"
ROW0="80 144 240 17"

# Parks the cursor where no menu has a button, so its sprite stays out of the areas.
park() { vx_mouse_to 780 580; sleep 0.5; }
# Clicks at a point and waits for the next page to draw.
click_at() { vx_mouse_to "$1" "$2"; vx_click 1; sleep 0.3; park; }

vx_start
# run_menus EXE PREFIX
run_menus() {
  vx_run_bg 120 "$VEXMOOR_INSTALL_DIR/$1"
  vx_wait_window "Vexmoor Game" 60
  vx_battle_to_title
  park

  shot=$(vx_screenshot "$2title")
  campaign=$(label_pixels "$shot" $CAMPAIGN)
  quit=$(label_pixels "$shot" $QUIT)
  back=$(label_pixels "$shot" $BACK)
  vx_log "$1 title: campaign $campaign, quit $quit, back $back label pixels"
  [ "$campaign" -gt 30 ] && [ "$quit" -gt 20 ] || vx_fail "the title menu's labels are not on screen"
  [ "$back" -eq 0 ] || vx_fail "the title shows something where the campaign's back button is"

  click_at 400 276
  shot=$(vx_screenshot "$2profile")
  campaign=$(label_pixels "$shot" $CAMPAIGN)
  back=$(label_pixels "$shot" $BACK)
  row=$(white_pixels "$shot" $ROW0)
  vx_log "profile page: back $back label pixels, first row $row, title area $campaign"
  [ "$back" -gt 20 ] || vx_fail "the campaign button did not open the profile page"
  [ "$row" -gt 20 ] || vx_fail "the profile page shows no profile rows"
  [ "$campaign" -eq 0 ] || vx_fail "the title menu is still drawn on the profile page"

  click_at 160 536
  shot=$(vx_screenshot "$2title_again")
  campaign=$(label_pixels "$shot" $CAMPAIGN)
  back=$(label_pixels "$shot" $BACK)
  vx_log "back at the title: campaign $campaign, back $back label pixels"
  [ "$campaign" -gt 30 ] && [ "$back" -eq 0 ] || vx_fail "back did not return to the title"

  vx_mouse_to 400 336
  vx_click 1
  vx_wait_exit 15 || vx_fail "the program did not end after quit"
  [ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC after quit"
}
run_menus vexmoor_gl.exe ""
run_menus vexmoor_d3d.exe d3d_
vx_log "passed"
