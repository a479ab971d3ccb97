#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: native unit
# tests, fuzz runs and the Windows tests under Wine. Ends with CTest's summary.
#   --busy  runs the tests beside a competing CPU load of twice the core
#           count, as on a machine that is building other trees. CI runs
#           this way (the CI environment variable set).
# Other arguments go to ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
busy=""
[ -n "${CI:-}" ] && busy=1
args=()
for a in "$@"; do
  if [ "$a" = --busy ]; then busy=1; else args+=("$a"); fi
done

"$top/tools/setup.sh"
"$top/tools/build.sh"
cd "$top/build/native"
run=()
[ -n "$busy" ] && run=("$top/tools/busy_load.sh" $(( 2 * $(nproc) )))
"${run[@]+"${run[@]}"}" ctest --output-on-failure -j "$(nproc)" "${args[@]+"${args[@]}"}"
