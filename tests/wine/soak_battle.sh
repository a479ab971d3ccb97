#!/usr/bin/env bash
# Soak: the battle runs with "ai" on for SOAK_MINUTES (10) while the
# program's resident memory is sampled each minute; then a clean close.
# Long, so not a CTest test: run it with the ctest environment, e.g.
#   VEXMOOR_WIN_DIR=... VEXMOOR_INSTALL_DIR=... VEXMOOR_WINE_DIR=... bash tests/wine/soak_battle.sh
source "$(dirname "$0")/harness.sh"
MINUTES=${SOAK_MINUTES:-10}

vx_start
vx_run_bg $(( MINUTES * 60 + 120 )) "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
vx_wait_window "Vexmoor Game" 90
vx_wait_for battle "the battle's sky" 120 vx_console_closed
vx_hold_until F8 console "the console after F8" 60 vx_console_open
vx_type "enable ai"; xdotool key Return
vx_hold_until F8 console "the console closed after F8" 60 vx_console_closed
rss() { ps -C vexmoor_gl.exe -o rss= | sort -n | tail -n1 | tr -d ' '; }
for m in $(seq 0 "$MINUTES"); do
  [ "$m" -gt 0 ] && sleep 60
  kill -0 "$VX_PID" 2>/dev/null || vx_fail "the program ended during the soak"
  vx_log "minute $m: resident $(rss) KiB"
  vx_screenshot "soak_$m" >/dev/null
done
vx_close
vx_wait_exit 30 || vx_fail "the program did not end after its window was closed"
[ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC"
vx_log "passed"
