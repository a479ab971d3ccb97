#!/usr/bin/env bash
# busy_load.sh N COMMAND...: runs COMMAND beside N CPU-bound shell loops and
# returns its exit code. The loops end with the command, and each also ends
# by itself once this script is gone (even when it was killed outright).
set -euo pipefail
n=$1; shift
pids=()
stop() {
  [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null
  wait "${pids[@]}" 2>/dev/null || true
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
owner=$$
for _ in $(seq "$n"); do
  ( trap - EXIT INT TERM
    while kill -0 "$owner" 2>/dev/null; do
      for ((i = 0; i < 200000; i++)); do :; done
    done ) &
  pids+=($!)
done
echo "busy: $n CPU-bound loops beside: $*" >&2
set +e
"$@"
rc=$?
set -e
exit "$rc"
