#!/usr/bin/env bash
# Layers only point down: core/, render/ and sound/ never reach the shell, the
# game or its states; game/ reaches the shell only for the console.
cd "$(dirname "$0")/.."
out=$( { grep -rnE '#include "(app|ui|game)/' core render sound
         grep -rnE '#include "(app|ui)/' game | grep -v '"app/console.h"'; } || true)
[ -z "$out" ] || { echo "includes that point up:"; echo "$out"; exit 1; }
