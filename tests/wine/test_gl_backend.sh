#!/usr/bin/env bash
# The OpenGL back-end on a real window: the test program checks its own
# read-backs (sky clear, GDI+ sprite, GLSL program, vertex and index
# buffers, the enum tables, extension list and vertex layout walk, failure
# paths); the screenshot confirms the frame reached the screen.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_frame 200 "$VX_TESTS/gl_backend_test.exe" frame
shot=$VX_SHOT
vx_expect_checks clear_sky gdiplus_decode sprite_load constant_queries sprite_top sprite_bottom sprite_colour_key shader_load \
                 shader_draw buffers_create vertex_lock index_lock buffers_draw missing_image undecodable_image \
                 refused_image_size failing_shader compare_table blend_table stencil_ops extension_list \
                 vertex_layout_walk shutdown

# The presented frame as X shows it.
sky=$(vx_pixel "$shot" 300 500)
[ "$sky" = "0 127 204" ] || vx_fail "sky on screen is $sky"
read -r r g b <<<"$(vx_pixel "$shot" 550 450)"
[ "$r" -le 2 ] && [ "$g" -ge 253 ] && [ "$b" -ge 253 ] || vx_fail "buffer quad on screen is $r $g $b"
magenta=$(vx_count_colour "$shot" 168 118 64 32 255 0 255 3%)
[ "$magenta" -ge 1200 ] || vx_fail "only $magenta magenta sprite pixels on screen"
vx_log "PASS"
