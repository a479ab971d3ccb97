#!/usr/bin/env bash
# Makes the Wine prefix and HOME that this CTest run's Wine tests share.
set -euo pipefail
: "${VEXMOOR_WINE_DIR:?run through ctest}"
source "$(dirname "$0")/require.sh"
vx_require wineboot wineserver timeout
rm -rf "$VEXMOOR_WINE_DIR"
mkdir -p "$VEXMOOR_WINE_DIR/home"
export WINEPREFIX="$VEXMOOR_WINE_DIR/prefix" HOME="$VEXMOOR_WINE_DIR/home" WINEDEBUG=-all
unset DISPLAY
timeout 480 wineboot -i >/dev/null 2>&1
timeout 60 wineserver -w
test -d "$WINEPREFIX/drive_c/windows"
