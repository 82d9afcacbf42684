#!/usr/bin/env bash
# The real Lumiset.exe under Wine against another program that forges messages to its windows:
# lumiset_foreign_probe sends and posts notifications with pointers into itself or none,
# initialisation, destruction, renaming and timer messages to the hidden host, the settings
# window, a page of it, the Zoom dialog and the About box, then posts the About command 2,000
# times. Lumiset must still run with its icon and one About box; a WM_CLOSE that another program
# sends must close its settings window for good; and it must end on `lumisetctl exit`. Then, each
# on a fresh copy: a WM_ASKCBFORMATNAME that Wine cannot unpack and posted WM_QUITs must leave it
# running; a WM_DDE_EXECUTE posted while a menu is open (the tray menu, a system menu) must not
# keep `lumisetctl exit` from ending it; and every message id below WM_USER, sent and posted to
# the host and the settings window, must leave it running, taking its messages, with its icon.
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
readonly MENU_EXIT_DEADLINE=2
# Until Lumiset has taken what was posted before (the probe's `settle`).
readonly SETTLE_DEADLINE=5
# The sweep goes on after a message that ended or stalled Lumiset, with a new copy, this often.
readonly SWEEP_RESTARTS=8
readonly LAST_SWEPT=0x3FF
WINE_CALL_DEADLINE=30
# One run of the sweep: about 10 s.
readonly SWEEP_DEADLINE=120

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

# A new copy, the one before ended first; what each printed goes on in lumiset.log. Fails when
# no icon shows.
launch_lumiset() {
    if [[ -n $LUMISET_PID ]] && is_running "$LUMISET_PID"; then
        kill "$LUMISET_PID" 2>/dev/null
        wait_for_exit "$LUMISET_PID" "$EXIT_DEADLINE"
    fi
    wine_call reg add "$HOST_KEY" /v DeviceEnable /t REG_DWORD /d 1 /f >/dev/null ||
        die "wine reg add $HOST_KEY failed"
    "$WINE" "$LUMISET_EXE" </dev/null >>"$LUMISET_WORK_DIR/lumiset.log" 2>&1 &
    LUMISET_PID=$!
    # The icon comes with the first tick, a second after the start.
    [[ $(probe wait-icon $((START_DEADLINE * 1000))) == present ]]
}

start_lumiset() {
    : >"$LUMISET_WORK_DIR/lumiset.log"
    if launch_lumiset; then
        ok 'Lumiset.exe starts and shows its tray icon'
    else
        not_ok 'Lumiset.exe starts and shows its tray icon' "no icon within $START_DEADLINE s"
        return 1
    fi
}

# A copy for check NAME ($1): the running one, else a new one; fails the check when none starts.
running_lumiset_for() {
    if ! is_running "$LUMISET_PID" && ! launch_lumiset; then
        not_ok "$1" "a new copy showed no icon within $START_DEADLINE s"
        return 1
    fi
}

# After what another program did, Lumiset must still run, take the messages posted to it and
# keep its icon: passes or fails check NAME ($1), with WHAT ($2) saying what was done.
check_still_running() {
    local name=$1 what=$2 settled
    settled=$(probe settle $((SETTLE_DEADLINE * 1000)))
    note_state
    if ! is_running "$LUMISET_PID"; then
        not_ok "$name" "$what ended it: $STATE"
    elif [[ $settled != settled ]]; then
        not_ok "$name" "after $what it takes no posted message ($settled)"
    elif [[ $(probe icon) != present ]]; then
        not_ok "$name" "after $what its icon is gone"
    else
        return 0
    fi
    return 1
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
    check_ctl_exit_ends_it "$name" "$EXIT_DEADLINE"
}

# lumisetctl exit ends the running copy within DEADLINE ($2) s, its icon gone: the check NAME ($1).
check_ctl_exit_ends_it() {
    local name=$1 deadline=$2
    wine_call "$CTL" exit >/dev/null
    if ! wait_for_exit "$LUMISET_PID" "$deadline"; then
        not_ok "$name" "it still runs, with these windows open: $(probe open)"
        kill "$LUMISET_PID" 2>/dev/null
    elif [[ $(probe icon) != absent ]]; then
        not_ok "$name" "its icon stayed behind"
    else
        ok "$name"
    fi
}

# Wine cannot unpack another program's WM_ASKCBFORMATNAME for a buffer of 2^64 - 1 characters:
# its own unpacking faults inside GetMessage, which returns -1, an error and not the end.
check_clipboard_format_name() {
    local name='a WM_ASKCBFORMATNAME sent by another program for a buffer of -1 characters leaves it running'
    running_lumiset_for "$name" || return
    probe send host 0x30C -1 0 >/dev/null
    check_still_running "$name" 'the send' && ok "$name"
}

# A WM_QUIT that another program posts is not the end of the program, whichever window gets it.
check_posted_quit() {
    local name='WM_QUIT posted by another program to the host and to the settings window leaves it running'
    local target
    running_lumiset_for "$name" || return
    for target in settings host; do
        # Settling opens the settings window.
        probe settle $((SETTLE_DEADLINE * 1000)) >/dev/null
        probe post "$target" 0x12 0 0 >/dev/null
        check_still_running "$name" "the one posted to the $target window" || return
    done
    ok "$name"
}

# Wine's menu loop peeks without removing: a posted DDE message that Wine cannot unpack is
# skipped there but stays first in the queue, and the peek spins. WHICH ($1): the tray menu, the
# settings window's system menu opened by Alt+Space, or the host's system menu that another
# program's WM_POPUPSYSTEMMENU opens (if the host lets it).
check_dde_in_menu() {
    local which=$1 name out
    case $which in
        tray) name='a WM_DDE_EXECUTE posted while the tray menu is open' ;;
        settings) name='a WM_DDE_EXECUTE posted while Alt+Space has the settings window'"'"'s system menu open' ;;
        *) name='a WM_DDE_EXECUTE posted after another program'"'"'s WM_POPUPSYSTEMMENU' ;;
    esac
    name+=" leaves lumisetctl exit ending it within $MENU_EXIT_DEADLINE s, icon and all"
    if ! launch_lumiset; then
        not_ok "$name" "a new copy showed no icon within $START_DEADLINE s"
        return
    fi
    if ! out=$(probe stall-menu "$which" $((START_DEADLINE * 1000))); then
        not_ok "$name" "$out"
        return
    fi
    say "# $out"
    check_ctl_exit_ends_it "$name" "$MENU_EXIT_DEADLINE"
}

# Every message id below WM_USER, sent and posted, with wParam 0 and lParam 0x10 and -1, to the
# host and the settings window. After a message that ends or stalls Lumiset, the sweep goes on
# from the next id with a new copy, so that one run names every such message.
check_message_sweep() {
    local name='every message id below WM_USER, sent and posted by another program to the host and the settings window, leaves it running, taking its messages, with its icon'
    local first=0 stopped_by=() out status id started
    started=$(now_ms)
    if ! launch_lumiset; then
        not_ok "$name" "a new copy showed no icon within $START_DEADLINE s"
        return
    fi
    for ((;;)); do
        out=$(WINE_CALL_DEADLINE=$SWEEP_DEADLINE probe sweep "$first" "$LAST_SWEPT" \
            $((SETTLE_DEADLINE * 1000)))
        status=$?
        say "# ${out//$'\n'/$'\n'# }"
        id=$(sed -n 's/^failed \(0x[0-9A-F]*\): .*/\1/p' <<<"$out")
        if ((status != 1)) || [[ -z $id ]]; then
            break
        fi
        note_state
        stopped_by+=("$id (${out##*: }; ${STATE%% (*})")
        first=$((id + 1))
        if ((first > LAST_SWEPT || ${#stopped_by[@]} > SWEEP_RESTARTS)) || ! launch_lumiset; then
            break
        fi
    done
    say "# the sweep took $(elapsed_since "$started") s"
    if ((${#stopped_by[@]} > 0)); then
        local why
        why=$(printf '%s; ' "${stopped_by[@]}")
        ((status == 0 || first > LAST_SWEPT)) || why+="$(printf 'not swept from 0x%03X; ' "$first")"
        not_ok "$name" "${why%; }"
    elif ((status != 0)); then
        not_ok "$name" "the probe could not sweep (status $status)"
    elif ! is_running "$LUMISET_PID" || [[ $(probe icon) != present ]]; then
        note_state
        not_ok "$name" "at the end its icon is gone ($STATE)"
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
    check_clipboard_format_name
    check_posted_quit
    check_dde_in_menu tray
    check_dde_in_menu settings
    check_dde_in_menu system
    check_message_sweep

    say "# checks took $(elapsed_since "$started") s"
    say "$PASSED passed, $FAILED failed"
    ((FAILED == 0))
}

if [[ ${FOREIGN_INSIDE:-} == 1 ]]; then
    run_inside
else
    run_outside "$@"
fi
