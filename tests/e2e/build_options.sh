#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The scripts share build trees: each one's configure options must be the ones in force, whichever
# script configured the tree before. A small project stands in for the real one.
set -euo pipefail
source "$(dirname "$0")/../../scripts/deps.sh"
varnok_install_missing() { :; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
varnok_root=$work/project
mkdir -p "$varnok_root"
cat >"$varnok_root/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.22)
project(probe NONE)
option(VARNOK_WERROR "" OFF)
file(WRITE "${CMAKE_BINARY_DIR}/werror" "${VARNOK_WERROR}")
CMAKE

tree=$work/build
check() {
    local want=$1 got
    got=$(cat "$tree/werror" 2>/dev/null || echo "not configured")
    [ "$got" = "$want" ] || { echo "FAIL: $2: VARNOK_WERROR is $got, want $want"; exit 1; }
}
varnok_build "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
check OFF "first configure, as scripts/run does it"
varnok_build "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNOK_WERROR=ON >/dev/null
check ON "then as scripts/test does it"
varnok_build "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
check OFF "then as scripts/run again"
# The same options again only build: no configure.
rm "$tree/werror"
varnok_build "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
[ ! -e "$tree/werror" ] || { echo "FAIL: the same options configured the tree again"; exit 1; }
echo "PASS: each configure got the options it asked for"
