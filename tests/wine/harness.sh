#!/usr/bin/env bash
# Wine test harness, sourced by tests/wine/test_*.sh.
# Each test gets a private Xvfb display (800x600x24); all tests of one CTest
# run share one Wine prefix and HOME under the build folder, made once by
# make_prefix.sh. Programs run in a game folder of the test's own that sees
# only the installation folder's data\ (VX_GAME), so what a run writes
# (_error.txt, gen\) never lands where a player looks. Everything a test
# starts is stopped on exit, even on failure.
set -euo pipefail

: "${VEXMOOR_WINE_DIR:?run through ctest}"
: "${VEXMOOR_WIN_DIR:?run through ctest}"
: "${VEXMOOR_INSTALL_DIR:?run through ctest}"

export WINEPREFIX="$VEXMOOR_WINE_DIR/prefix"
export HOME="$VEXMOOR_WINE_DIR/home"
export WINEDEBUG=-all
export ALSA_CONFIG_PATH="$VEXMOOR_WINE_DIR/alsa.conf"
unset DISPLAY WAYLAND_DISPLAY

VX_TEST=$(basename "${BASH_SOURCE[1]:-$0}" .sh)
VX_OUT="$VEXMOOR_WINE_DIR/out/$VX_TEST"   # screenshots and program output
VX_TESTS="$VEXMOOR_WIN_DIR/tests"          # Windows test programs
VX_XVFB_PID=""
VX_PID=""
VX_RC=""
rm -rf "$VX_OUT"; mkdir -p "$VX_OUT"
VX_GAME="$VX_OUT/game"                     # the working folder of every run
mkdir -p "$VX_GAME"; ln -s "$VEXMOOR_INSTALL_DIR/data" "$VX_GAME/data"

vx_log() { echo "[$VX_TEST] $*" >&2; }
vx_fail() { vx_log "FAIL: $*"; exit 1; }

source "$(dirname "${BASH_SOURCE[0]}")/require.sh"
vx_require wine wineserver Xvfb xdpyinfo xdotool import convert compare timeout awk

# ALSA for DirectSound: "null" discards sound, "file PATH" captures the raw
# stereo stream (32-bit float at 48000 Hz from Wine 8's mixer).
vx_alsa() {
  if [ "${1:-null}" = file ]; then
    cat > "$ALSA_CONFIG_PATH" <<CONF
pcm.!default { type file slave.pcm { type null } file "$2" format "raw" }
CONF
  else
    echo 'pcm.!default { type null }' > "$ALSA_CONFIG_PATH"
  fi
}

vx_cleanup() {
  local rc=$?
  if [ -n "$VX_PID" ]; then kill -- "$VX_PID" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  if [ -n "$VX_XVFB_PID" ]; then kill "$VX_XVFB_PID" 2>/dev/null || true; wait "$VX_XVFB_PID" 2>/dev/null || true; fi
  exit "$rc"
}

# Starts a private X display and sets DISPLAY.
vx_start() {
  trap vx_cleanup EXIT
  vx_alsa null
  local n
  for n in $(seq 90 189); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >"$VX_OUT/xvfb.log" 2>&1 &
    VX_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$VX_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  vx_fail "no X display could be started"
}

# vx_run_bg SECONDS EXE [ARGS...]: starts a Windows program in the test's game
# folder (its working folder) under a hard timeout.
vx_run_bg() {
  local secs=$1; shift
  ( cd "$VX_GAME" && exec timeout -k 5 "$secs" wine "$@" ) >"$VX_OUT/stdout.txt" 2>"$VX_OUT/stderr.txt" &
  VX_PID=$!
}

# vx_run SECONDS EXE [ARGS...]: runs to the end; the exit code is in VX_RC.
vx_run() { vx_run_bg "$@"; vx_wait_exit "$1"; }

# vx_wait_exit SECONDS: waits for the program started last; exit code in VX_RC.
vx_wait_exit() {
  local i
  for i in $(seq $(( $1 * 10 ))); do
    kill -0 "$VX_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$VX_PID" 2>/dev/null; then VX_RC=timeout; return 1; fi
  set +e; wait "$VX_PID"; VX_RC=$?; set -e
  VX_PID=""
}

# vx_wait_output TEXT SECONDS: waits until the program started last has printed
# TEXT; false when it ended or the time ran out first.
vx_wait_output() {
  local i
  for i in $(seq $(( $2 * 10 ))); do
    grep -q "$1" "$VX_OUT/stdout.txt" 2>/dev/null && return 0
    [ -n "$VX_PID" ] && ! kill -0 "$VX_PID" 2>/dev/null && break
    sleep 0.1
  done
  grep -q "$1" "$VX_OUT/stdout.txt" 2>/dev/null
}

# vx_end SECONDS: waits for the program to end, shows its output, and fails
# unless it exited with 0.
vx_end() {
  vx_wait_exit "$1" || true
  cat "$VX_OUT/stdout.txt"
  [ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC"
}

# vx_run_frame SECONDS EXE SHOT: runs a test program that shows one frame
# ("SHOW frame") and then ends by itself. The frame is saved as SHOT (its path
# in VX_SHOT); fails unless it showed and the program exited with 0.
vx_run_frame() {
  vx_run_bg "$1" "$2"
  vx_show frame 60 "$3"
  vx_end 30
}

# vx_show NAME SECONDS [SHOT]: waits until the program started last shows its
# frame NAME ("SHOW NAME", from ShowUntilSignalled), saves it as SHOT.png
# (NAME.png when not given; its path in VX_SHOT) and tells the program to go
# on ("next_frame.txt" in the game folder).
vx_show() {
  vx_wait_output "^SHOW $1" "$2" || { cat "$VX_OUT/stdout.txt"; vx_fail "the $1 frame never showed"; }
  sleep 0.5
  VX_SHOT=$(vx_screenshot "${3:-$1}")
  touch "$VX_GAME/next_frame.txt"
}

# vx_expect_checks NAME...: the program printed "CHECK NAME OK" for each, and "ALL OK".
vx_expect_checks() {
  local check
  for check in "$@"; do
    grep -q "^CHECK $check OK" "$VX_OUT/stdout.txt" || vx_fail "check $check did not pass"
  done
  grep -q "^ALL OK" "$VX_OUT/stdout.txt" || vx_fail "not every check passed"
}

# vx_wait_window TITLE SECONDS: waits for a visible window with that exact title;
# its X id is in VX_WID.
vx_wait_window() {
  local i
  for i in $(seq $(( $2 * 10 ))); do
    VX_WID=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$VX_WID" ] && return 0
    [ -n "$VX_PID" ] && ! kill -0 "$VX_PID" 2>/dev/null && break
    sleep 0.1
  done
  vx_fail "no window titled '$1'"
}

vx_focus() { xdotool windowfocus --sync "$VX_WID" 2>/dev/null || xdotool windowfocus "$VX_WID" || true; }

# vx_key KEY: a press DirectInput's polling can see (held for several frames).
vx_key() { vx_focus; xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; sleep 0.1; }

# vx_type TEXT: typed characters (they reach the game as character messages).
vx_type() { vx_focus; xdotool type --delay 120 "$1"; sleep 0.2; }

# The game's cursor follows relative mouse motion from (0,0): home it with
# large negative moves, then step to the target in moves of at most 150 px.
vx_mouse_home() { local i; for i in 1 2 3 4; do xdotool mousemove_relative -- -400 -400; sleep 0.05; done; }
vx_mouse_to() {
  local x=$1 y=$2 dx dy
  vx_focus; vx_mouse_home
  while [ "$x" -gt 0 ] || [ "$y" -gt 0 ]; do
    dx=$(( x > 150 ? 150 : x )); dy=$(( y > 150 ? 150 : y ))
    xdotool mousemove_relative -- "$dx" "$dy"; sleep 0.05
    x=$(( x - dx )); y=$(( y - dy ))
  done
  sleep 0.2
}
# vx_click [BUTTON]: 1 left, 3 right.
vx_click() { xdotool mousedown "${1:-1}"; sleep 0.2; xdotool mouseup "${1:-1}"; sleep 0.2; }

# vx_screenshot NAME: saves $VX_OUT/NAME.png and prints its path.
vx_screenshot() { import -display "$DISPLAY" -window root "$VX_OUT/$1.png"; echo "$VX_OUT/$1.png"; }

# vx_pixel FILE X Y: the pixel as "R G B".
vx_pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}

# vx_count_colour FILE X Y W H R G B TOL: pixels of the region within TOL of the colour.
vx_count_colour() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -fuzz "$9" -fill white -opaque "rgb($6,$7,$8)" \
    -fill black +opaque white -format '%[fx:int(mean*w*h+0.5)]' info:
}

# vx_close: posts WM_CLOSE to the game's window (class "VexmoorWindow").
vx_close() { ( cd "$VX_GAME" && timeout 30 wine "$VX_TESTS/vx_close.exe" ) >/dev/null 2>&1 || true; }

# vx_battle_to_title: the program opens on the battle; Escape, Quit to
# Campaign and Back until the title menu's Campaign label shows. The game's
# cursor is placed twice: the first placement may land while the battle
# still recentres it.
vx_battle_to_title() {
  local i shot
  sleep 3
  vx_key Escape; sleep 0.5
  vx_mouse_to 400 296; vx_mouse_to 400 296; vx_click 1; sleep 1
  for i in 1 2 3; do
    vx_mouse_to 160 536; vx_click 1; sleep 0.5; vx_mouse_to 780 580; sleep 0.3
    shot=$(vx_screenshot battle_to_title)
    [ "$(vx_count_colour "$shot" 310 260 181 33 221 221 221 12%)" -gt 30 ] &&
      [ "$(vx_count_colour "$shot" 80 520 161 33 221 221 221 12%)" -eq 0 ] && return 0
  done
  vx_fail "Back did not reach the title"
}
