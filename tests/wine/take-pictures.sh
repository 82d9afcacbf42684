#!/usr/bin/env bash
# Pictures of Lumiset's windows for the README: the real Lumiset.exe under Wine on a virtual X
# display, with the test camera registered, in English and in Simplified Chinese, and in English
# at 150 % display scale (144 dots per inch). Each window is
# opened the way a person or another program opens it, found with lumiset_probe, and taken with
# ImageMagick's `import`, cropped to the window (the tray menu with the notification area below
# it).
#
# usage: take-pictures.sh LUMISET_EXE PROBE_EXE OUT_DIR [WORK_DIR]
#   OUT_DIR receives en/NAME.png, zh-CN/NAME.png and 150/NAME.png (NAME as in
#   pictures.expected).
#   WORK_DIR (default: the probe's folder/wine-pictures) keeps the Wine prefix, which later runs
#   reuse while it matches this Wine and this script, and the program's log.
# exit: 0 every picture taken, 1 a picture could not be taken, 2 usage or set-up error,
# 77 Lumiset.exe not built.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=take-pictures
# shellcheck source=wine-common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/wine-common.sh"

readonly HOST_KEY='HKLM\SOFTWARE\Corvance\CV Lumen Webcam'
readonly EXIT_COMMAND=32772
readonly ZOOM_ENABLE=1120
readonly ABOUT_COMMAND=16
readonly TRAY_CALLBACK=0x83E8
readonly TRAY_ICON_ID=148
readonly WM_RBUTTONUP=0x205
# Bump when the prefix set-up below changes, so that older prefixes are rebuilt.
readonly PREFIX_LAYOUT=4
# Wine's desktop, and the X screen it fills: room for the settings window at its full height at
# 150 %.
readonly DESKTOP_WIDTH=1536
readonly DESKTOP_HEIGHT=1152
# Desktop shown around the tray menu at 100 %, in pixels; as much more as the display scale.
readonly MENU_MARGIN=24
readonly TRAY_PICTURE_WIDTH=200
# Dots per inch of the display scales: 100 % and 150 %.
readonly DPI_100=96
readonly DPI_150=144

readonly START_DEADLINE=15
readonly EXIT_DEADLINE=5
readonly WINE_CALL_DEADLINE=30
readonly PREFIX_DEADLINE=240
# Between two shots of a window, in seconds; at most so many shots.
readonly SETTLE=0.25
readonly MAX_SHOTS=12

# ---------------------------------------------------------------------------------------------
# Outside the display: arguments, tools, the work folder and its lock; then the same script
# again under xvfb-run.

run_outside() {
    [[ $# -eq 3 || $# -eq 4 ]] || die "usage: take-pictures.sh LUMISET_EXE PROBE_EXE OUT_DIR [WORK_DIR]"
    local lumiset=$1 probe=$2 out_dir=$3
    [[ -f $lumiset ]] || skip "$lumiset does not exist (build it with the windows preset)"
    [[ -f $probe ]] || die "$probe does not exist; the windows preset builds it with Lumiset.exe"
    local testcam
    testcam=$(dirname "$probe")/lumiset-testcam.dll
    [[ -f $testcam ]] || die "$testcam does not exist; the windows preset builds it"
    local tool
    find_wine_programs die
    for tool in xvfb-run xauth import; do
        command -v "$tool" >/dev/null || die "no $tool (tools/install-deps.sh installs it)"
    done
    locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8' ||
        die "no zh_CN.UTF-8 locale (tools/install-deps.sh generates it)"

    local work_dir=${4:-$(dirname "$probe")/wine-pictures}
    mkdir -p "$work_dir" "$out_dir/en" "$out_dir/zh-CN" "$out_dir/150" ||
        die "cannot create $work_dir or $out_dir"
    lock_work_dir "$work_dir"

    LUMISET_EXE=$(readlink -f "$lumiset")
    LUMISET_PROBE=$(readlink -f "$probe")
    TESTCAM_DLL=$(readlink -f "$testcam")
    OUT_DIR=$(cd "$out_dir" && pwd)
    export PICTURES_INSIDE=1 LUMISET_EXE LUMISET_PROBE TESTCAM_DLL OUT_DIR WINE_LAUNCHER \
        WINESERVER_PATH LUMISET_WORK_DIR=$WORK_DIR WINEPREFIX=$WORK_DIR/prefix
    run_on_virtual_display "$(readlink -f "${BASH_SOURCE[0]}")" "${DESKTOP_WIDTH}x${DESKTOP_HEIGHT}"
}

# ---------------------------------------------------------------------------------------------
# Inside the display.

WINE=${WINE_LAUNCHER:-}
PROBE=${LUMISET_PROBE:-}
CTL=$(dirname "${LUMISET_EXE:-.}")/lumisetctl.exe
TESTCAM_PATH='C:\lumiset-testcam\lumiset-testcam.dll'
KEEP_ALIVE_PID=
LUMISET_PID=
# The display's dots per inch in this part of the run.
DPI=$DPI_100
# Where the icon is on the taskbar; the number of the message that shows a settings tab.
ICON_RECT=
SHOW_SETTINGS=
# The language of the Wine programs started next: a Unix locale.
LOCALE=C
# Where the pictures of the language go.
LANGUAGE_DIR=
TAKEN=0
MISSED=0

# Runs a Wine program in the current language with a deadline; prints its output without
# Windows line ends. The output goes through a file: a Wine daemon the program starts would hold
# a pipe open.
wine_call() {
    local output=$LUMISET_WORK_DIR/wine-call.out status
    LC_ALL=$LOCALE timeout -k 5 "$WINE_CALL_DEADLINE" "$WINE" "$@" </dev/null >"$output" 2>&1
    status=$?
    tr -d '\r' <"$output"
    return "$status"
}

ctl() { wine_call "$CTL" "$@"; }

# One probe answers every question of a display scale (`lumiset_probe serve`): a Wine process each
# would cost a few tenths of a second per question.
start_probe() {
    coproc PROBE_SERVER { exec "$WINE" "$PROBE" serve 2>>"$LUMISET_WORK_DIR/probe.log"; }
}

# Ends every Wine process of the prefix, the desktop's and the probe's included.
stop_session() {
    if [[ -n ${PROBE_SERVER_PID:-} ]]; then
        kill "$PROBE_SERVER_PID" 2>/dev/null
        wait "$PROBE_SERVER_PID" 2>/dev/null
    fi
    [[ -n $KEEP_ALIVE_PID ]] && kill "$KEEP_ALIVE_PID" 2>/dev/null
    stop_wineserver
    KEEP_ALIVE_PID=
}

# Starts the desktop, its taskbar and the probe afresh at $1 dots per inch. Wine reads the
# display's scale (LogPixels of the user's desktop settings) once per process, so every process
# of the prefix starts again.
start_session_at() {
    stop_session
    DPI=$1
    wine_call reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f \
        >/dev/null || die "setting LogPixels to $DPI failed"
    stop_wineserver
    start_keep_alive "$PROBE"
    start_probe
}

# $1 pixels at 100 %, at the display scale of the run.
scaled() { say $(($1 * DPI / DPI_100)); }

# Asks the probe; prints its answer and returns its status.
probe() {
    {
        printf '%s' "$1"
        shift
        (($# == 0)) || printf '\t%s' "$@"
        printf '\n'
    } >&"${PROBE_SERVER[1]}" || die "the probe is gone"
    local line
    while IFS= read -r -t "$WINE_CALL_DEADLINE" -u "${PROBE_SERVER[0]}" line; do
        line=${line%$'\r'}
        if [[ $line == '=> '* ]]; then
            return "${line#=> }"
        fi
        say "$line"
    done
    die "the probe did not answer within $WINE_CALL_DEADLINE s"
}

# The prefix's set-up, LOG ($1) its log: a virtual desktop, with Wine's own taskbar and
# notification area, and windows that Wine draws whole, frames included; Wine's fonts.
set_up_prefix() {
    use_virtual_desktop "${DESKTOP_WIDTH}x${DESKTOP_HEIGHT}" "$1" && use_wine_fonts "$1" || return 1
    # A caret that does not blink: an edit box with the focus looks the same in every shot.
    wine_call reg add 'HKCU\Control Panel\Desktop' /v CursorBlinkRate /d -1 /f >>"$1"
}

register_test_camera() {
    local folder=$WINEPREFIX/drive_c/lumiset-testcam
    if ! mkdir -p "$folder" || ! cp "$TESTCAM_DLL" "$folder/" ||
        ! wine_call regsvr32 /s "$TESTCAM_PATH" >/dev/null; then
        die "registering the test camera failed"
    fi
}

# Takes the screen rectangle "X Y WIDTH HEIGHT" ($2) into NAME.png ($1) of the language's folder.
take() {
    local name=$1 x y width height
    read -r x y width height <<<"$2"
    if [[ ! $x =~ ^-?[0-9]+$ || ! $height =~ ^[0-9]+$ ]]; then
        say "not taken - $name: $2"
        MISSED=$((MISSED + 1))
        return 1
    fi
    # What Wine draws reaches the X server some time after the window has answered, the longer
    # the busier the machine: the picture is taken when two shots in a row are the same.
    local file=$LANGUAGE_DIR/$name.png previous=$LUMISET_WORK_DIR/previous.png shots=0
    while ((shots < MAX_SHOTS)); do
        sleep "$SETTLE"
        [[ -f $file ]] && mv -f "$file" "$previous"
        # -strip: no dates inside the file, so an unchanged window gives an unchanged file.
        if ! import -silent -window root -crop "${width}x${height}+${x}+${y}" +repage -strip \
            "$file"; then
            say "not taken - $name: import failed"
            MISSED=$((MISSED + 1))
            return 1
        fi
        shots=$((shots + 1))
        ((shots > 1)) && cmp -s "$file" "$previous" && break
    done
    local steady=
    ((shots < MAX_SHOTS)) || cmp -s "$file" "$previous" || steady=", never steady"
    rm -f "$previous"
    say "taken - $name (${width}x${height}) at $(elapsed_since "$RUN_STARTED") s, $shots shots$steady"
    TAKEN=$((TAKEN + 1))
}

# The next dialog is then alone on the screen.
close_dialog() {
    probe close-dialog >/dev/null
}

# Whether the taskbar shows something at the icon's place ($1, "X Y WIDTH HEIGHT"): more than
# its background colour.
icon_drawn() {
    local x y width height colours
    read -r x y width height <<<"$1"
    colours=$(import -silent -window root -crop "${width}x${height}+${x}+${y}" png:- |
        identify -format '%k' -) || return 1
    ((colours > 2))
}

start_lumiset() {
    LC_ALL=$LOCALE LUMISET_TESTCAM_POWERLINE=1 \
        "$WINE" "$LUMISET_EXE" </dev/null >>"$LUMISET_WORK_DIR/lumiset.log" 2>&1 &
    LUMISET_PID=$!
    probe wait-present $((START_DEADLINE * 1000)) >/dev/null || die "Lumiset.exe did not start"
    # The icon reaches the taskbar at the program's first tick, a second after its start.
    local deadline=$(($(now_ms) + START_DEADLINE * 1000))
    until ICON_RECT=$(probe rect-tray-icon); do
        (($(now_ms) < deadline)) || die "no taskbar on Wine's desktop"
        sleep 0.2
    done
    until icon_drawn "$ICON_RECT"; do
        (($(now_ms) < deadline)) || die "no icon in the notification area"
        sleep 0.2
    done
}

stop_lumiset() {
    probe command "$EXIT_COMMAND" >/dev/null
    local deadline=$(($(now_ms) + EXIT_DEADLINE * 1000))
    while kill -0 "$LUMISET_PID" 2>/dev/null && (($(now_ms) < deadline)); do
        sleep 0.1
    done
    kill "$LUMISET_PID" 2>/dev/null
    wait "$LUMISET_PID" 2>/dev/null
    LUMISET_PID=
}

# Opens the tray menu as a right click on the icon does, the cursor at X Y ($1 $2); prints the
# menu's rectangle.
open_tray_menu() {
    probe cursor "$1" "$2" >/dev/null || return 1
    probe post "$TRAY_CALLBACK" "$TRAY_ICON_ID" "$WM_RBUTTONUP" >/dev/null
    [[ $(probe wait-menu $((START_DEADLINE * 1000))) == open ]] && probe rect-menu
}

close_tray_menu() {
    probe menu-key 27 >/dev/null
    local deadline=$(($(now_ms) + EXIT_DEADLINE * 1000))
    while probe wait-menu 0 >/dev/null && (($(now_ms) < deadline)); do
        sleep 0.1
    done
}

# The menu in the corner of the desktop, above the taskbar and beside the icon. The click is
# posted as the shell posts it, with the cursor beside the icon and above the taskbar: over the
# icon, Wine would show its tooltip across the menu. Wine keeps a menu inside the work area,
# which some of its processes take to be the whole screen: a menu over the taskbar opens again
# just above it.
picture_tray_menu() {
    local ix tx ty tw th menu
    read -r ix _ <<<"$ICON_RECT"
    read -r tx ty tw th <<<"$(probe rect-tray)"
    if ! menu=$(open_tray_menu $((ix - 2)) $((ty - 1))); then
        take tray-menu "no menu"
        return
    fi
    local mx my mh attempts=1
    read -r mx my _ mh <<<"$menu"
    while ((my + mh > ty && attempts < 3)); do
        close_tray_menu
        attempts=$((attempts + 1))
        if ! menu=$(open_tray_menu $((ix - 2)) $((ty - mh))); then
            take tray-menu "no menu"
            return
        fi
        read -r mx my _ mh <<<"$menu"
    done
    local margin width
    margin=$(scaled "$MENU_MARGIN")
    width=$(scaled "$TRAY_PICTURE_WIDTH")
    local right=$((tx + tw)) top=$((my - margin)) left=$((mx - margin))
    ((right - left < width)) && left=$((right - width))
    take tray-menu "$left $top $((right - left)) $((ty + th - top))"
    close_tray_menu
}

# The settings window on its first tab, "Image Control"; then on "Effect" unless $1 is "first".
picture_settings() {
    ctl settings >/dev/null
    take settings-image-control "$(probe rect-dialog $((START_DEADLINE * 1000)))"
    if [[ ${1:-} == first ]]; then
        close_dialog
        return
    fi
    [[ -n $SHOW_SETTINGS ]] || SHOW_SETTINGS=$(probe registered LumisetShowSettings)
    probe post "$SHOW_SETTINGS" 1 0 >/dev/null
    sleep 0.3
    take settings-effect "$(probe rect-dialog 0)"
    close_dialog
}

picture_zoom() {
    local title=$1
    ctl zoom >/dev/null
    if ! probe rect-dialog $((START_DEADLINE * 1000)) >/dev/null; then
        take zoom "no Zoom dialog"
        return
    fi
    probe click-window "$title" "$ZOOM_ENABLE" >/dev/null
    take zoom "$(probe rect-dialog 0)"
    close_dialog
}

picture_property_frame() {
    ctl properties >/dev/null
    take property-frame "$(probe rect-dialog $((START_DEADLINE * 1000)))"
    close_dialog
}

picture_about() {
    probe post 0x112 "$ABOUT_COMMAND" 0 >/dev/null
    take about "$(probe rect-dialog $((START_DEADLINE * 1000)))"
    close_dialog
}

# Every picture in one language: $1 the folder, $2 the Unix locale, $3 the Zoom dialog's title.
# The About box exists in Chinese only (an English code page turns its texts into question
# marks), so it is taken in Chinese only.
pictures_in() {
    LANGUAGE_DIR=$OUT_DIR/$1
    LOCALE=$2
    mkdir -p "$LANGUAGE_DIR"
    start_lumiset
    picture_tray_menu
    picture_settings
    picture_zoom "$3"
    picture_property_frame
    [[ $1 == en ]] || picture_about
    stop_lumiset
}

run_inside() {
    start_wine_session stop_lumiset_session
    ensure_wine_prefix "$LUMISET_WORK_DIR" "$PREFIX_LAYOUT" set_up_prefix
    local started
    started=$(now_ms)
    RUN_STARTED=$started
    # At 100 % first, whatever an interrupted run left in the prefix.
    start_session_at "$DPI_100"

    register_test_camera
    wine_call reg add "$HOST_KEY" /v DeviceEnable /t REG_DWORD /d 1 /f >/dev/null ||
        die "wine reg add $HOST_KEY failed"

    pictures_in en C " Zoom"
    pictures_in zh-CN zh_CN.UTF-8 ' \u7f29\u653e'

    # At 150 %, in English: the windows whose layout the scale changes most.
    start_session_at "$DPI_150"
    LANGUAGE_DIR=$OUT_DIR/150
    LOCALE=C
    start_lumiset
    picture_tray_menu
    picture_settings first
    picture_zoom " Zoom"
    stop_lumiset

    wine_call regsvr32 /s /u "$TESTCAM_PATH" >/dev/null
    say "# pictures took $(elapsed_since "$started") s"
    say "$TAKEN taken, $MISSED not taken"
    ((MISSED == 0))
}

if [[ ${PICTURES_INSIDE:-} == 1 ]]; then
    run_inside
else
    run_outside "$@"
fi
