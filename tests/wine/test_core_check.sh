#!/usr/bin/env bash
# The core library's Windows bodies (threads, locks, clocks, system information,
# folders, error file) and the shipped stats tables, run under Wine.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run 90 "$VX_TESTS/core_check.exe" || true
cat "$VX_OUT/stdout.txt"
[ "$VX_RC" = 0 ] || vx_fail "core_check exit code $VX_RC"
grep -q "CORE CHECK PASSED" "$VX_OUT/stdout.txt" || vx_fail "core_check did not pass"
