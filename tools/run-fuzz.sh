#!/usr/bin/env bash
# Runs one libFuzzer target over its corpus and then for a bounded time.
# usage: run-fuzz.sh TARGET CORPUS SECONDS
set -euo pipefail
target=$1 corpus=$2 seconds=$3
top=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -x "$target" ]; then
  echo "missing fuzz target: $target (tools/build.sh builds build/fuzz)" >&2
  exit 1
fi
# Leaks of the system's libvorbisfile are suppressed, nothing else (see the file).
export LSAN_OPTIONS="suppressions=$top/fuzz/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
scratch=$(mktemp -d); trap 'rm -rf "$scratch" "$scratch.log"' EXIT
# New inputs go to a scratch folder so the committed corpus stays as it is.
# A passing run shows its last lines, a failing one its whole report.
set +e
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
  "$scratch" "$corpus" >"$scratch.log" 2>&1
rc=$?
set -e
if [ "$rc" = 0 ]; then tail -n 5 "$scratch.log"; else cat "$scratch.log"; fi
exit "$rc"
