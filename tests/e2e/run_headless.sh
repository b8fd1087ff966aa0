#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# scripts/run on a machine without a display: it must exit 0 and leave a PNG of the console
# window, 645 x 554 pixels, and stop the console before the X server.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
rundir=$(mktemp -d)
trap 'rm -rf "$rundir"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY VARNOK_RUN_DIR="$rundir" "$root/scripts/run"
shot="$rundir/varnok-console.png"
[ -s "$shot" ] || { echo "FAIL: no screenshot"; exit 1; }
# PNG signature, then the IHDR chunk: width and height as 32-bit big-endian numbers.
signature=$(od -An -tx1 -N8 "$shot" | tr -d ' \n')
[ "$signature" = 89504e470d0a1a0a ] || { echo "FAIL: not a PNG ($signature)"; exit 1; }
width=$((16#$(od -An -tx1 -j16 -N4 "$shot" | tr -d ' \n')))
height=$((16#$(od -An -tx1 -j20 -N4 "$shot" | tr -d ' \n')))
[ "$width" = 645 ] && [ "$height" = 554 ] || { echo "FAIL: ${width} x ${height}"; exit 1; }
grep -q 'front panel' "$rundir/sim.log" || { echo "FAIL: the simulated switch logged nothing"; exit 1; }
# The console must be stopped before the X server it draws on.
if grep -q 'X11 connection broke' "$rundir/console.log"; then
    echo "FAIL: the console lost its X server before it was stopped:"
    cat "$rundir/console.log"
    exit 1
fi
echo "PASS: screenshot ${width} x ${height}"
