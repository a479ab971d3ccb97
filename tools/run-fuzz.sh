#!/usr/bin/env bash
# Runs one libFuzzer target over its corpus and then for a bounded time.
# usage: run-fuzz.sh TARGET CORPUS SECONDS
set -euo pipefail
target=$1 corpus=$2 seconds=$3
scratch=$(mktemp -d); trap 'rm -rf "$scratch"' EXIT
# New inputs go to a scratch folder so the committed corpus stays as it is.
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
  "$scratch" "$corpus" 2>&1 | tail -n 5
exit "${PIPESTATUS[0]}"
