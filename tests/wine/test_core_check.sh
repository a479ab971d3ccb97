#!/usr/bin/env bash
# The core library's Windows bodies (threads, locks, clocks, system information,
# folders, error file) and the shipped stats tables, run under Wine.
source "$(dirname "$0")/harness.sh"
vx_start
vx_run_bg 180 "$VX_TESTS/core_check.exe"
vx_end 180
vx_expect_checks thread_suspend thread_wait lock_exclusive lock_reentrant clock windows_version cpu_info \
                 last_error_text folders error_file stats
