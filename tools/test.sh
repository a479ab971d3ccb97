#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: native unit
# tests, fuzz runs and the Windows tests under Wine. Ends with CTest's summary.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh"
"$top/tools/build.sh"
cd "$top/build/native"
ctest --output-on-failure -j "$(nproc)" "$@"
