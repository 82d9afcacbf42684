#!/usr/bin/env bash
# The test camera (lumiset-testcam.dll) under Wine: regsvr32 registers it in the video input
# category, lumiset_testcam_check finds, binds and exercises it through the system's device
# enumerator and property frame, and the camera's log shows every request; /i:foreign adds and
# removes the second device, /u removes everything.
#
# usage: run-testcam.sh TESTCAM_DLL CHECK_EXE [WORK_DIR]
#   WORK_DIR (default: the DLL's folder/wine-testcam) keeps the Wine prefix, which later runs
#   reuse while it matches this Wine and this script, and the camera's log of the last run.
# exit: 0 every check passed, 1 a check failed, 2 usage or set-up error, 77 skipped.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=run-testcam
# shellcheck source=wine-common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/wine-common.sh"

readonly CATEGORY='{860BB310-5D01-11D0-BD3B-00A0C911CE86}'
readonly CAMERA_CLSID='{46A26628-9F01-421A-9683-E4A034F9652C}'
readonly FOREIGN_CLSID='{57219CEC-CEB6-46AC-8D0F-C2681041E934}'
readonly PAGE_CLSID='{91981F85-DA85-47AF-97E1-1128BE22CA43}'
readonly CAMERA_NAME='USB Test Camera'
readonly FOREIGN_NAME='Integrated Webcam'
# Where the DLL goes inside the prefix, so that its registration does not name the build tree.
readonly DLL_PATH='C:\lumiset-testcam\lumiset-testcam.dll'
# Bump when the prefix set-up below changes, so that older prefixes are rebuilt.
readonly PREFIX_LAYOUT=1

# Deadlines, in seconds.
readonly WINE_CALL_DEADLINE=30
readonly PREFIX_DEADLINE=240
readonly LIVE_LOG_DEADLINE=10

# ---------------------------------------------------------------------------------------------
# Outside the display: arguments, tools, the work folder and its lock; then the same script
# again under xvfb-run (the property frame needs a display).

run_outside() {
    [[ $# -eq 2 || $# -eq 3 ]] || die "usage: run-testcam.sh TESTCAM_DLL CHECK_EXE [WORK_DIR]"
    local dll=$1 check=$2
    [[ -f $dll ]] || skip "$dll does not exist (build it with the windows preset)"
    [[ -f $check ]] || die "$check does not exist; the windows preset builds it with the DLL"
    find_wine_and_display
    lock_work_dir "${3:-$(dirname "$dll")/wine-testcam}"

    TESTCAM_DLL=$(readlink -f "$dll")
    TESTCAM_CHECK=$(readlink -f "$check")
    EXPECTED_DIR=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/testcam
    export TESTCAM_INSIDE=1 TESTCAM_DLL TESTCAM_CHECK EXPECTED_DIR WINE_LAUNCHER WINESERVER_PATH \
        TESTCAM_WORK_DIR=$WORK_DIR WINEPREFIX=$WORK_DIR/prefix
    run_on_virtual_display "$(readlink -f "${BASH_SOURCE[0]}")"
}

# ---------------------------------------------------------------------------------------------
# Inside the display.

WINE=${WINE_LAUNCHER:-}
KEEP_ALIVE_PID=
WINE_CALL_OUTPUT=${TESTCAM_WORK_DIR:-}/wine-call.out
LOG_FILE=${TESTCAM_WORK_DIR:-}/camera.log
# The log's name as the camera reads it: Wine's Z: drive is the Unix root.
LOG_NAME="Z:${LOG_FILE}"

check() { wine_call "$TESTCAM_CHECK" "$@"; }
regsvr() { wine_call regsvr32 /s "$@" "$DLL_PATH"; }
reg_call() { wine_call reg "$@"; }

# The category's names, sorted: the order of the category is Wine's business.
listed() { check list | sort; }

# Prints a diff of what was expected (file $1) and what came (text $2) as comment lines.
show_difference() {
    diff -u --label expected --label got "$1" - <<<"$2" | sed 's/^/#   /'
}

cleanup() {
    [[ -n $KEEP_ALIVE_PID ]] && kill "$KEEP_ALIVE_PID" 2>/dev/null
    stop_wineserver
}

install_dll() {
    local folder=$WINEPREFIX/drive_c/lumiset-testcam
    if ! mkdir -p "$folder" || ! cp "$TESTCAM_DLL" "$folder/lumiset-testcam.dll"; then
        die "cannot copy the DLL into $folder"
    fi
}

# Values of a registry key, "NAME TYPE DATA" a line, or nothing when the key is missing.
key_values() {
    reg_call query "$1" | sed -nE 's/^[[:space:]]+([^[:space:]]+)[[:space:]]+(REG_[A-Z_]+)[[:space:]]+(.*)$/\1 \2 \3/p'
    return 0
}

key_exists() { reg_call query "$1" >/dev/null; }

check_unregistered_at_start() {
    local name='regsvr32 /u leaves no test camera behind' names
    regsvr /u >/dev/null
    names=$(listed)
    if [[ -n $names ]]; then
        not_ok "$name" "the category lists: ${names//$'\n'/, }"
    else
        ok "$name"
    fi
}

check_register() {
    local name="regsvr32 registers \"$CAMERA_NAME\" in the video input category" out values
    if ! out=$(regsvr); then
        not_ok "$name" "regsvr32 failed: $out"
        return
    fi
    values=$(key_values "HKCR\\CLSID\\$CATEGORY\\Instance\\$CAMERA_CLSID")
    local names
    names=$(listed)
    if ! grep -qxF "FriendlyName REG_SZ $CAMERA_NAME" <<<"$values" ||
        ! grep -qxF "CLSID REG_SZ $CAMERA_CLSID" <<<"$values"; then
        not_ok "$name" "the category's instance key holds: ${values//$'\n'/; }"
    elif [[ $names != "$CAMERA_NAME" ]]; then
        not_ok "$name" "the device enumerator lists: ${names//$'\n'/, }"
    else
        ok "$name"
    fi

    name='the filter and its page are in-process servers of the DLL, threading model Both'
    local clsid server problems=
    for clsid in "$CAMERA_CLSID" "$PAGE_CLSID"; do
        server=$(key_values "HKCR\\CLSID\\$clsid\\InprocServer32")
        if ! grep -qxF "(Default) REG_SZ $DLL_PATH" <<<"$server" ||
            ! grep -qxF "ThreadingModel REG_SZ Both" <<<"$server"; then
            problems+="$clsid: ${server//$'\n'/; } "
        fi
    done
    if [[ -n $problems ]]; then
        not_ok "$name" "$problems"
    else
        ok "$name"
    fi
}

# Every kind of request on the bound filter and its page, with the answers of the camera's
# model, and the log lines they leave.
check_exercise() {
    local name="the bound \"$CAMERA_NAME\" answers as the camera's model" out
    rm -f "$LOG_FILE"
    out=$(LUMISET_TESTCAM_LOG=$LOG_NAME check exercise "$CAMERA_NAME")
    local status=$?
    if [[ $status -ne 0 ]] || ! diff -q "$EXPECTED_DIR/exercise.expected" - <<<"$out" >/dev/null
    then
        not_ok "$name" "status $status, output differs"
        show_difference "$EXPECTED_DIR/exercise.expected" "$out"
    else
        ok "$name"
    fi

    name='its log has one line for each request, in order'
    if [[ ! -f $LOG_FILE ]]; then
        not_ok "$name" "no log file $LOG_FILE"
    elif ! diff -q "$EXPECTED_DIR/exercise-log.expected" "$LOG_FILE" >/dev/null; then
        not_ok "$name" "the log differs"
        show_difference "$EXPECTED_DIR/exercise-log.expected" "$(<"$LOG_FILE")"
    else
        ok "$name"
    fi
}

check_fresh_values_and_environment() {
    local name='each process starts at the defaults; LUMISET_TESTCAM_POWERLINE=1 starts at 50 Hz'
    local plain from_env
    rm -f "$LOG_FILE"
    plain=$(check powerline "$CAMERA_NAME")
    from_env=$(LUMISET_TESTCAM_POWERLINE=1 check powerline "$CAMERA_NAME")
    if [[ $plain != "procamp get 13: 0x0, value 2" ]]; then
        not_ok "$name" "without the variable: $plain"
    elif [[ $from_env != "procamp get 13: 0x0, value 1" ]]; then
        not_ok "$name" "with the variable: $from_env"
    else
        ok "$name"
    fi

    name='without LUMISET_TESTCAM_LOG nothing is logged'
    if [[ -e $LOG_FILE ]]; then
        not_ok "$name" "$LOG_FILE was written: $(tr '\n' ';' <"$LOG_FILE")"
    else
        ok "$name"
    fi
}

# Another process reads each line as soon as the request has returned: the camera's process
# holds the device until the script closes its input.
check_live_log() {
    local name='the log shows a request while the process that made it still runs'
    local fifo=$TESTCAM_WORK_DIR/hold.fifo out=$TESTCAM_WORK_DIR/hold.out
    rm -f "$LOG_FILE" "$fifo"
    mkfifo "$fifo" || die "cannot create $fifo"
    LUMISET_TESTCAM_LOG=$LOG_NAME timeout -k 5 "$WINE_CALL_DEADLINE" \
        "$WINE" "$TESTCAM_CHECK" hold "$CAMERA_NAME" <"$fifo" >"$out" 2>&1 &
    local holder=$! seen=no running=no
    exec 8>"$fifo"
    local deadline=$(($(now_ms) + LIVE_LOG_DEADLINE * 1000))
    while kill -0 "$holder" 2>/dev/null && (($(now_ms) < deadline)); do
        if [[ -f $LOG_FILE && $(<"$LOG_FILE") == "procamp get 13" ]]; then
            seen=yes
            kill -0 "$holder" 2>/dev/null && running=yes
            break
        fi
        sleep 0.05
    done
    exec 8>&-
    wait "$holder"
    local status=$?
    if [[ $seen != yes ]]; then
        not_ok "$name" "no \"procamp get 13\" in the log within $LIVE_LOG_DEADLINE s" \
            "(holder status $status: $(tr -d '\r' <"$out" | tr '\n' ';'))"
    elif [[ $running != yes ]]; then
        not_ok "$name" "the line came only as the process ended"
    elif [[ $status -ne 0 ]]; then
        not_ok "$name" "the holding process ended with status $status"
    else
        ok "$name"
    fi
    rm -f "$fifo"
}

# The system's property frame, asked as Lumiset asks it, shows the camera's page.
check_frame() {
    local name='OleCreatePropertyFrame shows the test camera'"'"'s page with its values' out
    rm -f "$LOG_FILE"
    out=$(LUMISET_TESTCAM_LOG=$LOG_NAME check frame "$CAMERA_NAME")
    local status=$? log=
    [[ -f $LOG_FILE ]] && log=$(<"$LOG_FILE")
    if [[ $status -ne 0 ]]; then
        not_ok "$name" "status $status: ${out//$'\n'/; }"
    elif ! grep -qxF 'tab "Test Camera"' <<<"$out" ||
        ! grep -qxF 'page visible: brightness "63", effect "0", power line "60 Hz"' <<<"$out" ||
        ! grep -qxF 'frame closed: OleCreatePropertyFrame 0x0, 1 page(s)' <<<"$out"; then
        not_ok "$name" "${out//$'\n'/; }"
    elif [[ $log != $'get image.2\nget image.33\nprocamp get 13' ]]; then
        not_ok "$name" "the page's reads are not in the log: ${log//$'\n'/; }"
    else
        ok "$name"
        say "# $(grep '^frame title' <<<"$out")"
    fi
}

check_foreign() {
    local name="regsvr32 /n /i:foreign adds \"$FOREIGN_NAME\", whose requests log apart" names out
    if ! out=$(regsvr /n /i:foreign); then
        not_ok "$name" "regsvr32 failed: $out"
        return
    fi
    names=$(listed)
    rm -f "$LOG_FILE"
    out=$(LUMISET_TESTCAM_LOG=$LOG_NAME check powerline "$FOREIGN_NAME")
    local log=
    [[ -f $LOG_FILE ]] && log=$(<"$LOG_FILE")
    if [[ $names != "$FOREIGN_NAME"$'\n'"$CAMERA_NAME" ]]; then
        not_ok "$name" "the device enumerator lists: ${names//$'\n'/, }"
    elif [[ $out != "procamp get 13: 0x0, value 2" ]]; then
        not_ok "$name" "its power line: $out"
    elif [[ $log != "foreign procamp get 13" ]]; then
        not_ok "$name" "its log: ${log//$'\n'/; }"
    else
        ok "$name"
    fi

    name="regsvr32 /u /n /i:foreign removes \"$FOREIGN_NAME\" alone"
    if ! out=$(regsvr /u /n /i:foreign); then
        not_ok "$name" "regsvr32 failed: $out"
        return
    fi
    names=$(listed)
    if [[ $names != "$CAMERA_NAME" ]]; then
        not_ok "$name" "the device enumerator lists: ${names//$'\n'/, }"
    elif key_exists "HKCR\\CLSID\\$FOREIGN_CLSID"; then
        not_ok "$name" "HKCR\\CLSID\\$FOREIGN_CLSID is still there"
    else
        ok "$name"
    fi
}

check_unregister() {
    local name='regsvr32 /u removes the devices and the classes' out names leftovers=
    regsvr /n /i:foreign >/dev/null # /u must take this one too
    if ! out=$(regsvr /u); then
        not_ok "$name" "regsvr32 /u failed: $out"
        return
    fi
    names=$(listed)
    local clsid
    for clsid in "$CAMERA_CLSID" "$FOREIGN_CLSID" "$PAGE_CLSID"; do
        key_exists "HKCR\\CLSID\\$clsid" && leftovers+="HKCR\\CLSID\\$clsid "
        key_exists "HKCR\\CLSID\\$CATEGORY\\Instance\\$clsid" && leftovers+="instance $clsid "
    done
    if [[ -n $names ]]; then
        not_ok "$name" "the device enumerator lists: ${names//$'\n'/, }"
    elif [[ -n $leftovers ]]; then
        not_ok "$name" "left: $leftovers"
    else
        ok "$name"
    fi
}

run_inside() {
    unset LUMISET_TESTCAM_LOG LUMISET_TESTCAM_POWERLINE
    start_wine_session cleanup
    ensure_wine_prefix "$TESTCAM_WORK_DIR" "$PREFIX_LAYOUT"
    local started
    started=$(now_ms)
    start_keep_alive "$TESTCAM_CHECK"
    install_dll

    check_unregistered_at_start
    check_register
    check_exercise
    check_fresh_values_and_environment
    check_live_log
    check_frame
    check_foreign
    check_unregister

    say "# checks took $(elapsed_since "$started") s"
    say "$PASSED passed, $FAILED failed"
    ((FAILED == 0))
}

if [[ ${TESTCAM_INSIDE:-} == 1 ]]; then
    run_inside
else
    run_outside "$@"
fi
