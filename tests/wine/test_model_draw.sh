#!/usr/bin/env bash
# A shipped soldier drawn through the OpenGL back-end, once parsed from its
# text and once read from the cache that parse wrote: the program checks its
# own read-backs, and the screenshot must show both models over the sky.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_frame 200 "$VX_TESTS/model_draw_test.exe" models
shot=$VX_SHOT
vx_expect_checks init copy_model load_text cache_written load_cache paths_differ model_size view \
                 no_gl_error drawn_text drawn_cache

# On screen: each model's box holds a good share of non-sky pixels.
for name in text cache; do
  read -r x y w h < <(awk -v n="$name" '$1 == "AREA" && $2 == n { print $3, $4, $5, $6 }' "$VX_OUT/stdout.txt")
  [ -n "${h:-}" ] || vx_fail "no screen box for the $name model"
  sky=$(vx_count_colour "$shot" "$x" "$y" "$w" "$h" 0 127 204 2%)
  model=$(( w * h - sky ))
  vx_log "$name model: $model of $(( w * h )) pixels are not sky"
  [ "$model" -ge $(( w * h / 8 )) ] || vx_fail "the $name model is missing from the screenshot"
done
vx_log "PASS"
