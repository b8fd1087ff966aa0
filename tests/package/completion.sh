#!/bin/bash
# SPDX-License-Identifier: MIT
# The bash completion of varnok and varnokd as a shell offers it: commands, options, and the
# presets of the set-up folder named by -C, quoted for the shell. Usage: completion.sh SOURCE_DIR VARNOK_DIR
set -u
source=$1
export PATH=$2:$PATH
source /usr/share/bash-completion/bash_completion || { echo "SKIP: no bash-completion"; exit 77; }
source "$source/packaging/completion/varnok"
source "$source/packaging/completion/varnokd"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
printf '[presets]\n1\\name=Lecture hall\n1\\routing=1 2 3 4\n2\\name=Late show\n2\\routing=4 3 2 1\n3\\name=Video\n3\\routing=2 2 2 2\n' \
    >"$folder/varnok.conf"
status=0
# offered LINE EXPECTED: the completions of the line's last word, one per line, sorted.
offered() {
    local line=$1 expected=$2 function=_${1%% *}
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    $function
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ')
    if [[ $got == "$expected" ]]; then
        echo "ok: '$line' offers $got"
    else
        echo "FAIL: '$line' offers '$got', not '$expected'"
        status=1
    fi
}
offered "varnok pre" "preset"
offered "varnok -C $folder preset recall L" 'Late\ show Lecture\ hall'
offered "varnok -C $folder preset delete V" "Video"
offered "varnok route 2 " "1 2 3 4 next prev"
offered "varnok --port CO" "COM1 COM10 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9"
offered "varnok name " "input output"
offered "varnokd --c" "--check --config"
exit $status
