#!/usr/bin/env bash
# The menus in the running program: from the battle it opens on to the title menu, the
# campaign button opens the campaign's profile page, back returns to the
# title, and quit ends the program with exit code 0. The OpenGL program,
# then the Direct3D program (screenshots prefixed "d3d_").
source "$(dirname "$0")/harness.sh"

# The profile rows are white.
white_pixels() { vx_count_colour "$1" "$2" "$3" "$4" "$5" 255 255 255 8%; }
# The title with nothing left of the campaign page.
title_only() { vx_title_on "$1" && [ "$(vx_label_pixels "$1" $VX_BACK)" -eq 0 ]; }

vx_start
# run_menus EXE PREFIX
run_menus() {
  vx_run_bg 400 "$VEXMOOR_INSTALL_DIR/$1"
  vx_wait_window "Vexmoor Game" 90
  vx_battle_to_title

  shot=$(vx_screenshot "$2title")
  campaign=$(vx_label_pixels "$shot" $VX_CAMPAIGN)
  quit=$(vx_label_pixels "$shot" $VX_QUIT)
  back=$(vx_label_pixels "$shot" $VX_BACK)
  vx_log "$1 title: campaign $campaign, quit $quit, back $back label pixels"
  [ "$campaign" -gt 30 ] && [ "$quit" -gt 20 ] || vx_fail "the title menu's labels are not on screen"
  [ "$back" -eq 0 ] || vx_fail "the title shows something where the campaign's back button is"

  vx_click_until 400 276 "$2profile" "the campaign's profile page" 60 vx_campaign_on
  vx_park
  shot=$(vx_screenshot "$2profile")
  campaign=$(vx_label_pixels "$shot" $VX_CAMPAIGN)
  back=$(vx_label_pixels "$shot" $VX_BACK)
  row=$(white_pixels "$shot" $VX_ROW0)
  vx_log "profile page: back $back label pixels, first row $row, title area $campaign"
  [ "$back" -gt 20 ] || vx_fail "the campaign button did not open the profile page"
  [ "$row" -gt 20 ] || vx_fail "the profile page shows no profile rows"
  [ "$campaign" -eq 0 ] || vx_fail "the title menu is still drawn on the profile page"

  vx_click_until 160 536 "$2title_again" "the title" 60 vx_title_on
  vx_park
  shot=$(vx_screenshot "$2title_again")
  title_only "$shot" || vx_fail "back did not return to the title"

  vx_quit_from_title
}
run_menus vexmoor_gl.exe ""
run_menus vexmoor_d3d.exe d3d_
vx_log "passed"
