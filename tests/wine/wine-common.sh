# What the Wine test scripts share: messages, check results, the clock, processes, finding and
# calling Wine. Sourced; the script sets SCRIPT_NAME first, and WINE, WINE_CALL_DEADLINE (seconds)
# and WINE_CALL_OUTPUT (a file) before it calls wine_call.

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

# Check results: "ok - NAME" or "not ok - NAME: why", counted for the summary line.
PASSED=0
FAILED=0
ok() {
    say "ok - $1"
    PASSED=$((PASSED + 1))
}
not_ok() {
    say "not ok - $1: $2"
    FAILED=$((FAILED + 1))
}

is_running() { kill -0 "$1" 2>/dev/null; }

# Waits up to $2 seconds for process $1 to end.
wait_for_exit() {
    local pid=$1 deadline=$(($(now_ms) + $2 * 1000))
    while is_running "$pid"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.1
    done
}

# Runs a Wine program with a deadline; prints its output without Windows line ends and returns
# its status. The output goes through a file, not a pipe: a Wine daemon that the program happens
# to start inherits its descriptors, and would hold a pipe open for as long as it lives.
wine_call() {
    local status
    timeout -k 5 "$WINE_CALL_DEADLINE" "$WINE" "$@" </dev/null >"$WINE_CALL_OUTPUT" 2>&1
    status=$?
    tr -d '\r' <"$WINE_CALL_OUTPUT"
    return "$status"
}
