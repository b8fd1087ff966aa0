#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# checkpackages.sh CHECK BUILD_DIR VERSION [CMAKE]: one check of varnok_VERSION_*.deb,
# varnok-sim_VERSION_*.deb and varnokd_VERSION_*.deb in BUILD_DIR. CHECK is build (make them
# with CMAKE), contents, lintian, desktop, appstream, systemd or config.
set -euo pipefail
check=$1 build=$2 version=$3

if [ "$check" = build ]; then
    rm -f "$build"/varnok_"$version"_*.deb "$build"/varnok-sim_"$version"_*.deb \
        "$build"/varnokd_"$version"_*.deb
    exec "$4" --build "$build" --target package
fi

deb_of() {
    local found=("$build/$1_${version}"_*.deb)
    [ -f "${found[0]}" ] || { echo "FAIL: no $1_${version}_*.deb in $build" >&2; exit 1; }
    echo "${found[0]}"
}
console=$(deb_of varnok)
sim=$(deb_of varnok-sim)
service=$(deb_of varnokd)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$console" "$tree/varnok"
dpkg-deb -x "$sim" "$tree/varnok-sim"
dpkg-deb -x "$service" "$tree/varnokd"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# PNG signature, then the IHDR chunk: width and height as 32-bit big-endian numbers.
png_size() {
    [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "not a PNG"; return; }
    echo "$((16#$(od -An -tx1 -j16 -N4 "$1" | tr -d ' \n')))x$((16#$(od -An -tx1 -j20 -N4 "$1" | tr -d ' \n')))"
}

check_contents() {
    local package file size
    for package in varnok varnok-sim; do
        for file in usr/bin/$package usr/share/man/man1/$package.1.gz \
            usr/share/doc/$package/copyright usr/share/doc/$package/changelog.gz; do
            [ -f "$tree/$package/$file" ] || fail "$package lacks /$file"
        done
    done
    echo "varnokd's files:"
    (cd "$tree/varnokd" && find . -type f | sort)
    for file in usr/sbin/varnokd usr/share/man/man8/varnokd.8.gz lib/systemd/system/varnokd.service \
        etc/varnok/varnokd.conf usr/share/doc/varnokd/copyright usr/share/doc/varnokd/changelog.gz \
        usr/share/bash-completion/completions/varnokd; do
        [ -f "$tree/varnokd/$file" ] || fail "varnokd lacks /$file"
    done
    for file in usr/share/applications/varnok.desktop \
        usr/share/metainfo/invalid.varnok.console.metainfo.xml \
        usr/share/bash-completion/completions/varnok; do
        [ -f "$tree/varnok/$file" ] || fail "varnok lacks /$file"
    done
    # The simulator is a development tool: only its own package may put it on the path.
    if find "$tree/varnok" -name 'varnok-sim*' | grep -q .; then
        fail "varnok ships the simulator: $(find "$tree/varnok" -name 'varnok-sim*')"
    fi
    for size in 16 24 32 48 64 128 256; do
        file=$tree/varnok/usr/share/icons/hicolor/${size}x${size}/apps/varnok.png
        if [ ! -f "$file" ]; then
            fail "no ${size} x ${size} icon"
        elif [ "$(png_size "$file")" != "${size}x${size}" ]; then
            fail "the ${size} x ${size} icon is $(png_size "$file")"
        fi
    done
    local depends
    depends=$(dpkg-deb -f "$console" Depends)
    echo "varnok Depends: $depends"
    [[ "$depends" == *fonts-liberation* ]] || fail "varnok does not depend on its font"
    [[ "$depends" == *libqt6widgets6* ]] || fail "varnok does not depend on Qt Widgets"
    depends=$(dpkg-deb -f "$sim" Depends)
    echo "varnok-sim Depends: $depends"
    [[ "$depends" == *libqt6core6* ]] || fail "varnok-sim does not depend on Qt Core"
    [[ "$depends" != *libqt6widgets6* && "$depends" != *fonts-* ]] ||
        fail "varnok-sim depends on what only the window needs"
    depends=$(dpkg-deb -f "$service" Depends)
    echo "varnokd Depends: $depends"
    [[ "$depends" == *libqt6network6* ]] || fail "varnokd does not depend on Qt Network"
    [[ "$depends" == *libmosquitto1* ]] || fail "varnokd does not depend on libmosquitto1"
    [[ $(dpkg-deb -f "$service" Recommends) == mosquitto ]] || fail "varnokd does not recommend mosquitto"
    [[ "$depends" != *libqt6widgets6* && "$depends" != *fonts-* ]] ||
        fail "varnokd depends on what only the window needs"
}

case $check in
contents)
    check_contents
    ;;
lintian)
    # Errors and warnings fail; the overrides shipped in the packages say why each is there.
    lintian --fail-on error,warning --display-info --show-overrides "$console" "$sim" \
        "$service" || fail "lintian"
    ;;
desktop)
    # desktop-file-validate exits 0 on warnings and hints: any output is a failure.
    out=$(desktop-file-validate "$tree/varnok/usr/share/applications/varnok.desktop" 2>&1) ||
        fail "desktop-file-validate"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
    # Started from the menu, the console's home is ~/.config/varnok, made on first start.
    command=$(sed -n 's/^Exec=//p' "$tree/varnok/usr/share/applications/varnok.desktop")
    home=$(mktemp -d)
    mkdir "$home/bin"
    printf '#!/bin/sh\npwd\n' >"$home/bin/varnok"
    chmod +x "$home/bin/varnok"
    started_in=$(HOME="$home/user" PATH="$home/bin:$PATH" eval "$command")
    rm -rf "$home"
    [ "$started_in" = "$home/user/.config/varnok" ] ||
        fail "the menu entry starts the console in '$started_in'"
    ;;
appstream)
    appstreamcli validate --no-net \
        "$tree/varnok/usr/share/metainfo/invalid.varnok.console.metainfo.xml" ||
        fail "appstreamcli validate"
    ;;
systemd)
    # The unit as installed, checked without a running systemd: the package's files under a
    # root of their own, with this system's targets the unit is ordered against and the kill
    # its reload runs. The Documentation= page must be the one the package ships.
    root=$tree/root
    cp -a "$tree/varnokd" "$root"
    cp -a /lib/systemd/system/*.target "$root/lib/systemd/system/"
    mkdir -p "$root/usr/bin"
    cp "$(type -P kill)" "$root/usr/bin/kill"
    # systemd-analyze exits 0 on warnings such as an unknown key: any output is a failure.
    out=$(MANPATH=$root/usr/share/man systemd-analyze verify --root="$root" varnokd.service 2>&1) ||
        fail "systemd-analyze verify"
    [ -z "$out" ] || fail "systemd-analyze verify: $out"
    ;;
config)
    # The sample starts no switch, and the program it is shipped with accepts it.
    conf=$tree/varnokd/etc/varnok/varnokd.conf
    if grep -n -v -E '^[[:space:]]*(;|$)' "$conf"; then
        fail "the sample configuration has lines that are not comments"
    fi
    "$tree/varnokd/usr/sbin/varnokd" --check --config "$conf" || fail "varnokd --check of the sample"
    # Its example, taken out of the comments, is a switch varnokd accepts.
    mkdir "$tree/hall"
    sed -n -E 's/^;(\[[a-z0-9-]+\]|(dir|port|listen|poll)=.*)$/\1/p' "$conf" |
        sed "s|^dir=.*|dir=$tree/hall|" >"$tree/example.conf"
    grep -q '^listen=' "$tree/example.conf" || fail "the sample shows no example switch"
    "$tree/varnokd/usr/sbin/varnokd" --check --config "$tree/example.conf" ||
        fail "varnokd --check of the sample's example"
    ;;
*)
    echo "unknown check $check"
    exit 2
    ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "PASS: $check"
