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
    find_wine_and_display
    lock_work_dir "${2:-$(dirname "$exe")/wine-calls}"

    CALLS_EXE=$(readlink -f "$exe")
    export CALLS_INSIDE=1 CALLS_EXE WINE_LAUNCHER WINESERVER_PATH CALLS_WORK_DIR=$WORK_DIR \
        WINEPREFIX=$WORK_DIR/prefix
    run_on_virtual_display "$(readlink -f "${BASH_SOURCE[0]}")"
}

WINE=${WINE_LAUNCHER:-}

run_inside() {
    start_wine_session stop_wineserver
    ensure_wine_prefix "$CALLS_WORK_DIR" "$PREFIX_LAYOUT"
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
