#!/usr/bin/env bash
# The soldier drawn by both programs, from its text and from its cache: the
# Direct3D program must put the models where the OpenGL one does, at the
# same size. The silhouettes (every pixel that is not sky) must overlap by at
# least 90% of the larger one.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_frame 200 "$VX_TESTS/model_draw_test.exe" gl
gl=$VX_SHOT
vx_expect_checks init copy_model load_text cache_written load_cache paths_differ model_size view drawn_text drawn_cache
vx_run_frame 200 "$VX_TESTS/d3d_model_draw_test.exe" d3d
d3d=$VX_SHOT
vx_expect_checks init copy_model load_text cache_written load_cache paths_differ model_size view drawn_text drawn_cache

silhouette() { convert "$1" -fuzz 2% -fill black -opaque "rgb(0,127,204)" -fill white +opaque black "$2"; }
white() { convert "$1" -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:; }
silhouette "$gl" "$VX_OUT/gl_mask.png"
silhouette "$d3d" "$VX_OUT/d3d_mask.png"
convert "$VX_OUT/gl_mask.png" "$VX_OUT/d3d_mask.png" -compose multiply -composite "$VX_OUT/both_mask.png"
a=$(white "$VX_OUT/gl_mask.png"); b=$(white "$VX_OUT/d3d_mask.png"); both=$(white "$VX_OUT/both_mask.png")
larger=$(( a > b ? a : b ))
vx_log "silhouettes: OpenGL $a, Direct3D $b, both $both pixels"
[ "$a" -ge 2000 ] || vx_fail "the OpenGL frame shows no models"
[ $(( both * 10 )) -ge $(( larger * 9 )) ] || vx_fail "the silhouettes overlap by only $both of $larger pixels"
vx_log "PASS"
