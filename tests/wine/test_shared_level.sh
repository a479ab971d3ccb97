#!/usr/bin/env bash
# A level and terrain cache downloaded from someone else, in a game folder two
# folders deep: the cache's bounds are finite but their difference overflows,
# two props stand at x = +-3e38 and one names a model two folders above the
# game. The battle still shows on the shipped ground, the program ends with 0,
# _error.txt names each fault, and nothing outside the game folder is read or
# written.
source "$(dirname "$0")/harness.sh"

# The game folder, two folders below the test's own; its data\ is the
# installation's but for the level the battle loads.
above="$VX_OUT/above"
VX_GAME="$above/below/game"
mkdir -p "$VX_GAME/data"
for entry in "$VEXMOOR_INSTALL_DIR"/data/*; do
  [ "$(basename "$entry")" = levels ] || ln -s "$entry" "$VX_GAME/data/"
done
mkdir -p "$VX_GAME/data/levels"
cp "$VEXMOOR_INSTALL_DIR"/data/levels/* "$VX_GAME/data/levels/"
cp "$VEXMOOR_INSTALL_DIR/data/models/props/crate.mbm" "$above/escaped.mbm"
# The battle's level with three more rows at the end of its props.
awk 'BEGIN { OFS = "\t" }
  /^Generic$/ { section = 1; print; next }
  section == 1 && /^Count/ { rows = $2; print "Count", rows + 3; section = 2; skip = 1; next }
  section == 2 && skip { print; skip = 0; next }
  section == 2 && rows > 0 { print; if (--rows == 0) {
      print "data\\models\\props\\crate.mbm", 0, "3e38", 0, 0, 0
      print "data\\models\\props\\crate.mbm", 0, "-3e38", 0, 0, 0
      print "..\\..\\escaped.mbm", 0, 10, 10, 0, 0
      section = 3 }
    next }
  { print }' "$VEXMOOR_INSTALL_DIR/data/levels/level01.txt" > "$VX_GAME/data/levels/level01.txt"
grep -q "escaped.mbm" "$VX_GAME/data/levels/level01.txt" || vx_fail "the crafted level has no escaping row"
listing() { find "$above" -path "$VX_GAME" -prune -o -print | sort; }
before=$(listing)

# The sky (0, 127, 204) over the top band and ground below it: the battle.
battle_on_screen() {
  local shot sky ground
  shot=$(vx_screenshot "$1")
  sky=$(vx_count_colour "$shot" 0 40 800 150 0 127 204 4%)
  ground=$(( 800 * 150 - $(vx_count_colour "$shot" 0 450 800 150 0 127 204 4%) ))
  [ "$sky" -gt 5000 ] && [ "$ground" -gt 50000 ]
}
# run NAME: starts the game, waits for its battle, closes it; exit code 0.
run() {
  local i
  vx_run_bg 240 "$VEXMOOR_INSTALL_DIR/vexmoor_gl.exe"
  vx_wait_window "Vexmoor Game" 120
  for i in $(seq 180); do
    battle_on_screen "$1" && break
    kill -0 "$VX_PID" 2>/dev/null || vx_fail "the program ended before its battle ($1)"
    sleep 1
  done
  battle_on_screen "$1" || vx_fail "no battle on screen ($1)"
  vx_close
  vx_wait_exit 30 || vx_fail "the program did not end after closing its window ($1)"
  [ "$VX_RC" = 0 ] || vx_fail "exit code $VX_RC ($1)"
}

vx_start
# The first run caches the shipped ground; its bounds are then made to
# overflow (-3e38, 3e38, -3e38, 3e38 as little-endian floats).
run first
cache="$VX_GAME/gen/terrain/valley_8x8.tSegs"
[ -s "$cache" ] || vx_fail "the first run cached no terrain"
printf '\xe6\xb1\x61\xff\xe6\xb1\x61\x7f\xe6\xb1\x61\xff\xe6\xb1\x61\x7f' |
  dd of="$cache" bs=16 count=1 conv=notrunc status=none
run crafted

errors=$(cat "$VX_GAME/_error.txt" 2>/dev/null || true)
for fault in "valley_8x8.tSegs refused (its bounds are not those of a terrain)" \
             "model ..\\..\\escaped.mbm names no file of the data folder" \
             "e+38, 0, 0) lies far outside the terrain"; do
  grep -qF "$fault" <<<"$errors" || vx_fail "_error.txt does not say: $fault"
done
[ "$(head -c 4 "$cache" | od -An -tx1 | tr -d ' ')" != e6b161ff ] ||
  vx_fail "the refused cache was not rebuilt"
[ "$(listing)" = "$before" ] || vx_fail "something was written outside the game folder"
vx_log "passed"
