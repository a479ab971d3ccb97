#!/usr/bin/env bash
# A fresh machine gets every command the tests run: each command the Wine
# test scripts check for (vx_require) is in tools/setup.sh's tool list, and
# a test script that runs a listed command the harness does not already
# check for checks for it itself.
set -euo pipefail
cd "$(dirname "$0")/.."
listed=$(sed -n '/^tools=(/,/^)/p' tools/setup.sh | tr -s ' \t' '\n' | grep ':' | cut -d: -f1 | sort -u)
required() { grep -h '^ *vx_require ' "$@" | sed 's/^ *vx_require //' | tr ' ' '\n' | sort -u; }
base=$(required tests/wine/harness.sh)
fail=0
for tool in $(required tests/wine/*.sh); do
  grep -qxF "$tool" <<<"$listed" || { echo "tools/setup.sh does not install $tool"; fail=1; }
done
for script in tests/wine/test_*.sh tests/wine/soak_*.sh; do
  own=$(required "$script" || true)
  # Commands in the script's code, comments and quoted texts left out.
  code=$(sed -e 's/#.*//' -e 's/"[^"]*"//g' "$script")
  for tool in $listed; do
    grep -qw -- "$tool" <<<"$code" || continue
    grep -qxF "$tool" <<<"$base"$'\n'"$own" ||
      { echo "$script runs $tool without vx_require $tool"; fail=1; }
  done
done
exit "$fail"
