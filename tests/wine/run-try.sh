#!/usr/bin/env bash
# `make try`'s script (tools/try-lumiset.sh) as a person uses it, without an X display: it starts
# its own Xvfb and says so once, Lumiset.exe runs there with the test camera and takes
# lumisetctl's commands through `ctl`; `ctl exit` ends it, and so does Ctrl-C (SIGINT), each
# with status 0 and nothing of it left running: no Wine process of its prefix, no wineserver,
# no Xvfb.
#
# usage: run-try.sh BUILD_DIR [WORK_DIR]
#   BUILD_DIR: the windows preset's build folder.
#   WORK_DIR (default: BUILD_DIR/tests/wine/wine-try) keeps the script's prefix, which later
#   runs reuse, and its output (try.out).
# exit: 0 every check passed, 1 a check failed, 2 usage or set-up error, 77 skipped.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=run-try
HERE=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
readonly HERE
# shellcheck source=wine-common.sh
source "$HERE/wine-common.sh"
readonly TRY=$HERE/../../tools/try-lumiset.sh

# Deadlines, in seconds. Making the prefix takes up to the script's own deadline for it.
readonly RUNNING_DEADLINE=270
readonly END_DEADLINE=30
readonly LOG_DEADLINE=15

[[ $# -eq 1 || $# -eq 2 ]] || die "usage: run-try.sh BUILD_DIR [WORK_DIR]"
BUILD_DIR=$1
[[ -f $BUILD_DIR/app/Lumiset.exe ]] ||
    skip "$BUILD_DIR/app/Lumiset.exe does not exist (build it with the windows preset)"
find_wine_programs skip
command -v Xvfb >/dev/null || skip "no Xvfb (tools/install-deps.sh installs xvfb)"
WORK_DIR=${2:-$BUILD_DIR/tests/wine/wine-try}
mkdir -p "$WORK_DIR" || die "cannot create $WORK_DIR"
WORK_DIR=$(cd "$WORK_DIR" && pwd)
readonly OUT=$WORK_DIR/try.out
# A job of its own: a script's background command would otherwise ignore SIGINT.
set -m

TRY_PID=

try() { "$TRY" --build "$BUILD_DIR" --work "$WORK_DIR" "$@"; }

# The processes of the script's session, one "PID COMMAND" a line: those with its prefix in their
# environment (Wine's, the wineserver's) and the Xvfb with its key.
session_processes() {
    local proc pid
    for proc in /proc/[0-9]*; do
        pid=${proc#/proc/}
        ((pid == BASHPID)) && continue
        if grep -qzx "WINEPREFIX=$WORK_DIR/prefix" "$proc/environ" 2>/dev/null ||
            grep -qzx "$WORK_DIR/Xauthority" "$proc/cmdline" 2>/dev/null; then
            say "$pid $(tr '\0' ' ' <"$proc/cmdline" 2>/dev/null)"
        fi
    done
}

cleanup() {
    if [[ -n $TRY_PID ]] && is_running "$TRY_PID"; then
        kill -TERM "$TRY_PID" 2>/dev/null
        wait_for_exit "$TRY_PID" "$END_DEADLINE"
    fi
    local pid _
    while read -r pid _; do
        kill -KILL "$pid" 2>/dev/null
    done < <(session_processes)
}
trap cleanup EXIT
trap 'exit 2' INT TERM

start_try() {
    # Emptied here, not only by the background job's redirection: a check that reads it before
    # the job has started must not find the last run's "Lumiset is running".
    : >"$OUT"
    env -u DISPLAY -u XAUTHORITY "$TRY" --build "$BUILD_DIR" --work "$WORK_DIR" start \
        </dev/null >"$OUT" 2>&1 &
    TRY_PID=$!
}

# Waits until the script says Lumiset runs; then its session must be seen (so that the check
# that nothing is left cannot pass for want of looking).
check_running() {
    local name=$1 deadline=$(($(now_ms) + RUNNING_DEADLINE * 1000))
    until grep -q '^Lumiset is running' "$OUT"; do
        if ! is_running "$TRY_PID" || (($(now_ms) >= deadline)); then
            not_ok "$name" "no running message; the script said: $(tr '\n' ' ' <"$OUT")"
            return 1
        fi
        sleep 0.2
    done
    local processes
    processes=$(session_processes)
    if ! grep -q 'Xvfb' <<<"$processes" || ! grep -q 'wineserver' <<<"$processes" ||
        ! grep -q 'Lumiset.exe' <<<"$processes"; then
        not_ok "$name" "Xvfb, the wineserver or Lumiset.exe not found: $(tr '\n' ';' <<<"$processes")"
        return 1
    fi
    local notes
    notes=$(grep -cF 'so Lumiset runs on a virtual X display' "$OUT")
    if ((notes != 1)); then
        not_ok "$name" "the virtual display was announced $notes times"
        return 1
    fi
    ok "$name"
}

# The script ends within the deadline with status 0, saying $2, and leaves nothing running.
check_ended() {
    local name=$1 said=$2
    if ! wait_for_exit "$TRY_PID" "$END_DEADLINE"; then
        not_ok "$name" "the script still runs after $END_DEADLINE s"
        return
    fi
    local status=0 left
    wait "$TRY_PID" || status=$?
    TRY_PID=
    left=$(session_processes)
    if ((status != 0)); then
        not_ok "$name" "status $status; the script said: $(tr '\n' ' ' <"$OUT")"
    elif [[ -n $left ]]; then
        not_ok "$name" "left running: $(tr '\n' ';' <<<"$left")"
    elif ! grep -qF -- "$said" "$OUT"; then
        not_ok "$name" "no \"$said\"; the script said: $(tr '\n' ' ' <"$OUT")"
    else
        ok "$name"
    fi
}

check_camera_reached() {
    local name='ctl 50hz reaches the test camera' output
    if ! output=$(try ctl 50hz 2>&1); then
        not_ok "$name" "ctl failed: $output"
        return
    fi
    local deadline=$(($(now_ms) + LOG_DEADLINE * 1000))
    until grep -qx 'procamp set 13 1 flags 1' "$WORK_DIR/camera.log" 2>/dev/null; do
        if (($(now_ms) >= deadline)); then
            not_ok "$name" "camera log: $(tr '\n' ';' <"$WORK_DIR/camera.log" 2>/dev/null)"
            return
        fi
        sleep 0.2
    done
    ok "$name"
}

check_ctl_exit() {
    local output status=0
    output=$(try ctl exit 2>&1) || status=$?
    if ((status != 0)); then
        not_ok 'ctl exit is delivered' "status $status: $output"
    else
        ok 'ctl exit is delivered'
    fi
}

# With no run, ctl refuses (2) rather than start a wineserver of its own.
check_ctl_without_run() {
    local output status=0 left
    output=$(try ctl status 2>&1) || status=$?
    left=$(session_processes)
    if ((status != 2)) || [[ $output != *'not running'* ]]; then
        not_ok 'ctl without a run refuses' "status $status: $output"
    elif [[ -n $left ]]; then
        not_ok 'ctl without a run refuses' "left running: $(tr '\n' ';' <<<"$left")"
    else
        ok 'ctl without a run refuses'
    fi
}

started=$(now_ms)
start_try
if check_running 'started without a display: its own Xvfb, announced once'; then
    check_camera_reached
    check_ctl_exit
fi
check_ended 'ctl exit ends it: status 0, nothing left' 'Lumiset ended'
check_ctl_without_run

start_try
if check_running 'started again'; then
    kill -INT "$TRY_PID"
fi
check_ended 'SIGINT ends it: status 0, nothing left' 'stopped'

say "# in $(elapsed_since "$started") s"
say "$PASSED passed, $FAILED failed"
((FAILED == 0))
