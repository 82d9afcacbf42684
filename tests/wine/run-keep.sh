#!/usr/bin/env bash
# The remembered 50/60 Hz put back by the real Lumiset.exe under Wine, and `lumisetctl info`.
# With 50 Hz remembered for the user and the test camera starting at 60 Hz, Lumiset sets 50 Hz at
# start; the camera then loses it (its value changed from outside), the probe sends the hidden
# window WM_POWERBROADCAST/PBT_APMRESUMEAUTOMATIC and WM_DEVICECHANGE/DBT_DEVNODES_CHANGED, and the
# camera's log must show 50 Hz written back once, at the next tick. `lumisetctl info` prints its
# lines before, while and after Lumiset runs (Wine has no device node for the camera: "none found").
#
# usage: run-keep.sh LUMISET_EXE PROBE_EXE [WORK_DIR]
#   lumisetctl.exe is taken from beside Lumiset.exe, lumiset-testcam.dll from beside the probe.
#   WORK_DIR (default: the probe's folder/wine-keep) keeps the Wine prefix, which later runs reuse
#   while it matches this Wine and this script, and the camera's log of the last run.
# exit: 0 every check passed, 1 a check failed, 2 usage or set-up error, 77 skipped.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=run-keep
# shellcheck source=wine-common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/wine-common.sh"

readonly HOST_KEY='HKLM\SOFTWARE\Corvance\CV Lumen Webcam'
readonly USER_KEY='HKCU\Software\Corvance\CV Lumen Webcam'
readonly TESTCAM_PATH='C:\lumiset-testcam\lumiset-testcam.dll'
readonly WM_POWERBROADCAST=0x218 PBT_APMRESUMEAUTOMATIC=0x12
readonly WM_DEVICECHANGE=0x219 DBT_DEVNODES_CHANGED=0x7
# Bump when the prefix set-up below changes, so that older prefixes are rebuilt.
readonly PREFIX_LAYOUT=1

# Deadlines, in seconds.
readonly START_DEADLINE=15
readonly LOG_DEADLINE=15
readonly EXIT_DEADLINE=5
readonly WINE_CALL_DEADLINE=30
readonly PREFIX_DEADLINE=240

# What Lumiset asks of the camera to put 50 Hz back where it reads 60 Hz.
readonly PUT_BACK=$'procamp get 13\nprocamp range 13\nprocamp set 13 1 flags 1\nprocamp get 13'

# ---------------------------------------------------------------------------------------------
# Outside the display.

run_outside() {
    run_lumiset_script_on_display "$(readlink -f "${BASH_SOURCE[0]}")" KEEP_INSIDE wine-keep "$@"
}

# ---------------------------------------------------------------------------------------------
# Inside the display.

WINE=${WINE_LAUNCHER:-}
PROBE=${LUMISET_PROBE:-}
CTL=$(dirname "${LUMISET_EXE:-.}")/lumisetctl.exe
TESTCAM_DLL=$(dirname "${PROBE:-.}")/lumiset-testcam.dll
WINE_CALL_OUTPUT=${LUMISET_WORK_DIR:-}/wine-call.out
# Wine's Z: drive is the Unix root.
CAMERA_LOG=${LUMISET_WORK_DIR:-}/camera.log
CHANGE_FILE=${LUMISET_WORK_DIR:-}/powerline-change
KEEP_ALIVE_PID=
LUMISET_PID=
INFO_STATUS=

probe() { wine_call "$PROBE" "$@"; }
reg_call() { wine_call reg "$@"; }

# Checks lumisetctl info's lines against $2, and its status 1: Wine shows no camera node. Its own
# copy of the test camera starts at POWERLINE ($3): the camera's values live in each process that
# binds it.
check_info() {
    local name=$1 expected=$2 powerline=$3 got
    LUMISET_TESTCAM_POWERLINE=$powerline wine_call "$CTL" info >"$LUMISET_WORK_DIR/info.out"
    INFO_STATUS=$?
    got=$(<"$LUMISET_WORK_DIR/info.out")
    if [[ $got != "$expected" ]]; then
        not_ok "$name" "it printed: $(tr '\n' ';' <<<"$got")"
    elif [[ $INFO_STATUS != 1 ]]; then
        not_ok "$name" "exit status $INFO_STATUS, expected 1 (no camera node found)"
    else
        ok "$name"
    fi
}

setup_camera_and_registry() {
    local folder=$WINEPREFIX/drive_c/lumiset-testcam
    if ! mkdir -p "$folder" || ! cp "$TESTCAM_DLL" "$folder/"; then
        die "cannot copy the test camera into $folder"
    fi
    wine_call regsvr32 /s "$TESTCAM_PATH" >/dev/null || die "regsvr32 $TESTCAM_PATH failed"
    reg_call delete 'HKLM\SOFTWARE\Corvance' /f >/dev/null
    reg_call add "$HOST_KEY" /v DeviceEnable /t REG_DWORD /d 1 /f >/dev/null ||
        die "wine reg add $HOST_KEY failed"
    reg_call delete 'HKCU\Software\Corvance' /f >/dev/null
    reg_call add "$USER_KEY" /v PowerLineFrequency /t REG_DWORD /d 1 /f >/dev/null ||
        die "wine reg add $USER_KEY failed"
}

# Waits until the camera log holds line $1.
wait_for_log_line() {
    local deadline=$(($(now_ms) + LOG_DEADLINE * 1000))
    until grep -qxF -- "$1" "$CAMERA_LOG" 2>/dev/null; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.1
    done
}

start_lumiset() {
    local name='Lumiset starts with 50 Hz remembered and sets it on the camera, which starts at 60 Hz'
    rm -f "$CAMERA_LOG" "$CHANGE_FILE"
    LUMISET_TESTCAM_LOG="Z:$CAMERA_LOG" LUMISET_TESTCAM_POWERLINE=2 \
        LUMISET_TESTCAM_POWERLINE_CHANGE="Z:$CHANGE_FILE" \
        "$WINE" "$LUMISET_EXE" </dev/null >>"$LUMISET_WORK_DIR/lumiset.log" 2>&1 &
    LUMISET_PID=$!
    if ! probe wait-present $((START_DEADLINE * 1000)) >/dev/null; then
        not_ok "$name" "no host window within $START_DEADLINE s"
        return 1
    fi
    if ! wait_for_log_line 'procamp set 13 1 flags 1'; then
        not_ok "$name" "the camera received: $(tr '\n' ';' <"$CAMERA_LOG")"
        return 1
    fi
    ok "$name"
}

# The camera loses 50 Hz; resume and a device change mark it; the next tick puts 50 Hz back, once.
check_put_back_once() {
    local name='after resume and a device change the next tick writes the remembered 50 Hz back once'
    # The start-up's requests are all in: the first tick has come.
    sleep 1.2
    : >"$CAMERA_LOG"
    printf 2 >"$CHANGE_FILE"
    local answers
    answers="$(probe send $WM_POWERBROADCAST $PBT_APMRESUMEAUTOMATIC 0) $(probe send $WM_DEVICECHANGE $DBT_DEVNODES_CHANGED 0)"
    if [[ $answers != 'result 0 result 1' ]]; then
        not_ok "$name" "the hidden window answered: $answers"
        return
    fi
    if ! wait_for_log_line 'procamp set 13 1 flags 1'; then
        not_ok "$name" "nothing written back within $LOG_DEADLINE s; the camera received: $(tr '\n' ';' <"$CAMERA_LOG")"
        return
    fi
    # Two more ticks: a marked camera is put back once, not at every tick.
    sleep 2.2
    local got
    got=$(<"$CAMERA_LOG")
    if [[ $got != "$PUT_BACK" ]]; then
        not_ok "$name" "the camera received: $(tr '\n' ';' <<<"$got")"
    elif [[ -e $CHANGE_FILE ]]; then
        not_ok "$name" "the camera never took the change from outside"
    else
        ok "$name"
    fi
}

run_inside() {
    unset LUMISET_TESTCAM_LOG LUMISET_TESTCAM_POWERLINE LUMISET_TESTCAM_POWERLINE_CHANGE
    start_wine_session stop_lumiset_session
    ensure_wine_prefix "$LUMISET_WORK_DIR" "$PREFIX_LAYOUT" use_virtual_desktop 1024x768
    local started
    started=$(now_ms)
    start_keep_alive "$PROBE"
    setup_camera_and_registry
    [[ $(probe count) == 0 ]] || die "a host window exists before the start"

    check_info 'lumisetctl info without Lumiset: its lines, status 1 for no camera node' \
        $'Lumiset: not running\ncamera: none found\nstored setting: On\npower-line frequency: 60 Hz (remembered: 50 Hz)\nkey off: none\nkey on: none\nkey toggle: Win+Shift+O (Lumiset is not running)' 2
    if start_lumiset; then
        check_put_back_once
        # Wine gives every process the token of the user's session, an elevated one.
        check_info 'lumisetctl info with Lumiset running reads its rights and the camera' \
            $'Lumiset: running (administrator rights: yes)\ncamera: none found\nstored setting: On\npower-line frequency: 50 Hz (remembered: 50 Hz)\nkey off: none\nkey on: none\nkey toggle: Win+Shift+O ready' 1
        wine_call "$CTL" exit >/dev/null
        wait_for_exit "$LUMISET_PID" "$EXIT_DEADLINE" || kill "$LUMISET_PID" 2>/dev/null
    fi
    reg_call delete "$HOST_KEY" /v DeviceEnable /f >/dev/null
    reg_call delete "$USER_KEY" /v PowerLineFrequency /f >/dev/null
    check_info 'lumisetctl info says what is missing' \
        $'Lumiset: not running\ncamera: none found\nstored setting: missing\npower-line frequency: 60 Hz (remembered: none)\nkey off: none\nkey on: none\nkey toggle: Win+Shift+O (Lumiset is not running)' 2
    wine_call regsvr32 /s /u "$TESTCAM_PATH" >/dev/null
    check_info 'lumisetctl info without any capture device' \
        $'Lumiset: not running\ncamera: none found\nstored setting: missing\npower-line frequency: unknown (remembered: none)\nkey off: none\nkey on: none\nkey toggle: Win+Shift+O (Lumiset is not running)' 2

    say "# checks took $(elapsed_since "$started") s"
    say "$PASSED passed, $FAILED failed"
    ((FAILED == 0))
}

if [[ ${KEEP_INSIDE:-} == 1 ]]; then
    run_inside
else
    run_outside "$@"
fi
