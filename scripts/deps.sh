# SPDX-License-Identifier: MIT
# Sourced by the scripts: installs the Debian packages the project needs, only when missing.
varnok_packages=(g++ cmake ninja-build pkg-config libsystemd-dev qt6-base-dev qt6-serialport-dev
                 qt6-httpserver-dev qt6-websockets-dev libmosquitto-dev
                 libgl-dev fonts-liberation fonts-wqy-microhei xvfb xauth x11-utils
                 mosquitto mosquitto-clients openssl
                 ccache dpkg-dev file lintian appstream desktop-file-utils
                 qt6-l10n-tools qt6-translations-l10n systemd man-db bash-completion)

varnok_install_missing() {
    local missing=() p
    for p in "${varnok_packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# The options of build/, the tree scripts/run and scripts/test share: the same for both, so the
# second of them builds only what changed. ccache, where installed, keeps rebuilds of other trees
# (build-asan/, a fresh clone) short.
varnok_launcher=()
command -v ccache >/dev/null && varnok_launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
varnok_options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNOK_WERROR=ON "${varnok_launcher[@]}")

# Configures and builds a build tree: varnok_build DIR [cmake options...]
# CMake's default generator unless the options name one with -G. The options of the last
# configure are kept in DIR; other options configure the tree afresh, so no option a different
# caller asked for stays behind in its cache.
varnok_build() {
    local dir=$1
    shift
    local stamp="$dir/varnok-options" options
    options=$(printf '%s\n' "$@")
    if [ ! -f "$dir/CMakeCache.txt" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$options" ]; then
        rm -rf "$stamp" "$dir/CMakeCache.txt" "$dir/CMakeFiles"
        cmake -S "$varnok_root" -B "$dir" "$@" >/dev/null
        printf '%s\n' "$options" >"$stamp"
    fi
    cmake --build "$dir" -j"$(nproc)"
}

varnok_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
