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

# The frame-rate text (0xdddddd, top left) over the battle's sky; a change of it.
fps_text() { vx_count_colour "$1" 0 0 200 40 221 221 221 15%; }
battle_with_text() { [ "$(fps_text "$1")" -gt 20 ] && vx_console_closed "$1"; }
fps_moved() { [ "$(fps_changed "$2" "$1")" -gt 0 ]; }

# Regions of the console: the reply lines above the input line, and the input line.
output_pixels() { vx_count_colour "$1" 0 100 770 125 "$2" "$3" "$4" 12%; }
input_pixels() { vx_count_colour "$1" 30 229 500 26 255 255 255 8%; }
output_shown() { [ "$(output_pixels "$@")" -gt 30 ]; }
input_shown() { [ "$(input_pixels "$1")" -gt 30 ]; }

vx_start
settings_files | xargs -r rm -f
rm -f "$ERRORS"

vx_run_bg 300 "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
vx_wait_window "Vexmoor Game" 90
geometry=$(xdotool getwindowgeometry "$VX_WID" | grep Geometry | awk '{print $2}')
[ "$geometry" = 800x600 ] || vx_fail "window is $geometry, not 800x600"

vx_wait_for frames_a "the battle's sky under the frame-rate text" 120 battle_with_text
a=$VX_SHOT
vx_wait_for frames_b "a change of the frame-rate text" 60 fps_moved "$a"
vx_log "frame-rate text: $(fps_text "$a") pixels, $(fps_changed "$a" "$VX_SHOT") changed between screenshots"

# F8 opens the console: typed text shows on its input line.
vx_hold_until F8 console_open "the console after F8" 60 vx_console_open
vx_type "enable wireframe"
vx_wait_for console_typed "the typed text on the console's input line" 60 input_shown
typed=$(input_pixels "$VX_SHOT")

# Enter runs it: the command is echoed in the reply lines.
vx_focus; xdotool key Return
vx_wait_for console_enable "the echo of enable wireframe" 60 output_shown 76 76 204
echoed=$(output_pixels "$VX_SHOT" 76 76 204)
vx_type "check wireframe"
vx_focus; xdotool key Return
vx_wait_for console_check "the reply to check wireframe" 60 output_shown 221 221 221
replied=$(output_pixels "$VX_SHOT" 221 221 221)
vx_log "console: typed $typed, echo $echoed, reply $replied pixels"

# F8 closes it: no reply lines, and typing shows nothing in the frames after.
vx_hold_until F8 console_closed "the console closed after F8" 60 vx_console_closed
cp "$VX_SHOT" "$VX_OUT/before_typing.png"
vx_type "abc"
vx_wait_for typed_closed "a frame after typing" 60 fps_moved "$VX_OUT/before_typing.png"
f=$VX_SHOT
left=$(output_pixels "$f" 76 76 204)
typed=$(input_pixels "$f")
[ "$left" -eq 0 ] && [ "$typed" -eq 0 ] || vx_fail "F8 did not close the console ($left, $typed pixels)"

vx_close   # finds the window by its class, "VexmoorWindow"
vx_wait_exit 30 || vx_fail "the program did not end within 30 s of closing its window"
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
vx_run_bg 300 "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
vx_wait_window "Vexmoor Game" 90
vx_wait_for silent_a "the frame-rate text without a sound device" 120 battle_with_text
vx_wait_for silent_b "frames without a sound device" 60 fps_moved "$VX_SHOT"
vx_close   # finds the window by its class, "VexmoorWindow"
vx_wait_exit 30 || vx_fail "the silent program did not end within 30 s"
[ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC without a sound device"
grep -q "SoundManager::Init()-Unable to create sound object" <<<"$(reports)" ||
  vx_fail "the missing sound device was not reported"
vx_log "passed"
