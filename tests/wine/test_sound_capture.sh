#!/usr/bin/env bash
# Music and an effect really reach the sound device: ALSA writes what
# DirectSound played to a file, which must not be silent and whose loudest
# frequencies must be the decoded music's.
source "$(dirname "$0")/harness.sh"
vx_require python3
vx_start
capture="$VX_OUT/capture.raw"
vx_alsa file "$capture"
vx_run_bg 240 "$VX_TESTS/sound_capture_test.exe"
vx_wait_output "SOUND DONE" 150 || true
vx_end 60
vx_expect_checks window init "music load" "effect load" "music play" "effects play"
[ -s "$capture" ] || vx_fail "nothing was captured"

read -r -a reference <<<"$(grep '^REFERENCE' "$VX_OUT/stdout.txt" | cut -d' ' -f2-)"
[ "${#reference[@]}" -ge 3 ] || vx_fail "no reference spectrum"
near() { local d=$(( $1 - $2 )); [ "${d#-}" -le 5 ]; }
matched=""
# The device's mixing rate is the driver's choice: try the usual two.
for rate in 44100 48000; do
  spectrum=$(python3 "$VEXMOOR_SOURCE_DIR/tests/wine/spectrum.py" "$capture" "$rate") ||
    vx_fail "spectrum.py could not measure the capture"
  read -r _ rms _ p1 p2 p3 _ <<<"$spectrum"
  vx_log "rate $rate: rms $rms, capture peaks $p1 $p2 $p3, decoded ${reference[*]:0:3}"
  [ "${rms:-0}" -gt 100 ] || vx_fail "the capture is silent (rms ${rms:-0})"
  ok1=""; ok2=""
  for r in "${reference[@]:0:3}"; do near "$p1" "$r" && ok1=1; done
  for p in "$p1" "$p2" "$p3"; do near "${reference[0]}" "$p" && ok2=1; done
  [ -n "$ok1" ] && [ -n "$ok2" ] && matched=$rate
done
[ -n "$matched" ] || vx_fail "the captured music does not sound like the decoded file"
vx_log "music heard at $matched Hz"
