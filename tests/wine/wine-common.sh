# What the Wine test scripts share: messages, the clock, and finding Wine. Sourced; the script
# sets SCRIPT_NAME first.

say() { printf '%s\n' "$*"; }
die() {
    say "$SCRIPT_NAME: $*" >&2
    exit 2
}
skip() {
    say "$SCRIPT_NAME: skipped: $*"
    exit 77
}

now_ms() {
    local micros=${EPOCHREALTIME//[.,]/}
    say $((micros / 1000))
}

elapsed_since() {
    local ms=$(($(now_ms) - $1))
    printf '%d.%d' $((ms / 1000)) $((ms % 1000 / 100))
}

# The 64-bit launcher: Debian's wine64 package keeps it out of PATH.
find_wine() {
    local candidate
    for candidate in /usr/lib/wine/wine64 "$(command -v wine64)" "$(command -v wine)"; do
        if [[ -n $candidate && -x $candidate ]]; then
            say "$candidate"
            return 0
        fi
    done
    return 1
}

# The wineserver that belongs to the launcher, else the one on PATH.
find_wineserver() {
    local beside
    beside="$(dirname "$(readlink -f "$1")")/wineserver"
    if [[ -x $beside ]]; then
        say "$beside"
    elif command -v wineserver >/dev/null; then
        command -v wineserver
    else
        return 1
    fi
}
