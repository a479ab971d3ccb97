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
# folder (its working folder) under a hard timeout, through vx_run.exe, which
# keeps its exit code in exit_code.txt (a program Wine kills while it is
# exiting on a busy machine has no other record of it).
vx_run_bg() {
  local secs=$1; shift
  rm -f "$VX_GAME/exit_code.txt" "$VX_OUT/last_show.png"
  ( cd "$VX_GAME" && exec timeout -k 5 "$secs" wine "$VX_TESTS/vx_run.exe" "$@" ) \
    >"$VX_OUT/stdout.txt" 2>"$VX_OUT/stderr.txt" &
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
  if [ -s "$VX_GAME/exit_code.txt" ]; then VX_RC=$(tr -d '\r\n' < "$VX_GAME/exit_code.txt"); fi
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
  vx_show frame 120 "$3"
  vx_end 60
}

# vx_show NAME SECONDS [SHOT]: waits until the program started last shows its
# frame NAME ("SHOW NAME", from ShowUntilSignalled), saves it as SHOT.png
# (NAME.png when not given; its path in VX_SHOT) and tells the program to go
# on ("next_frame.txt" in the game folder).
vx_show() {
  vx_wait_output "^SHOW $1" "$2" || { cat "$VX_OUT/stdout.txt"; vx_fail "the $1 frame never showed"; }
  # The presented frame reaches the screen a while after the program says so.
  vx_wait_for "${3:-$1}" "the $1 frame on screen" 60 vx_new_picture
  cp "$VX_SHOT" "$VX_OUT/last_show.png"
  touch "$VX_GAME/next_frame.txt"
}
# A picture other than the program's last shown frame (at its start, the
# black of a window nothing has drawn in yet).
vx_new_picture() {
  if [ -f "$VX_OUT/last_show.png" ]; then
    local differ; differ=$(compare -metric AE "$1" "$VX_OUT/last_show.png" null: 2>&1 || true)
    [ "${differ%% *}" != 0 ]
  else
    [ "$(convert "$1" -format '%[fx:mean > 0]' info:)" = 1 ]
  fi
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

# Windows may not take focus at once on a busy machine: bounded.
vx_focus() { timeout 10 xdotool windowfocus --sync "$VX_WID" 2>/dev/null || xdotool windowfocus "$VX_WID" || true; }

# vx_type TEXT: typed characters (they reach the game as character messages,
# queued, so none is lost to a slow frame).
vx_type() { vx_focus; xdotool type --delay 120 "$1"; }

# ---- Waiting for states -------------------------------------------------------
# A busy machine can take seconds over one frame, so a step waits for what it
# needs on screen (polled screenshots) instead of sleeping, up to a generous
# bound, and a failure names the state that never came. Checks are called
# in the caller's scope: the helpers' own variables start with vx_.

vx_alive() { [ -z "$VX_PID" ] || kill -0 "$VX_PID" 2>/dev/null; }

# vx_seen SHOT SECONDS CHECK [ARGS...]: true once "CHECK SHOTFILE ARGS..."
# holds for a screenshot (saved as SHOT.png, its path in VX_SHOT); false when
# the time runs out or the program ends first.
vx_seen() {
  local vx_name=$1 vx_end=$(( SECONDS + $2 )) vx_check=$3
  shift 3
  while :; do
    VX_SHOT=$(vx_screenshot "$vx_name")
    "$vx_check" "$VX_SHOT" "$@" && return 0
    vx_alive && [ "$SECONDS" -lt "$vx_end" ] || return 1
    sleep 0.2
  done
}

vx_never_came() {
  vx_alive || { cat "$VX_OUT/stdout.txt" 2>/dev/null || true; vx_fail "the program ended before $1"; }
  vx_fail "$1 never came in $2 s (see $(basename "$VX_SHOT"))"
}

# vx_wait_for SHOT STATE SECONDS CHECK [ARGS...]: waits until the screen shows
# STATE (CHECK as for vx_seen); fails naming it.
vx_wait_for() {
  local vx_name=$1 vx_state=$2 vx_secs=$3
  shift 3
  vx_seen "$vx_name" "$vx_secs" "$@" || vx_never_came "$vx_state" "$vx_secs"
}

# vx_hold_until INPUT SHOT STATE SECONDS CHECK [ARGS...]: holds INPUT (a key,
# or button1 / button3) until the screen shows STATE. The game polls its
# devices once a frame and acts on the frame a press starts, so a held press
# is seen however slow the frame, and acts once. Pressed again every 10 s:
# a press that began while the window was not yet active never counts.
vx_hold_until() {
  local vx_in=$1 vx_name=$2 vx_state=$3 vx_secs=$4 vx_end
  shift 4
  vx_end=$(( SECONDS + vx_secs ))
  while :; do
    vx_focus; vx_input "$vx_in" down
    if vx_seen "$vx_name" 10 "$@"; then vx_input "$vx_in" up; return 0; fi
    vx_input "$vx_in" up
    vx_alive && [ "$SECONDS" -lt "$vx_end" ] || vx_never_came "$vx_state (holding $vx_in)" "$vx_secs"
    sleep 1
  done
}
vx_input() {
  case $1 in
    button*) xdotool "mouse$2" "${1#button}" ;;
    *) xdotool "key$2" "$1" ;;
  esac
}

# The game's cursor is a sprite centred on its position, with a red dot
# (245, 65, 53 on screen) in the middle. vx_cursor SHOTFILE prints "X Y", or nothing
# when no cursor is drawn.
vx_cursor() {
  local found n box w h x y
  # The dot's pixels, less any lone reddish pixel of the battle behind a menu.
  found=$(convert "$1" -fuzz 4% -fill black +opaque "rgb(245,65,53)" -fill white -opaque "rgb(245,65,53)" \
          -morphology Erode Rectangle:2x2 -format '%[fx:int(mean*w*h+0.5)] %@' info: 2>/dev/null) || return 0
  read -r n box <<<"$found"
  [ "$n" -gt 0 ] || return 0
  IFS='x+' read -r w h x y <<<"$box"
  [ "$w" -le 8 ] && [ "$h" -le 8 ] || return 0   # not the dot alone
  echo "$(( x + w / 2 )) $(( y + h / 2 ))"
}
vx_cursor_near() {   # SHOTFILE X Y: the cursor within 3 pixels of X, Y
  local at cx cy
  at=$(vx_cursor "$1"); [ -n "$at" ] || return 1
  read -r cx cy <<<"$at"
  cx=$(( cx - $2 )); cy=$(( cy - $3 ))
  [ "${cx#-}" -le 3 ] && [ "${cy#-}" -le 3 ]
}
vx_cursor_shown() { [ -n "$(vx_cursor "$1")" ]; }

# vx_mouse_to X Y: puts the game's cursor at X, Y in a menu. It follows the
# mouse's relative motion, summed over a frame and then clamped to the
# screen, and a step the window had no time for can be cut short at the
# screen's edge: so the cursor is moved by the distance from where it is
# seen, in steps of at most 150 px, until it is seen at X, Y.
vx_mouse_to() {
  local x=$1 y=$2 end=$(( SECONDS + 90 )) cx cy dx dy sx sy
  vx_focus
  vx_wait_for cursor "the game's cursor" 60 vx_cursor_shown
  while ! vx_cursor_near "$VX_SHOT" "$x" "$y"; do
    [ "$SECONDS" -lt "$end" ] || vx_fail "the cursor did not reach ($x,$y): it is at ($(vx_cursor "$VX_SHOT"))"
    read -r cx cy <<<"$(vx_cursor "$VX_SHOT")"
    dx=$(( x - cx )); dy=$(( y - cy ))
    while [ "$dx" != 0 ] || [ "$dy" != 0 ]; do
      sx=$(( dx > 150 ? 150 : dx < -150 ? -150 : dx )); sy=$(( dy > 150 ? 150 : dy < -150 ? -150 : dy ))
      xdotool mousemove_relative -- "$sx" "$sy"
      dx=$(( dx - sx )); dy=$(( dy - sy ))
    done
    # Long enough for every frame under way: a cursor seen elsewhere after it has settled.
    vx_seen cursor 10 vx_cursor_near "$x" "$y" && return 0
    vx_wait_for cursor "the game's cursor" 60 vx_cursor_shown
  done
}

# vx_click_until X Y SHOT STATE SECONDS CHECK [ARGS...]: the left button at
# X, Y, held until the screen shows STATE.
vx_click_until() {
  vx_mouse_to "$1" "$2"
  shift 2
  vx_hold_until button1 "$@"
}

# vx_park: the cursor where no menu has a button, so it stays out of labels.
vx_park() { vx_mouse_to 780 580; }

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

# ---- The game's screens --------------------------------------------------------
# Menu labels are drawn in 0xdddddd; areas (x y w h) of the shipped layouts
# (data\menu\): the pause menu's Resume, the title's Campaign and Quit, the
# campaign's Back and the profile page's first row (white).
VX_RESUME="300 180 200 32"
VX_CAMPAIGN="310 260 181 33"
VX_QUIT="310 320 181 33"
VX_BACK="80 520 161 33"
VX_ROW0="80 144 240 17"
vx_label_pixels() { vx_count_colour "$1" "$2" "$3" "$4" "$5" 221 221 221 12%; }
vx_sky_pixels() { vx_count_colour "$1" 0 0 800 600 0 127 204 2%; }

# Screen checks for vx_wait_for and vx_hold_until (the screenshot first).
vx_battle_on() { [ "$(vx_sky_pixels "$1")" -gt 4800 ] && [ "$(vx_label_pixels "$1" $VX_RESUME)" -le 30 ]; }
vx_pause_on() { [ "$(vx_label_pixels "$1" $VX_RESUME)" -gt 30 ]; }
vx_campaign_on() { [ "$(vx_label_pixels "$1" $VX_BACK)" -gt 20 ]; }
vx_profile_on() { vx_campaign_on "$1" && [ "$(vx_count_colour "$1" $VX_ROW0 255 255 255 8%)" -gt 20 ]; }
vx_mission_on() { vx_campaign_on "$1" && ! vx_profile_on "$1"; }
# The console's dark pane (drawn half transparent) hides the battle's sky
# over the top of the screen.
vx_sky_top() { vx_count_colour "$1" 0 40 770 180 0 127 204 2%; }
vx_console_open() { [ "$(vx_sky_top "$1")" -lt 100 ]; }
vx_console_closed() { [ "$(vx_sky_top "$1")" -gt 2000 ]; }
vx_title_on() { [ "$(vx_label_pixels "$1" $VX_CAMPAIGN)" -gt 30 ] && [ "$(vx_label_pixels "$1" $VX_QUIT)" -gt 20 ]; }

# vx_pause_to_title: from the pause menu by Quit to Campaign (which opens on
# the mission page) and Back to the title; the cursor parked.
vx_pause_to_title() {
  vx_click_until 400 296 to_title "the campaign" 60 vx_campaign_on
  if vx_mission_on "$VX_SHOT"; then
    vx_click_until 160 536 to_title "the campaign's profile page" 60 vx_profile_on
  fi
  vx_click_until 160 536 to_title "the title" 60 vx_title_on
  vx_park
}

# vx_battle_to_title: the program opens on the battle; from its first frame
# Escape, then vx_pause_to_title.
vx_battle_to_title() {
  vx_wait_for to_title "the battle's first frame" 120 vx_battle_on
  vx_hold_until Escape to_title "the pause menu" 60 vx_pause_on
  vx_pause_to_title
}

# vx_quit_from_title: Quit on the title menu ends the program with exit code 0.
vx_quit_from_title() {
  vx_mouse_to 400 336
  vx_focus; vx_input button1 down
  vx_wait_exit 60 || vx_fail "the program did not end after quit"
  vx_input button1 up
  [ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC after quit"
}
