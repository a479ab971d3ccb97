#!/usr/bin/env bash
# The shipped terrain from a raised camera, textured and lit with grass near
# the camera: once built from its mesh (writing the segment cache), once read
# from that cache. Both runs must give the same picture. Then the Direct3D
# program reads the cache the OpenGL one wrote, and writes a byte-identical
# one; its land is as bright as the OpenGL program's.
source "$(dirname "$0")/harness.sh"
vx_require cmp
vx_start
checks="init programs load ground grass_near frame no_device_error ground_drawn textured grass_drawn"
cache="$VX_GAME/gen/terrain/valley_8x8.tSegs"
# run_terrain EXE RUN: one run of a program, its screenshot as terrain_RUN.png.
run_terrain() {
  local run=$2
  vx_run_bg 300 "$VX_TESTS/$1" "$run"
  vx_show frame 150 "${3:-}terrain_$run"
  vx_end 60
  mv "$VX_OUT/stdout.txt" "$VX_OUT/${3:-}stdout_$run.txt"
  cp "$VX_OUT/${3:-}stdout_$run.txt" "$VX_OUT/stdout.txt"
  vx_expect_checks lit
  if [ "$run" = build ]; then
    vx_expect_checks $checks cache_written
  else
    vx_expect_checks $checks cache_present cache_read
  fi
}
for run in build cache; do run_terrain terrain_draw_test.exe $run; done
built=$(awk '$1 == "FRAME" { print $2 }' "$VX_OUT/stdout_build.txt")
cached=$(awk '$1 == "FRAME" { print $2 }' "$VX_OUT/stdout_cache.txt")
vx_log "frames: built $built, from the cache $cached"
[ -n "$built" ] && [ "$built" = "$cached" ] || vx_fail "the cached terrain draws a different picture"
differ=$(compare -metric AE "$VX_OUT/terrain_build.png" "$VX_OUT/terrain_cache.png" null: 2>&1 || true)
vx_log "screenshots differ in $differ pixels"
[ "${differ%% *}" = 0 ] || vx_fail "the screenshots differ"

[ -f "$cache" ] || vx_fail "no segment cache at $cache"
cp "$cache" "$VX_OUT/gl.tSegs"
run_terrain d3d_terrain_draw_test.exe cache d3d_
cmp -s "$cache" "$VX_OUT/gl.tSegs" || vx_fail "reading the cache changed it"
run_terrain d3d_terrain_draw_test.exe build d3d_
cmp "$cache" "$VX_OUT/gl.tSegs" || vx_fail "the Direct3D program wrote a different segment cache"

# The land is as bright in both programs: mean brightness within 15%.
gl_lit=$(awk '$1 == "LIT" { print $2 }' "$VX_OUT/stdout_build.txt" | tr -d "\r")
d3d_lit=$(awk '$1 == "LIT" { print $2 }' "$VX_OUT/d3d_stdout_build.txt" | tr -d "\r")
vx_log "land brightness: OpenGL $gl_lit, Direct3D $d3d_lit"
awk -v a="$gl_lit" -v b="$d3d_lit" 'BEGIN { d = a - b; if (d < 0) d = -d; m = a > b ? a : b; exit !(m > 0 && d <= 0.15 * m) }' ||
  vx_fail "the land's brightness differs by more than 15% between the programs"
vx_log "PASS"
