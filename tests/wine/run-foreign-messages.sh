#!/usr/bin/env bash
# The real Lumiset.exe under Wine against another program that forges messages to its windows:
# lumiset_foreign_probe sends and posts notifications with pointers into itself or none,
# initialisation, destruction, renaming and timer messages to the hidden host, the settings
# window, a page of it, the Zoom dialog and the About box, then posts the About command 2,000
# times. Lumiset must still run with its icon and one About box; a WM_CLOSE that another program
# sends must close its settings window for good; and it must end on `lumisetctl exit`.
#
# usage: run-foreign-messages.sh LUMISET_EXE FOREIGN_PROBE_EXE [WORK_DIR]
#   WORK_DIR (default: the probe's folder/wine-foreign) keeps the Wine prefix, which later runs
#   reuse while it matches this Wine and this script, and lumiset.log, what Lumiset.exe printed.
# exit: 0 every check passed, 1 a check failed, 2 usage or set-up error, 77 skipped.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=run-foreign-messages
# shellcheck source=wine-common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/wine-common.sh"

readonly HOST_KEY='HKLM\SOFTWARE\Corvance\CV Lumen Webcam'
# Bump when the prefix set-up below changes, so that older prefixes are rebuilt.
readonly PREFIX_LAYOUT=1
# Deadlines, in seconds.
readonly PREFIX_DEADLINE=240
readonly START_DEADLINE=15
readonly FORGE_DEADLINE=60
readonly EXIT_DEADLINE=5
readonly WINE_CALL_DEADLINE=30

run_outside() {
    run_lumiset_script_on_display "$(readlink -f "${BASH_SOURCE[0]}")" FOREIGN_INSIDE wine-foreign "$@"
}

# ---------------------------------------------------------------------------------------------
# Inside the display.

WINE=${WINE_LAUNCHER:-}
PROBE=${LUMISET_PROBE:-}
CTL=$(dirname "${LUMISET_EXE:-.}")/lumisetctl.exe
KEEP_ALIVE_PID=
LUMISET_PID=
STATE=
WINE_CALL_OUTPUT=${LUMISET_WORK_DIR:-}/wine-call.out

probe() { wine_call "$PROBE" "$@"; }

# Wine's desktop with its tray, and no crash dialog: a program that faults ends at once.
set_up_prefix() {
    use_virtual_desktop 1024x768 "$1" &&
        wine_call reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >>"$1"
}

# Sets STATE to what became of Lumiset.exe, for failure messages. Runs in the main shell: only
# there can `wait` collect its exit status.
note_state() {
    if is_running "$LUMISET_PID"; then
        STATE="Lumiset.exe still runs"
        return
    fi
    wait "$LUMISET_PID" 2>/dev/null
    STATE="Lumiset.exe ended with status $? (see $LUMISET_WORK_DIR/lumiset.log)"
}

start_lumiset() {
    wine_call reg add "$HOST_KEY" /v DeviceEnable /t REG_DWORD /d 1 /f >/dev/null ||
        die "wine reg add $HOST_KEY failed"
    "$WINE" "$LUMISET_EXE" </dev/null >"$LUMISET_WORK_DIR/lumiset.log" 2>&1 &
    LUMISET_PID=$!
    # The icon comes with the first tick, a second after the start.
    if [[ $(probe wait-icon $((START_DEADLINE * 1000))) == present ]]; then
        ok 'Lumiset.exe starts and shows its tray icon'
    else
        not_ok 'Lumiset.exe starts and shows its tray icon' "no icon within $START_DEADLINE s"
        return 1
    fi
}

check_forged_messages() {
    local name='forged messages to all its windows leave it running, titled and with its icon'
    local out status
    out=$(probe forge $((FORGE_DEADLINE * 1000 / 4)))
    status=$?
    say "# ${out//$'\n'/$'\n'# }"
    note_state
    if ((status != 0)); then
        not_ok "$name" "the probe could not do it all (status $status; $STATE)"
    elif ! is_running "$LUMISET_PID"; then
        not_ok "$name" "$STATE"
    elif [[ $(probe icon) != present ]]; then
        not_ok "$name" "the host window titled \"Property\" or its icon is gone"
    else
        ok "$name"
    fi
}

check_one_about_box() {
    local name='2,000 posted WM_SYSCOMMAND 16 leave one About box' count
    if ! count=$(probe abouts); then
        note_state
        not_ok "$name" "no host window ($STATE)"
    elif [[ $count == 1 ]]; then
        ok "$name"
    else
        not_ok "$name" "$count About boxes are open"
    fi
}

# The close runs inside another program's send: the window must still let go of its object, or
# it would never open again.
check_settings_closed_by_another_program() {
    local name='a WM_CLOSE sent by another program closes the settings window, which opens again'
    local out
    if out=$(probe close-settings $((START_DEADLINE * 1000))); then
        ok "$name"
    else
        not_ok "$name" "$out"
    fi
}

check_exit() {
    local name="lumisetctl exit ends it within $EXIT_DEADLINE s, icon and all"
    if ! is_running "$LUMISET_PID"; then
        note_state
        not_ok "$name" "it no longer ran ($STATE)"
        return
    fi
    wine_call "$CTL" exit >/dev/null
    if ! wait_for_exit "$LUMISET_PID" "$EXIT_DEADLINE"; then
        not_ok "$name" "it still runs, with these windows open: $(probe open)"
        kill "$LUMISET_PID" 2>/dev/null
    elif [[ $(probe icon) != absent ]]; then
        not_ok "$name" "its icon stayed behind"
    else
        ok "$name"
    fi
}

run_inside() {
    start_wine_session stop_lumiset_session
    ensure_wine_prefix "$LUMISET_WORK_DIR" "$PREFIX_LAYOUT" set_up_prefix
    local started
    started=$(now_ms)
    start_keep_alive "$PROBE"
    [[ $(probe icon) == absent ]] || die "a Lumiset icon is there before the start"

    if start_lumiset; then
        check_forged_messages
        check_one_about_box
        check_settings_closed_by_another_program
        check_exit
    fi

    say "# checks took $(elapsed_since "$started") s"
    say "$PASSED passed, $FAILED failed"
    ((FAILED == 0))
}

if [[ ${FOREIGN_INSIDE:-} == 1 ]]; then
    run_inside
else
    run_outside "$@"
fi
