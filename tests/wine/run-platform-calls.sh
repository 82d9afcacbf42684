#!/usr/bin/env bash
# The checks of Windows calls (tests/platform/calls), built for Windows as
# platform_calls_tests.exe, run under Wine with the same expectations as on the simulated machine.
# Where Wine departs from Windows the program says so by the check's name; this script repeats
# those lines as comments.
#
# usage: run-platform-calls.sh CALLS_EXE [WORK_DIR]
#   WORK_DIR (default: the program's folder/wine-calls) keeps the Wine prefix, which later runs
#   reuse while it matches this Wine and this script, and calls.log, the program's whole output.
# exit: 0 every check passed, 1 a check failed, 2 usage or set-up error, 77 skipped.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=run-platform-calls
# shellcheck source=wine-common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/wine-common.sh"

# Bump when the prefix set-up below changes, so that older prefixes are rebuilt.
readonly PREFIX_LAYOUT=1
# Deadlines, in seconds.
readonly PREFIX_DEADLINE=240
readonly RUN_DEADLINE=120

run_outside() {
    [[ $# -eq 1 || $# -eq 2 ]] || die "usage: run-platform-calls.sh CALLS_EXE [WORK_DIR]"
    local exe=$1
    [[ -f $exe ]] || skip "$exe does not exist (build it with the windows preset)"
    local wine wineserver
    wine=$(find_wine) || skip "no Wine launcher (tools/install-deps.sh installs wine64)"
    wineserver=$(find_wineserver "$wine") || skip "no wineserver beside $wine or on PATH"
    command -v xvfb-run >/dev/null || skip "no xvfb-run (tools/install-deps.sh installs xvfb)"
    command -v xauth >/dev/null || skip "no xauth (tools/install-deps.sh installs it)"

    local work_dir=${2:-$(dirname "$exe")/wine-calls}
    mkdir -p "$work_dir" || die "cannot create $work_dir"
    work_dir=$(cd "$work_dir" && pwd)
    exec 9>"$work_dir/lock"
    if command -v flock >/dev/null; then
        flock -w "$PREFIX_DEADLINE" 9 || die "another run holds $work_dir/lock"
    fi

    CALLS_EXE=$(readlink -f "$exe")
    export CALLS_INSIDE=1 CALLS_EXE WINE_LAUNCHER=$wine WINESERVER_PATH=$wineserver \
        CALLS_WORK_DIR=$work_dir WINEPREFIX=$work_dir/prefix

    local script status
    script=$(readlink -f "${BASH_SOURCE[0]}")
    # A session of its own, so that an interruption reaches xvfb-run, Xvfb and Wine at once.
    setsid -w xvfb-run -a -s "-screen 0 1024x768x24" "$BASH" "$script" 9>&- &
    local inside=$!
    trap 'kill -TERM -- -"$inside" 2>/dev/null; wait "$inside"; "$wineserver" -k 2>/dev/null; exit 2' \
        INT TERM
    wait "$inside"
    status=$?
    trap - INT TERM
    "$wineserver" -k 2>/dev/null
    exit "$status"
}

WINE=${WINE_LAUNCHER:-}

cleanup() {
    timeout 10 "$WINESERVER_PATH" -k 2>/dev/null
    timeout 10 "$WINESERVER_PATH" -w 2>/dev/null
}

ensure_prefix() {
    local stamp=$CALLS_WORK_DIR/prefix.key key
    key="$("$WINE" --version) $(uname -m) uid=$(id -u) layout=$PREFIX_LAYOUT"
    if [[ -f $WINEPREFIX/system.reg && -f $stamp && $(<"$stamp") == "$key" ]]; then
        return 0
    fi
    say "# creating a Wine prefix in $WINEPREFIX"
    rm -rf "$WINEPREFIX" "$stamp" || die "cannot remove the old prefix $WINEPREFIX"
    local started log=$CALLS_WORK_DIR/wineboot.log
    started=$(now_ms)
    if ! timeout -k 5 "$PREFIX_DEADLINE" "$WINE" wineboot --init </dev/null >"$log" 2>&1 ||
        ! timeout 60 "$WINESERVER_PATH" -w || [[ ! -f $WINEPREFIX/system.reg ]]; then
        die "creating the Wine prefix failed; see $log"
    fi
    say "$key" >"$stamp"
    say "# Wine prefix created in $(elapsed_since "$started") s"
}

run_inside() {
    export WINEDEBUG=-all WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    export WINELOADER=${WINELOADER:-$WINE}
    trap cleanup EXIT
    trap 'exit 2' INT TERM

    "$WINESERVER_PATH" -k 2>/dev/null # leftovers of an interrupted run
    ensure_prefix
    local log=$CALLS_WORK_DIR/calls.log started status
    started=$(now_ms)
    # Through a file: a Wine daemon the program starts would hold a pipe open.
    timeout -k 5 "$RUN_DEADLINE" "$WINE" "$CALLS_EXE" --gtest_color=no </dev/null >"$log" 2>&1
    status=$?
    tr -d '\r' <"$log"
    say "# Wine $("$WINE" --version), checks took $(elapsed_since "$started") s"
    # The departures again, as comments, for whoever reads only the summary.
    sed -n 's/\r$//; s/^\[ WINE     \] /# Wine departs from Windows: /p' "$log"
    if [[ $status -eq 124 || $status -eq 137 ]]; then
        say "$SCRIPT_NAME: the checks did not end within $RUN_DEADLINE s"
        return 1
    fi
    ((status == 0)) || return 1
}

if [[ ${CALLS_INSIDE:-} == 1 ]]; then
    run_inside
else
    run_outside "$@"
fi
