#!/usr/bin/env bash
# Text drawn with the GDI font shows where the string is and nowhere else; a
# key injected through X reaches the DirectInput keyboard, and a typed
# character reaches the typed-key queue.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_bg 90 "$VX_TESTS/text_input_test.exe"
vx_wait_window "Vexmoor Text Test" 30
vx_wait_output "FRAME READY" 20 || true
sleep 1
shot=$(vx_screenshot text)
read -r _ _ l t r b < <(grep "TEXT BOUNDS" "$VX_OUT/stdout.txt" | tr -d "\r") || vx_fail "no text bounds printed"

# Lit (not near-black) pixels: all of them within the text's bounds (2 px margin).
lit() { echo $(( $3 * $4 - $(vx_count_colour "$shot" "$1" "$2" "$3" "$4" 0 0 0 15%) )); }
m=2
inside=$(lit $((l - m)) $((t - m)) $((r - l + 2 * m + 1)) $((b - t + 2 * m + 1)))
total=$(lit 0 0 800 600)
vx_log "screenshot: $inside lit pixels in the text's bounds, $((total - inside)) elsewhere"
[ "$inside" -gt 100 ] || vx_fail "no text pixels where the string is"
[ "$total" -eq "$inside" ] || vx_fail "lit pixels outside the string's bounds"

for i in $(seq 10); do
  grep -q "KEY A PRESSED" "$VX_OUT/stdout.txt" && break
  vx_key a
done
for i in $(seq 10); do
  grep -q "TYPED 113" "$VX_OUT/stdout.txt" && break
  vx_type q
done
vx_close
vx_end 30
grep -q "KEY A PRESSED" "$VX_OUT/stdout.txt" || vx_fail "the key never reached the keyboard"
grep -q "TYPED 113" "$VX_OUT/stdout.txt" || vx_fail "the typed character never reached the queue"
grep -q "TEXT INPUT CHECK PASSED" "$VX_OUT/stdout.txt" || vx_fail "text/input checks failed"
