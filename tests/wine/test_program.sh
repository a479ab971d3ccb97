#!/usr/bin/env bash
# The running program: its window, frames, the console on F8, a clean exit
# that leaves the settings file, and a second run with no sound device.
source "$(dirname "$0")/harness.sh"

# Each run starts "_error.txt" afresh with its first report.
ERRORS="$VX_GAME/_error.txt"
reports() { cat "$ERRORS" 2>/dev/null || true; }
settings_files() { find "$WINEPREFIX/drive_c/users" "$HOME" -name settings.stuff 2>/dev/null || true; }

# Pixels of the FPS text's corner that differ between two screenshots.
fps_changed() {
  convert "$1" -crop 200x40+0+0 +repage "$VX_OUT/fps1.png"
  convert "$2" -crop 200x40+0+0 +repage "$VX_OUT/fps2.png"
  compare -metric AE "$VX_OUT/fps1.png" "$VX_OUT/fps2.png" null: 2>&1 || true
}

# Regions of the console: the reply lines above the input line, and the input line.
output_pixels() { vx_count_colour "$1" 0 100 770 125 "$2" "$3" "$4" 12%; }
input_pixels() { vx_count_colour "$1" 30 229 500 26 255 255 255 8%; }

vx_start
settings_files | xargs -r rm -f
rm -f "$ERRORS"

vx_run_bg 60 "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
vx_wait_window "Vexmoor Game" 30
geometry=$(xdotool getwindowgeometry "$VX_WID" | grep Geometry | awk '{print $2}')
[ "$geometry" = 800x600 ] || vx_fail "window is $geometry, not 800x600"

# The first frames may be slow on a busy machine: wait for the text to show.
text=0
for i in $(seq 20); do
  sleep 1
  a=$(vx_screenshot frames_a)
  text=$(vx_count_colour "$a" 0 0 200 40 221 221 221 15%)
  [ "$text" -gt 20 ] && break
done
sleep 1
b=$(vx_screenshot frames_b)
[ "$text" -gt 20 ] || vx_fail "no frame-rate text ($text pixels)"
changed=$(fps_changed "$a" "$b")
vx_log "frame-rate text: $text pixels, $changed changed between screenshots"
[ "$changed" -gt 0 ] || vx_fail "the frame-rate text did not change: no frames run"

# F8 opens the console: typed text shows on its input line.
vx_key F8
vx_type "enable wireframe"
c=$(vx_screenshot console_typed)
typed=$(input_pixels "$c")
[ "$typed" -gt 30 ] || vx_fail "F8 did not open the console ($typed pixels of typed text)"

# Enter runs it: the command is echoed in the reply lines.
vx_key Return
d=$(vx_screenshot console_enable)
echoed=$(output_pixels "$d" 76 76 204)
[ "$echoed" -gt 30 ] || vx_fail "enable wireframe was not answered ($echoed pixels of echo)"
vx_type "check wireframe"
vx_key Return
e=$(vx_screenshot console_check)
replied=$(output_pixels "$e" 221 221 221)
[ "$replied" -gt 30 ] || vx_fail "check wireframe got no reply ($replied pixels)"
vx_log "console: typed $typed, echo $echoed, reply $replied pixels"

# F8 closes it: no reply lines, and typing shows nothing.
vx_key F8
vx_type "abc"
f=$(vx_screenshot console_closed)
left=$(output_pixels "$f" 76 76 204)
typed=$(input_pixels "$f")
[ "$left" -eq 0 ] && [ "$typed" -eq 0 ] || vx_fail "F8 did not close the console ($left, $typed pixels)"

vx_close   # finds the window by its class, "VexmoorWindow"
vx_wait_exit 5 || vx_fail "the program did not end within 5 s of closing its window"
[ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC after closing the window"
file=$(settings_files | head -n1)
[ -n "$file" ] || vx_fail "no settings.stuff after a normal end"
[ "$(stat -c %s "$file")" = 8 ] || vx_fail "settings.stuff is not 8 bytes"
# The per-user folder is "Korrins" under the user's Documents folder (which
# this Wine maps to HOME).
case "$file" in
  "$HOME/Korrins/settings.stuff"|*/Documents/Korrins/settings.stuff) ;;
  *) vx_fail "settings.stuff is not in Documents\\Korrins: $file" ;;
esac
vx_log "settings: $file"
if grep -q "SoundManager::Init" <<<"$(reports)"; then
  vx_fail "sound did not start on the null ALSA device: $(reports)"
fi

# No sound device at all: the program reports it and runs silent.
rm -f "$ERRORS"
export WINEDLLOVERRIDES="winealsa.drv=d;winepulse.drv=d;wineoss.drv=d"
vx_run_bg 60 "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
vx_wait_window "Vexmoor Game" 30
sleep 2
a=$(vx_screenshot silent_a)
sleep 1
b=$(vx_screenshot silent_b)
changed=$(fps_changed "$a" "$b")
[ "$changed" -gt 0 ] || vx_fail "no frames without a sound device"
vx_close   # finds the window by its class, "VexmoorWindow"
vx_wait_exit 5 || vx_fail "the silent program did not end within 5 s"
[ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC without a sound device"
grep -q "SoundManager::Init()-Unable to create sound object" <<<"$(reports)" ||
  vx_fail "the missing sound device was not reported"
vx_log "passed"
