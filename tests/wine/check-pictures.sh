#!/usr/bin/env bash
# Checks that take-pictures.sh still takes every picture, and that each shows a window of the
# size it had when pictures.expected was written (within a tolerance: fonts may differ a little
# from machine to machine), not that the pixels are the same. The pictures committed under
# docs/pictures must have those sizes too, so that the README shows the windows as they are.
#
# usage: check-pictures.sh LUMISET_EXE PROBE_EXE [WORK_DIR]
# exit: 0 every check passed, 1 a check failed, 2 set-up error, 77 Lumiset.exe not built.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=check-pictures
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
# shellcheck source=wine-common.sh
source "$here/wine-common.sh"

readonly EXPECTED=$here/pictures.expected
readonly COMMITTED=$here/../../docs/pictures
# Allowed difference of each side: 4 % of it, at least 6 pixels.
readonly TOLERANCE_PERCENT=4
readonly TOLERANCE_MIN=6

[[ $# -eq 2 || $# -eq 3 ]] || die "usage: check-pictures.sh LUMISET_EXE PROBE_EXE [WORK_DIR]"
[[ -f $1 ]] || skip "$1 does not exist (build it with the windows preset)"
command -v identify >/dev/null || die "no identify (tools/install-deps.sh installs imagemagick)"
[[ -f $EXPECTED ]] || die "$EXPECTED is missing"

within() {
    local got=$1 want=$2 slack=$(($2 * TOLERANCE_PERCENT / 100))
    ((slack < TOLERANCE_MIN)) && slack=$TOLERANCE_MIN
    ((got >= want - slack && got <= want + slack))
}

# Checks picture $2 (a path) as NAME $1 against WIDTH $3 and HEIGHT $4.
check_size() {
    local name=$1 file=$2 size width height
    if [[ ! -f $file ]]; then
        not_ok "$name" "no picture $file"
        return
    fi
    if ! size=$(identify -format '%w %h' "$file" 2>&1); then
        not_ok "$name" "identify cannot read it: $size"
        return
    fi
    read -r width height <<<"$size"
    if within "$width" "$3" && within "$height" "$4"; then
        ok "$name is ${width}x${height}"
    else
        not_ok "$name" "${width}x${height}, expected about ${3}x${4}"
    fi
}

out_dir=$(mktemp -d) || die "cannot create a temporary folder"
trap 'rm -rf "$out_dir"' EXIT
started=$(now_ms)
"$here/take-pictures.sh" "$1" "$2" "$out_dir" ${3:+"$3"} >"$out_dir/run.log" 2>&1
status=$?
elapsed=$(elapsed_since "$started")
if ((status == 77)); then
    cat "$out_dir/run.log"
    exit 77
fi
if ((status == 0)); then
    ok "take-pictures.sh ran in $elapsed s"
else
    not_ok "take-pictures.sh" "exit status $status; its output:"
    sed 's/^/#   /' "$out_dir/run.log"
fi

declare -A listed=()
while read -r name width height; do
    [[ -z $name || $name == \#* ]] && continue
    listed[$name]=1
    check_size "$name" "$out_dir/$name.png" "$width" "$height"
    check_size "committed $name" "$COMMITTED/$name.png" "$width" "$height"
done <"$EXPECTED"

# A picture the script takes but nobody expects is one the README and this list are missing.
while IFS= read -r file; do
    name=${file#"$out_dir"/}
    name=${name%.png}
    [[ -n ${listed[$name]:-} ]] || not_ok "$name" "taken, but not in pictures.expected"
done < <(find "$out_dir" -name '*.png' | sort)

say "$PASSED passed, $FAILED failed"
((FAILED == 0))
