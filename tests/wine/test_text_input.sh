#!/usr/bin/env bash
# Text drawn with the GDI font shows where the string is and nowhere else; a
# key injected through X reaches the DirectInput keyboard, and a typed
# character reaches the typed-key queue.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_bg 200 "$VX_TESTS/text_input_test.exe"
vx_wait_window "Vexmoor Text Test" 90
vx_wait_output "FRAME READY" 90 || { cat "$VX_OUT/stdout.txt"; vx_fail "the text frame was never drawn"; }
read -r _ _ l t r b < <(grep "TEXT BOUNDS" "$VX_OUT/stdout.txt" | tr -d "\r") || vx_fail "no text bounds printed"

# Lit (not near-black) pixels: all of them within the text's bounds (2 px margin).
lit() { echo $(( $3 * $4 - $(vx_count_colour "$shot" "$1" "$2" "$3" "$4" 0 0 0 15%) )); }
m=2
text_on() { shot=$1; [ "$(lit $((l - m)) $((t - m)) $((r - l + 2 * m + 1)) $((b - t + 2 * m + 1)))" -gt 100 ]; }
vx_wait_for text "the text on screen" 60 text_on
inside=$(lit $((l - m)) $((t - m)) $((r - l + 2 * m + 1)) $((b - t + 2 * m + 1)))
total=$(lit 0 0 800 600)
vx_log "screenshot: $inside lit pixels in the text's bounds, $((total - inside)) elsewhere"
[ "$inside" -gt 100 ] || vx_fail "no text pixels where the string is"
[ "$total" -eq "$inside" ] || vx_fail "lit pixels outside the string's bounds"

printed() { grep -q "$2" "$VX_OUT/stdout.txt"; }
vx_hold_until a key "the key reaching the keyboard" 60 printed "KEY A PRESSED"
for i in $(seq 6); do
  vx_type q
  vx_wait_output "TYPED 113" 10 && break
done
vx_close
vx_end 30
grep -q "KEY A PRESSED" "$VX_OUT/stdout.txt" || vx_fail "the key never reached the keyboard"
grep -q "TYPED 113" "$VX_OUT/stdout.txt" || vx_fail "the typed character never reached the queue"
grep -q "TEXT INPUT CHECK PASSED" "$VX_OUT/stdout.txt" || vx_fail "text/input checks failed"
