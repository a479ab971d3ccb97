#!/usr/bin/env bash
# The same text at every size from 8 to 32 in both programs: each program
# checks that nothing is lit above its glyphs' own cells (no sampling from
# the atlas row above), and the two screenshots may differ in no more than a
# handful of pixels. text_gl.png, text_d3d.png and text_both.png (side by
# side) are left in the output folder.
source "$(dirname "$0")/harness.sh"
vx_start
checks="init frame every_size_drawn nothing_above_the_cells"
vx_run_frame 200 "$VX_TESTS/text_sizes_test.exe" text_gl
mv "$VX_OUT/stdout.txt" "$VX_OUT/stdout_gl.txt"; cp "$VX_OUT/stdout_gl.txt" "$VX_OUT/stdout.txt"
vx_expect_checks $checks
vx_run_frame 200 "$VX_TESTS/d3d_text_sizes_test.exe" text_d3d
mv "$VX_OUT/stdout.txt" "$VX_OUT/stdout_d3d.txt"; cp "$VX_OUT/stdout_d3d.txt" "$VX_OUT/stdout.txt"
vx_expect_checks $checks

convert "$VX_OUT/text_gl.png" "$VX_OUT/text_d3d.png" +append "$VX_OUT/text_both.png"
vx_log "text of both programs side by side: $VX_OUT/text_both.png"
differ=$(compare -metric AE -fuzz 10% "$VX_OUT/text_gl.png" "$VX_OUT/text_d3d.png" "$VX_OUT/text_diff.png" 2>&1 || true)
vx_log "the two programs' text differs in ${differ%% *} pixels"
[ "${differ%% *}" -le 8 ] || vx_fail "the programs draw the text differently (${differ%% *} pixels, see text_diff.png)"
vx_log "PASS"
