#!/usr/bin/env bash
# The first level drawn by the world renderer with the player's camera:
# terrain, soldiers, a vehicle, props, grass and sky (world.png), then the
# same view after the player's soldier fires (fire.png, with the muzzle
# flash). Once through OpenGL, once through Direct3D (d3d_world.png,
# d3d_fire.png) with the same steps: the programs check their own
# read-backs; the two battle frames must agree on what is sky and on the
# median colours of the land and the soldiers. both_programs.png shows them
# side by side, and the log gives both programs' frame rates. Each program
# then draws the land alone from several places, heights and headings and
# finds no sky below it (land.png, d3d_land.png: one of those views).
source "$(dirname "$0")/harness.sh"
vx_start

# run_view EXE PREFIX: the two frames as PREFIXworld.png and PREFIXfire.png.
run_view() {
  vx_run_bg 360 "$VX_TESTS/$1"
  for name in world fire; do
    vx_show "$name" 120 "$2$name"
    sky=$(vx_count_colour "$VX_SHOT" 0 0 800 600 0 127 204 2%)
    vx_log "$2$name: $sky of 480000 pixels are sky"
    [ "$sky" -gt $(( 800 * 600 / 20 )) ] || vx_fail "no sky in the $2$name screenshot"
    [ "$sky" -lt $(( 800 * 600 * 9 / 10 )) ] || vx_fail "no battlefield in the $2$name screenshot"
  done
  # The land alone; the program counted the sky below it in every view.
  vx_show land 120 "$2land"
  vx_end 60
  mv "$VX_OUT/stdout.txt" "$VX_OUT/stdout_$1.txt"
  cp "$VX_OUT/stdout_$1.txt" "$VX_OUT/stdout.txt"
}

run_view world_view_test.exe ""
vx_expect_checks init stats animations level soldier_full no_device_error sky_above ground_below \
                 vehicle_in_view props_in_view fired flash \
                 frame_changed flash_on_screen closed_ground
run_view d3d_world_view_test.exe d3d_
vx_expect_checks init stats animations level no_device_error sky_above ground_below \
                 vehicle_in_view props_in_view fired flash \
                 frame_changed flash_on_screen closed_ground
for exe in world_view_test d3d_world_view_test; do
  vx_log "$exe: $(tr -d "\r" < "$VX_OUT/stdout_$exe.exe.txt" | grep "^LAND")"
done

gl_fps=$(awk '$1 == "FPS" { print $2 }' "$VX_OUT/stdout_world_view_test.exe.txt")
d3d_fps=$(awk '$1 == "FPS" { print $2 }' "$VX_OUT/stdout_d3d_world_view_test.exe.txt")
vx_log "battle frames per second at 800x600: OpenGL $gl_fps, Direct3D $d3d_fps"

# The same view side by side: OpenGL on the left, Direct3D on the right; the
# first frame above, the shot with its muzzle flash below.
convert \( "$VX_OUT/world.png" "$VX_OUT/d3d_world.png" +append \) \
        \( "$VX_OUT/fire.png" "$VX_OUT/d3d_fire.png" +append \) -append "$VX_OUT/both_programs.png"
vx_log "both programs' battle frames side by side (OpenGL left): $VX_OUT/both_programs.png"

# The land's and the soldiers' median colours (masks made by each program
# from its own frames) agree within 15% in every channel.
for part in ground soldiers; do
  read -ra m_gl < <(tr -d "\r" < "$VX_OUT/stdout_world_view_test.exe.txt" | awk -v p=$part '$1 == "MEDIAN" && $2 == p { print $3, $4, $5, $6 }')
  read -ra m_d3d < <(tr -d "\r" < "$VX_OUT/stdout_d3d_world_view_test.exe.txt" | awk -v p=$part '$1 == "MEDIAN" && $2 == p { print $3, $4, $5, $6 }')
  vx_log "$part median colour: OpenGL ${m_gl[*]:0:3} (${m_gl[3]:-0} pixels), Direct3D ${m_d3d[*]:0:3} (${m_d3d[3]:-0} pixels)"
  [ "${#m_gl[@]}" = 4 ] && [ "${#m_d3d[@]}" = 4 ] || vx_fail "a program printed no $part median"
  [ "${m_gl[3]}" -ge 200 ] && [ "${m_d3d[3]}" -ge 200 ] || vx_fail "too few $part pixels to compare"
  for i in 0 1 2; do
    awk -v a="${m_gl[i]}" -v b="${m_d3d[i]}" 'BEGIN { d = a - b; if (d < 0) d = -d; m = a > b ? a : b;
      exit !(d <= 0.15 * m + 1) }' || vx_fail "the $part colours differ by more than 15%"
  done
done

# Sky or not sky, pixel by pixel: the silhouettes of the two frames agree.
for name in world d3d_world; do
  convert "$VX_OUT/$name.png" -fuzz 2% -fill white -opaque "rgb(0,127,204)" -fill black +opaque white \
    "$VX_OUT/${name}_sky.png"
done
differ=$(compare -metric AE "$VX_OUT/world_sky.png" "$VX_OUT/d3d_world_sky.png" null: 2>&1 || true)
vx_log "sky silhouettes differ in ${differ%% *} of 480000 pixels"
[ "${differ%% *}" -le 48000 ] || vx_fail "the two programs' battle frames disagree on the sky"
vx_log "PASS"
