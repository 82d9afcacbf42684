#!/usr/bin/env bash
# Performance figures of Lumiset.exe under Wine against Floor.exe, the least program of its
# shape, measured side by side in one run: the programs take turns (A-B, then B-A, ...) so that
# a slow moment of the machine falls on both, and every figure is given as minimum and median.
# A launcher inside Wine starts each program, so Wine's own start is not counted; one prefix and
# one wineserver serve the whole run.
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
    local file
    for file in "$lumiset" "$floor" "$launcher" "$probe"; do
        [[ -f $file ]] || die "$file does not exist (build the windows preset)"
    done
    find_wine_and_display
    lock_work_dir "$build/bench/wine-bench"
    export BENCH_INSIDE=1 BENCH_QUICK=$quick BENCH_LUMISET=$lumiset BENCH_FLOOR=$floor \
        BENCH_LAUNCHER=$launcher BENCH_PROBE=$probe BENCH_WORK_DIR=$WORK_DIR \
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
# HOLD_MORE seconds later. Appends "NAME FIGURE VALUE" lines to $WORK/figures.
run_once() {
    local name=$1 exe=$2 hold_first=$3 hold_more=$4
    local out=$WORK/launcher.out stop=$WORK/stop
    rm -f "$out" "$stop"
    wait_until_gone "$(basename "$exe")"
    "$WINE" "$BENCH_LAUNCHER" "$(windows_path "$exe")" "$(windows_path "$stop")" \
        </dev/null >"$out" 2>>"$WORK/wine.log" &
    local launcher=$! deadline=$(($(now_ms) + 30000))
    until grep -q '^answer' "$out" 2>/dev/null; do
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
    tr -d '\r' <"$out" | awk -v n="$name" '{printf "%s %s %d\n", n, $1, $2 * 1000}' >>"$WORK/figures"
}

# Prints "min median" of the figure FIGURE of NAME.
stats() {
    awk -v n="$1" -v f="$2" '$1 == n && $2 == f {print $3}' "$WORK/figures" | sort -g |
        awk '{v[NR] = $1} END {
            if (NR == 0) { print "- -"; exit }
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            print v[1], m }'
}

# One line of the table: figure, unit divisor, unit name.
row() {
    local figure=$1 label=$2 divisor=$3 unit=$4 a b
    a=$(stats Lumiset "$figure")
    b=$(stats Floor "$figure")
    awk -v l="$label" -v d="$divisor" -v u="$unit" -v a="$a" -v b="$b" 'BEGIN {
        split(a, x, " "); split(b, y, " ")
        printf "%-34s %9.2f %9.2f %9.2f %9.2f %6.2fx %6.2fx\n", l " (" u ")",
            x[1] / d, x[2] / d, y[1] / d, y[2] / d, x[1] / y[1], x[2] / y[2] }'
}

run_inside() {
    local starts rounds hold_first hold_more
    if ((BENCH_QUICK)); then
        starts=4 rounds=2 hold_first=1 hold_more=5
    else
        starts=40 rounds=3 hold_first=5 hold_more=60
    fi
    start_wine_session cleanup
    ensure_wine_prefix "$WORK" "$PREFIX_LAYOUT" use_virtual_desktop 1024x768
    start_keep_alive "$BENCH_PROBE" "$KEEP_ALIVE_MS"
    # Both programs read the stored setting at every tick; Lumiset finds it as after a first start.
    wine_call reg add 'HKLM\SOFTWARE\Corvance\CV Lumen Webcam' /v DeviceEnable /t REG_DWORD /d 1 /f \
        >>"$WORK/wine.log" || die "cannot store the setting; see $WORK/wine.log"
    : >"$WORK/figures"

    say "# warming up (a start of each, not counted)"
    run_once Lumiset "$BENCH_LUMISET" 0 0
    run_once Floor "$BENCH_FLOOR" 0 0
    : >"$WORK/figures"

    local i
    say "# $starts starts of each, in turns"
    for ((i = 0; i < starts; i++)); do
        if ((i % 2 == 0)); then
            run_once Lumiset "$BENCH_LUMISET" 0 0
            run_once Floor "$BENCH_FLOOR" 0 0
        else
            run_once Floor "$BENCH_FLOOR" 0 0
            run_once Lumiset "$BENCH_LUMISET" 0 0
        fi
    done
    say "# $rounds rounds of each held for $((hold_first + hold_more)) s, in turns"
    for ((i = 0; i < rounds; i++)); do
        if ((i % 2 == 0)); then
            run_once Lumiset "$BENCH_LUMISET" "$hold_first" "$hold_more"
            run_once Floor "$BENCH_FLOOR" "$hold_first" "$hold_more"
        else
            run_once Floor "$BENCH_FLOOR" "$hold_first" "$hold_more"
            run_once Lumiset "$BENCH_LUMISET" "$hold_first" "$hold_more"
        fi
    done

    say ""
    say "Lumiset.exe against Floor.exe under $("$WINE" --version)"
    printf '%-34s %9s %9s %9s %9s %7s %7s\n' "" "Lumiset" "" "Floor" "" "ratio" ""
    printf '%-34s %9s %9s %9s %9s %7s %7s\n' "figure" "min" "median" "min" "median" "min" "median"
    row window "start to host window" 1000 ms
    row answer "start to first answer" 1000 ms
    row exit "exit command to end" 1000 ms
    row rss_first "resident after ${hold_first} s" 1024 MiB
    row rss_second "resident after $((hold_first + hold_more)) s" 1024 MiB
    row private_first "private after ${hold_first} s" 1024 MiB
    row private_second "private after $((hold_first + hold_more)) s" 1024 MiB
    row cpu "CPU over ${hold_more} s of ticks" 1000 ms
    local a b
    a=$(stat -c %s "$BENCH_LUMISET")
    b=$(stat -c %s "$BENCH_FLOOR")
    awk -v a="$a" -v b="$b" 'BEGIN { printf "%-34s %9.1f %9s %9.1f %9s %6.2fx\n",
        "file size (KiB)", a / 1024, "", b / 1024, "", a / b }'
    say "(start-up from $((starts + rounds)) starts of each, memory and CPU from $rounds)"

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
