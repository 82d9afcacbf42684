#!/usr/bin/env bash
# Performance figures of Lumiset.exe under Wine against Floor.exe, the least program of its
# shape, measured side by side in one run: the programs take turns (A-B, then B-A, ...) so that
# a slow moment of the machine falls on both, and every figure is given as minimum and median.
# A launcher inside Wine starts each program, so Wine's own start is not counted; one prefix and
# one wineserver serve the whole run, with the test camera registered in it. It prints the
# figures alone; what went wrong goes to standard error.
#
# usage: run-bench.sh [--quick] WINDOWS_BUILD_DIR [SIM_COUNTS_EXE]
#   --quick  shorter holds and fewer rounds, to try it out (figures are rougher)
# exit: 0 done, 2 usage or set-up error, 77 no Wine or display tools.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=run-bench
# shellcheck source=../tests/wine/wine-common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../tests/wine/wine-common.sh"

readonly PREFIX_DEADLINE=240
readonly WINE_CALL_DEADLINE=60
readonly EXIT_COMMAND_WAIT=30
# Bump when the prefix set-up changes, so that older prefixes are rebuilt.
readonly PREFIX_LAYOUT=2
# The settings window's title in English, the prefix's language.
readonly SETTINGS_TITLE='CV Lumen Webcam Settings'
# Where the test camera's DLL goes inside the prefix, as in the Wine tests.
readonly TESTCAM_FOLDER=lumiset-testcam
# The keep-alive outlasts the longest run.
readonly KEEP_ALIVE_MS=3600000

# ---------------------------------------------------------------------------------------------
# Outside the display.

run_outside() {
    local quick=0
    if [[ ${1:-} == --quick ]]; then
        quick=1
        shift
    fi
    [[ $# -eq 1 || $# -eq 2 ]] || die "usage: run-bench.sh [--quick] WINDOWS_BUILD_DIR [SIM_COUNTS_EXE]"
    local build
    build=$(readlink -f "$1") || die "no folder $1"
    local lumiset=$build/app/Lumiset.exe floor=$build/bench/Floor.exe
    local launcher=$build/bench/lumiset_bench_launcher.exe probe=$build/tests/wine/lumiset_probe.exe
    local testcam=$build/tests/wine/lumiset-testcam.dll
    local file
    for file in "$lumiset" "$floor" "$launcher" "$probe" "$testcam"; do
        [[ -f $file ]] || die "$file does not exist (build the windows preset)"
    done
    find_wine_and_display
    lock_work_dir "$build/bench/wine-bench"
    export BENCH_INSIDE=1 BENCH_QUICK=$quick BENCH_LUMISET=$lumiset BENCH_FLOOR=$floor \
        BENCH_LAUNCHER=$launcher BENCH_PROBE=$probe BENCH_TESTCAM=$testcam BENCH_WORK_DIR=$WORK_DIR \
        BENCH_SIM_COUNTS=${2:-} WINE_LAUNCHER WINESERVER_PATH WINEPREFIX=$WORK_DIR/prefix
    run_on_virtual_display "$(readlink -f "${BASH_SOURCE[0]}")"
}

# ---------------------------------------------------------------------------------------------
# Inside the display.

WINE=${WINE_LAUNCHER:-}
WORK=${BENCH_WORK_DIR:-}
WINE_CALL_OUTPUT=$WORK/wine-call.out
KEEP_ALIVE_PID=

cleanup() {
    [[ -n $KEEP_ALIVE_PID ]] && kill "$KEEP_ALIVE_PID" 2>/dev/null
    stop_wineserver
}

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The Linux processes of programs started from EXE in this prefix (other Wine prefixes may run
# a program of the same name meanwhile): argv[0] ends with the program's name.
unix_pids_of() {
    local name=${1,,} pid argv0
    for pid in $(pgrep -u "$(id -u)" -f -i "$1"); do
        argv0=$({ tr '\0' '\n' <"/proc/$pid/cmdline"; } 2>/dev/null | head -n 1)
        argv0=${argv0//\\//}
        [[ ${argv0,,} == *"/$name" ]] || continue
        { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" ||
            continue
        say "$pid"
    done
}

# Waits up to 5 s until no process of the program is left from an earlier run.
wait_until_gone() {
    local tries
    for ((tries = 0; tries < 500; tries++)); do
        [[ -z $(unix_pids_of "$1") ]] && return 0
        sleep 0.01
    done
    die "$1 from an earlier run does not go away"
}

# "RSS_KiB PRIVATE_KiB CPU_NS" of a process and its threads.
sample() {
    local pid=$1 rss private cpu=0 task run
    read -r rss private < <(awk '/^Rss:/ {r = $2} /^Private_(Clean|Dirty):/ {p += $2}
        END {print r, p}' "/proc/$pid/smaps_rollup" 2>/dev/null)
    [[ -n $rss ]] || return 1
    for task in /proc/"$pid"/task/*/schedstat; do
        run=$(cut -d' ' -f1 "$task" 2>/dev/null) || continue
        cpu=$((cpu + run))
    done
    say "$rss $private $cpu"
}

# Runs one program through the launcher. With HOLD_FIRST and HOLD_MORE (seconds) above 0 it
# samples memory HOLD_FIRST seconds after the window answered, and memory and CPU again
# HOLD_MORE seconds later. Appends "NAME FIGURE VALUE" lines to $WORK/figures. The rest are the
# launcher's options (--menus N, --shown TITLE), then the program's own argument, if any.
run_once() {
    local name=$1 exe=$2 hold_first=$3 hold_more=$4
    shift 4
    local options=() out=$WORK/launcher.out stop=$WORK/stop
    while [[ ${1:-} == --* ]]; do
        options+=("$1" "$2")
        shift 2
    done
    rm -f "$out" "$stop"
    wait_until_gone "$(basename "$exe")"
    "$WINE" "$BENCH_LAUNCHER" "${options[@]}" "$(windows_path "$stop")" "$(windows_path "$exe")" \
        "$@" </dev/null >"$out" 2>>"$WORK/wine.log" &
    local launcher=$! deadline=$(($(now_ms) + 30000))
    until grep -qE '^(answer|shown) ' "$out" 2>/dev/null; do
        if ! kill -0 "$launcher" 2>/dev/null || (($(now_ms) > deadline)); then
            die "$name did not start; see $WORK/wine.log"
        fi
        sleep 0.01
    done
    local answered
    answered=$(now_ms)
    if ((hold_first > 0)); then
        local pid first second
        pid=$(unix_pids_of "$(basename "$exe")")
        [[ -n $pid && $pid != *[!0-9]* ]] || die "not one Linux process for $name: ${pid:-none}"
        sleep $((hold_first - ($(now_ms) - answered) / 1000))
        first=$(sample "$pid") || die "cannot sample $name"
        sleep "$hold_more"
        second=$(sample "$pid") || die "cannot sample $name"
        local rss1 priv1 cpu1 rss2 priv2 cpu2
        read -r rss1 priv1 cpu1 <<<"$first"
        read -r rss2 priv2 cpu2 <<<"$second"
        {
            say "$name rss_first $rss1"
            say "$name private_first $priv1"
            say "$name rss_second $rss2"
            say "$name private_second $priv2"
            say "$name cpu $(((cpu2 - cpu1) / 1000))"
        } >>"$WORK/figures"
    fi
    touch "$stop"
    local waited=0
    while kill -0 "$launcher" 2>/dev/null && ((waited < EXIT_COMMAND_WAIT * 100)); do
        sleep 0.01
        waited=$((waited + 1))
    done
    wait "$launcher" || die "$name: the launcher failed; see $WORK/wine.log"
    # The first menu of a start apart from the later ones; the exit of a held run apart, as it
    # follows a minute of ticks.
    tr -d '\r' <"$out" | awk -v n="$name" -v held=$((hold_first > 0)) '{
        figure = $1
        if (figure == "menu") figure = menus++ ? "menu_more" : "menu_first"
        if (figure == "exit" && held) figure = "exit_held"
        printf "%s %s %d\n", n, figure, $2 * 1000 }' >>"$WORK/figures"
}

# Prints "min median" of the figure FIGURE of NAME.
stats() {
    awk -v n="$1" -v f="$2" '$1 == n && $2 == f {print $3}' "$WORK/figures" | sort -g |
        awk '{v[NR] = $1} END {
            if (NR == 0) { print "- -"; exit }
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            print v[1], m }'
}

# How many values of the figure FIGURE of NAME the run took.
count() { awk -v n="$1" -v f="$2" '$1 == n && $2 == f' "$WORK/figures" | wc -l; }

# One line of the table: figure, label, unit divisor, unit name, and the two programs' names
# in the figures (Lumiset and Floor unless given).
row() {
    local figure=$1 label=$2 divisor=$3 unit=$4 a b
    a=$(stats "${5:-Lumiset}" "$figure")
    b=$(stats "${6:-Floor}" "$figure")
    awk -v l="$label" -v d="$divisor" -v u="$unit" -v a="$a" -v b="$b" 'BEGIN {
        split(a, x, " "); split(b, y, " ")
        printf "%-34s %9.2f %9.2f %9.2f %9.2f %6.2fx %6.2fx\n", l " (" u ")",
            x[1] / d, x[2] / d, y[1] / d, y[2] / d, x[1] / y[1], x[2] / y[2] }'
}

# The test camera, registered as in the Wine tests; Lumiset reads it in the settings window.
register_test_camera() {
    local folder=$WINEPREFIX/drive_c/$TESTCAM_FOLDER
    mkdir -p "$folder" && cp "$BENCH_TESTCAM" "$folder/" &&
        wine_call regsvr32 /s "C:\\$TESTCAM_FOLDER\\lumiset-testcam.dll" >>"$WORK/wine.log"
}

# Runs the named steps in turns: in order on an even turn ($1), backwards on an odd one, so
# that each program goes first as often as the others.
in_turns() {
    local turn=$1
    shift
    local steps=("$@") k
    for ((k = 0; k < ${#steps[@]}; k++)); do
        if ((turn % 2 == 0)); then
            "${steps[k]}"
        else
            "${steps[${#steps[@]} - 1 - k]}"
        fi
    done
}

# The kinds of start, each with its name in the figures. The starts open the tray menu MENUS
# times and end with the exit command once the first tick has added the tray icon, as when a
# person chooses Exit; Floor.exe /com initialises COM as Lumiset does, for the exit's sake.
MENUS=0
HOLD_FIRST=0
HOLD_MORE=0
readonly EXIT_AFTER_MS=1500
start_lumiset() {
    run_once Lumiset "$BENCH_LUMISET" 0 0 --menus "$MENUS" --exit-after "$EXIT_AFTER_MS"
}
start_floor() { run_once Floor "$BENCH_FLOOR" 0 0 --menus "$MENUS" --exit-after "$EXIT_AFTER_MS"; }
start_floor_com() {
    run_once FloorCom "$BENCH_FLOOR" 0 0 --menus "$MENUS" --exit-after "$EXIT_AFTER_MS" /com
}
settings_lumiset() {
    run_once LumisetSettings "$BENCH_LUMISET" 0 0 --shown "$SETTINGS_TITLE" /settings
}
settings_floor() { run_once FloorSettings "$BENCH_FLOOR" 0 0 --shown "$SETTINGS_TITLE" /settings; }
hold_lumiset() { run_once Lumiset "$BENCH_LUMISET" "$HOLD_FIRST" "$HOLD_MORE"; }
hold_floor() { run_once Floor "$BENCH_FLOOR" "$HOLD_FIRST" "$HOLD_MORE"; }

run_inside() {
    local starts settings_starts rounds
    if ((BENCH_QUICK)); then
        starts=4 settings_starts=4 rounds=2 MENUS=3 HOLD_FIRST=1 HOLD_MORE=5
    else
        starts=40 settings_starts=20 rounds=3 MENUS=5 HOLD_FIRST=5 HOLD_MORE=60
    fi
    unset LUMISET_TESTCAM_LOG LUMISET_TESTCAM_POWERLINE
    start_wine_session cleanup
    ensure_wine_prefix "$WORK" "$PREFIX_LAYOUT" use_virtual_desktop 1024x768 >&2
    start_keep_alive "$BENCH_PROBE" "$KEEP_ALIVE_MS"
    # Both programs read the stored setting at every tick; Lumiset finds it as after a first start.
    wine_call reg add 'HKLM\SOFTWARE\Corvance\CV Lumen Webcam' /v DeviceEnable /t REG_DWORD /d 1 /f \
        >>"$WORK/wine.log" || die "cannot store the setting; see $WORK/wine.log"
    register_test_camera || die "cannot register the test camera; see $WORK/wine.log"

    # A start of each kind first, not counted: the first start of a program reads its files.
    : >"$WORK/figures"
    in_turns 0 start_lumiset start_floor start_floor_com settings_lumiset settings_floor
    : >"$WORK/figures"

    local i
    for ((i = 0; i < starts; i++)); do
        in_turns "$i" start_lumiset start_floor start_floor_com
    done
    for ((i = 0; i < settings_starts; i++)); do
        in_turns "$i" settings_lumiset settings_floor
    done
    for ((i = 0; i < rounds; i++)); do
        in_turns "$i" hold_lumiset hold_floor
    done

    say "Lumiset.exe against Floor.exe under $("$WINE" --version)"
    printf '%-34s %9s %9s %9s %9s %7s %7s\n' "" "Lumiset" "" "Floor" "" "ratio" ""
    printf '%-34s %9s %9s %9s %9s %7s %7s\n' "figure" "min" "median" "min" "median" "min" "median"
    row window "start to host window" 1000 ms
    row answer "start to first answer" 1000 ms
    row menu_first "tray menu, first of a start" 1000 ms
    row menu_more "tray menu, later ones" 1000 ms
    row shown "start to settings window" 1000 ms LumisetSettings FloorSettings
    row exit "exit command to end" 1000 ms Lumiset FloorCom
    row exit "  against the floor without COM" 1000 ms
    row rss_first "resident after ${HOLD_FIRST} s" 1024 MiB
    row rss_second "resident after $((HOLD_FIRST + HOLD_MORE)) s" 1024 MiB
    row private_first "private after ${HOLD_FIRST} s" 1024 MiB
    row private_second "private after $((HOLD_FIRST + HOLD_MORE)) s" 1024 MiB
    row cpu "CPU over ${HOLD_MORE} s of ticks" 1000 ms
    local a b
    a=$(stat -c %s "$BENCH_LUMISET")
    b=$(stat -c %s "$BENCH_FLOOR")
    awk -v a="$a" -v b="$b" 'BEGIN { printf "%-34s %9.1f %9s %9.1f %9s %6.2fx\n",
        "file size (KiB)", a / 1024, "", b / 1024, "", a / b }'
    # Counted from what was measured, the same for both programs by the turns.
    say "(start-up from $(count Lumiset window) starts of each; tray menu from" \
        "$(count Lumiset menu_first) first and $(count Lumiset menu_more) later openings;"
    say " settings window from $(count LumisetSettings shown) starts with /settings;" \
        "exit from $(count Lumiset exit), against Floor.exe /com;"
    say " memory and CPU from $(count Lumiset cpu))"

    if [[ -n $BENCH_SIM_COUNTS ]]; then
        say ""
        say "On the simulated machine (platform/sim):"
        "$BENCH_SIM_COUNTS"
    fi
}

if [[ -z ${BENCH_INSIDE:-} ]]; then
    run_outside "$@"
else
    run_inside
fi
