# SPDX-License-Identifier: MIT
# Sourced by the scripts: installs the Debian packages the project needs, only when missing.
varnok_packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-serialport-dev
                 libgl-dev fonts-liberation xvfb xauth x11-utils
                 ccache dpkg-dev file lintian appstream desktop-file-utils)

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

# Configures (once) and builds a build tree: varnok_build DIR [cmake options...]
varnok_build() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$varnok_root" -B "$dir" -G Ninja "$@" >/dev/null
    fi
    cmake --build "$dir" -j"$(nproc)"
}

varnok_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
