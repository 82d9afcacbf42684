#!/usr/bin/env bash
# The real Lumiset.exe under Wine, for a person to try: on the user's own X display (or a virtual
# one when there is none), in a Wine prefix made once with Wine's fonts, a Wine virtual desktop
# with its taskbar, and the test camera registered. `start` runs until Lumiset ends or Ctrl-C,
# then ends every process of the prefix and the X server it started; `ctl` runs lumisetctl.exe
# in the same prefix, against the same wineserver.
#
# usage: try-lumiset.sh [--build DIR] [--work DIR] start
#        try-lumiset.sh [--build DIR] [--work DIR] ctl [LUMISETCTL_ARGS...]
#   --build: the windows preset's build folder (default: build/windows of this checkout)
#   --work:  keeps the prefix, the camera's log and Lumiset's output (default: build/try)
# exit: start: 0 when Lumiset ended or was stopped, 1 when it failed, 2 usage or set-up error;
# ctl: lumisetctl's status, 2 when no `start` runs.
set -euo pipefail
readonly SCRIPT_NAME=try-lumiset
SOURCE_DIR=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)
readonly SOURCE_DIR
# shellcheck source=tests/wine/wine-common.sh
source "$SOURCE_DIR/tests/wine/wine-common.sh"

readonly USAGE="usage: try-lumiset.sh [--build DIR] [--work DIR] start | ctl [LUMISETCTL_ARGS...]"
# Bump when the prefix set-up below changes, so that older prefixes are rebuilt.
readonly PREFIX_LAYOUT=1
readonly DESKTOP_SIZE=1024x768
readonly TESTCAM_PATH='C:\lumiset-testcam\lumiset-testcam.dll'
# Deadlines, in seconds.
readonly PREFIX_DEADLINE=240
readonly WINE_CALL_DEADLINE=30
readonly DISPLAY_DEADLINE=10
readonly START_DEADLINE=30
readonly EXIT_DEADLINE=5
# How long the end waits for a lumisetctl still under way.
readonly CTL_DEADLINE=15

BUILD_DIR=$SOURCE_DIR/build/windows
WORK_DIR=$SOURCE_DIR/build/try
while (($# > 0)); do
    case $1 in
    --build | --work)
        (($# >= 2)) || die "$USAGE"
        if [[ $1 == --build ]]; then BUILD_DIR=$2; else WORK_DIR=$2; fi
        shift 2
        ;;
    -h | --help) say "$USAGE" && exit 0 ;;
    *) break ;;
    esac
done
(($# >= 1)) || die "$USAGE"
readonly COMMAND=$1
shift

LUMISET_EXE=$BUILD_DIR/app/Lumiset.exe
CTL_EXE=$BUILD_DIR/app/lumisetctl.exe
TESTCAM_DLL=$BUILD_DIR/tests/wine/lumiset-testcam.dll
# The session's X display, written by `start` for `ctl`.
SESSION_FILE=
LUMISET_PID=
XVFB_PID=
FINISHED=

# The Wine environment both commands share: the same prefix and launcher reach the same
# wineserver.
set_up_wine_environment() {
    local file
    for file in "$LUMISET_EXE" "$CTL_EXE" "$TESTCAM_DLL"; do
        [[ -f $file ]] || die "$file does not exist (make try builds it with the windows preset)"
    done
    LUMISET_EXE=$(readlink -f "$LUMISET_EXE")
    CTL_EXE=$(readlink -f "$CTL_EXE")
    find_wine_programs die
    WINE=$WINE_LAUNCHER
    mkdir -p "$WORK_DIR" || die "cannot create $WORK_DIR"
    WORK_DIR=$(cd "$WORK_DIR" && pwd)
    SESSION_FILE=$WORK_DIR/session
    WINE_CALL_OUTPUT=$WORK_DIR/wine-call.out
    export WINEPREFIX=$WORK_DIR/prefix WINEDEBUG=-all WINEARCH=win64 WINELOADER=$WINE
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    # Wine's Z: drive is the Unix root.
    export LUMISET_TESTCAM_LOG="Z:$WORK_DIR/camera.log"
}

# ---------------------------------------------------------------------------------------------
# start

# The prefix's set-up, LOG ($1) its log: Wine's virtual desktop, which brings Wine's own taskbar
# and notification area, and Wine's fonts.
set_up_prefix() { use_virtual_desktop "$DESKTOP_SIZE" "$1" && use_wine_fonts "$1"; }

# Registers the build's test camera, again whenever the build has a new one.
register_test_camera() {
    local folder=$WINEPREFIX/drive_c/lumiset-testcam
    cmp -s "$TESTCAM_DLL" "$folder/lumiset-testcam.dll" && return 0
    if ! mkdir -p "$folder" || ! cp "$TESTCAM_DLL" "$folder/" ||
        ! wine_call regsvr32 /s "$TESTCAM_PATH" >/dev/null; then
        rm -f "$folder/lumiset-testcam.dll"
        die "registering the test camera failed"
    fi
}

# A virtual X display of our own, with its own key (Xauthority in the work folder); sets DISPLAY,
# XAUTHORITY and XVFB_PID.
start_xvfb() {
    command -v Xvfb >/dev/null || die "no \$DISPLAY, and no Xvfb (tools/install-deps.sh installs xvfb)"
    command -v xauth >/dev/null || die "no xauth (tools/install-deps.sh installs it)"
    local auth=$WORK_DIR/Xauthority number_file=$WORK_DIR/xvfb.display cookie number=
    cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    rm -f "$number_file"
    : >"$auth" || die "cannot write $auth"
    # The server takes every key of its file whatever display it names; the clients find theirs
    # by the number, added once the server has chosen it.
    xauth -q -f "$auth" add :0 . "$cookie" || die "cannot write $auth"
    Xvfb -displayfd 3 -auth "$auth" -nolisten tcp -screen 0 "${DESKTOP_SIZE}x24" \
        3>"$number_file" 9>&- 8>&- </dev/null >"$WORK_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local deadline=$(($(now_ms) + DISPLAY_DEADLINE * 1000))
    # Xvfb writes the number once it takes clients.
    until [[ $number =~ ^[0-9]+$ ]]; do
        is_running "$XVFB_PID" || die "Xvfb did not start; see $WORK_DIR/xvfb.log"
        (($(now_ms) < deadline)) || die "Xvfb chose no display within $DISPLAY_DEADLINE s"
        sleep 0.1
        number=$(head -n1 "$number_file")
    done
    xauth -q -f "$auth" add ":$number" . "$cookie" || die "cannot write $auth"
    export DISPLAY=:$number XAUTHORITY=$auth
    printf '%s\n' \
        "$SCRIPT_NAME: there is no \$DISPLAY, so Lumiset runs on a virtual X display, $DISPLAY" \
        "(Xvfb, $DESKTOP_SIZE), which no screen shows. To see it, serve it with VNC" \
        "    x11vnc -display $DISPLAY -auth $auth" \
        "and open that in a VNC viewer, or take a picture of it:" \
        "    DISPLAY=$DISPLAY XAUTHORITY=$auth import -window root lumiset.png"
}

# No process of the prefix may keep the locks: descriptors 8 and 9 stay here.
lumisetctl() { wine_call "$CTL_EXE" "$@" 9>&- 8>&-; }

# Waits until Lumiset's hidden window answers lumisetctl.
wait_until_running() {
    local deadline=$(($(now_ms) + START_DEADLINE * 1000))
    until [[ $(lumisetctl status) == running ]]; do
        is_running "$LUMISET_PID" || return 1
        (($(now_ms) < deadline)) || return 1
        sleep 0.2
    done
}

print_how_to_drive() {
    local build_ctl=${CTL_EXE#"$SOURCE_DIR"/}
    say "Lumiset is running under Wine on display $DISPLAY (prefix ${WINEPREFIX#"$SOURCE_DIR"/})."
    say "  Drive it:      make try-ctl ARGS=\"50hz\"   (also \"settings\", \"zoom\", \"info\"," \
        "\"effect tv-effect\"; ARGS=\"--help\" lists them)"
    say "  or directly:   DISPLAY=$DISPLAY${XAUTHORITY:+ XAUTHORITY=$XAUTHORITY}" \
        "WINEPREFIX=$WINEPREFIX $WINE $build_ctl 50hz"
    say "  Camera log:    $WORK_DIR/camera.log (what Lumiset asked of the test camera)"
    say "  Lumiset's own: $WORK_DIR/lumiset.log"
    say "  Stop it:       Ctrl-C here, or make try-ctl ARGS=exit"
}

# Ends Lumiset (as `lumisetctl exit` does, so that it leaves as on Windows), every Wine process
# of the prefix once no lumisetctl is under way, and the X server we started. Runs once.
finish() {
    [[ -z $FINISHED ]] || return 0
    FINISHED=1
    trap '' INT TERM HUP
    if [[ -n $LUMISET_PID ]] && is_running "$LUMISET_PID"; then
        lumisetctl exit >/dev/null || true
        wait_for_exit "$LUMISET_PID" "$EXIT_DEADLINE" || kill "$LUMISET_PID" 2>/dev/null || true
    fi
    flock -w "$CTL_DEADLINE" 8 || true
    stop_wineserver || true
    if [[ -n $XVFB_PID ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -f "$SESSION_FILE"
    # The run's lock first: a lumisetctl waiting for the other one then finds no run.
    exec 9>&- 8>&-
}

on_signal() {
    [[ -t 1 ]] && say ""
    say "$SCRIPT_NAME: stopping Lumiset"
    finish
    say "$SCRIPT_NAME: stopped; nothing of it runs any more"
    exit 0
}

start() {
    (($# == 0)) || die "$USAGE"
    set_up_wine_environment
    exec 9>"$WORK_DIR/lock" 8>"$WORK_DIR/ctl.lock"
    flock -n 9 || die "Lumiset already runs from $WORK_DIR; make try-ctl ARGS=exit ends it"
    trap finish EXIT
    trap on_signal INT TERM HUP
    # A wineserver that an earlier run left behind would not see our display.
    stop_wineserver || true

    if [[ -z ${DISPLAY:-} ]]; then
        start_xvfb
    fi
    printf '%s\n' "$DISPLAY" "${XAUTHORITY:-}" >"$SESSION_FILE"

    [[ -f $WINEPREFIX/system.reg ]] ||
        say "$SCRIPT_NAME: making the Wine prefix once (about half a minute, some 700 MB)"
    # Subshells: a failure there ends the run here, where the locks are still open for finish.
    (ensure_wine_prefix "$WORK_DIR" "$PREFIX_LAYOUT" set_up_prefix) >/dev/null 9>&- 8>&- || exit 2
    (register_test_camera) 9>&- 8>&- || exit 2
    : >"$WORK_DIR/camera.log"

    "$WINE" "$LUMISET_EXE" 9>&- 8>&- </dev/null >"$WORK_DIR/lumiset.log" 2>&1 &
    LUMISET_PID=$!
    wait_until_running || die "Lumiset.exe did not start; see $WORK_DIR/lumiset.log"
    print_how_to_drive

    local status=0
    wait "$LUMISET_PID" || status=$?
    LUMISET_PID=
    finish
    if ((status != 0)); then
        say "$SCRIPT_NAME: Lumiset.exe ended with status $status; see $WORK_DIR/lumiset.log" >&2
        exit 1
    fi
    say "$SCRIPT_NAME: Lumiset ended; nothing of it runs any more"
}

# ---------------------------------------------------------------------------------------------
# ctl

ctl() {
    set_up_wine_environment
    # Shared: the end of the run waits for us before it stops the wineserver.
    exec 8>"$WORK_DIR/ctl.lock"
    flock -s 8
    if flock -n "$WORK_DIR/lock" true; then
        die "Lumiset is not running from $WORK_DIR; make try starts it"
    fi
    local session=()
    mapfile -t session <"$SESSION_FILE" || die "no session in $SESSION_FILE"
    export DISPLAY=${session[0]}
    [[ -z ${session[1]:-} ]] || export XAUTHORITY=${session[1]}
    # Our own output file: `start` and other lumisetctl runs use theirs.
    WINE_CALL_OUTPUT=$WORK_DIR/ctl-$$.out
    local status=0
    wine_call "$CTL_EXE" "$@" 8>&- || status=$?
    rm -f "$WINE_CALL_OUTPUT"
    exit "$status"
}

case $COMMAND in
start) start "$@" ;;
ctl) ctl "$@" ;;
*) die "$USAGE" ;;
esac
