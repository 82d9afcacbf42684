# What the Wine test scripts share: messages, check results, the clock, processes, finding and
# calling Wine, the run under a virtual display and the Wine prefix. Sourced; the script sets
# SCRIPT_NAME first, PREFIX_DEADLINE (seconds) before it locks its work folder or builds a prefix,
# and WINE, WINE_CALL_DEADLINE (seconds) and WINE_CALL_OUTPUT (a file) before it calls wine_call.

say() { printf '%s\n' "$*"; }
die() {
    say "$SCRIPT_NAME: $*" >&2
    exit 2
}
skip() {
    say "$SCRIPT_NAME: skipped: $*"
    exit 77
}

now_ms() {
    local micros=${EPOCHREALTIME//[.,]/}
    say $((micros / 1000))
}

elapsed_since() {
    local ms=$(($(now_ms) - $1))
    printf '%d.%d' $((ms / 1000)) $((ms % 1000 / 100))
}

# The 64-bit launcher: Debian's wine64 package keeps it out of PATH.
find_wine() {
    local candidate
    for candidate in /usr/lib/wine/wine64 "$(command -v wine64)" "$(command -v wine)"; do
        if [[ -n $candidate && -x $candidate ]]; then
            say "$candidate"
            return 0
        fi
    done
    return 1
}

# The wineserver that belongs to the launcher, else the one on PATH.
find_wineserver() {
    local beside
    beside="$(dirname "$(readlink -f "$1")")/wineserver"
    if [[ -x $beside ]]; then
        say "$beside"
    elif command -v wineserver >/dev/null; then
        command -v wineserver
    else
        return 1
    fi
}

# Check results: "ok - NAME" or "not ok - NAME: why", counted for the summary line.
PASSED=0
FAILED=0
ok() {
    say "ok - $1"
    PASSED=$((PASSED + 1))
}
not_ok() {
    say "not ok - $1: $2"
    FAILED=$((FAILED + 1))
}

is_running() { kill -0 "$1" 2>/dev/null; }

# Waits up to $2 seconds for process $1 to end.
wait_for_exit() {
    local pid=$1 deadline=$(($(now_ms) + $2 * 1000))
    while is_running "$pid"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.1
    done
}

# Runs a Wine program with a deadline; prints its output without Windows line ends and returns
# its status. The output goes through a file, not a pipe: a Wine daemon that the program happens
# to start inherits its descriptors, and would hold a pipe open for as long as it lives.
wine_call() {
    local status
    timeout -k 5 "$WINE_CALL_DEADLINE" "$WINE" "$@" </dev/null >"$WINE_CALL_OUTPUT" 2>&1
    status=$?
    tr -d '\r' <"$WINE_CALL_OUTPUT"
    return "$status"
}

# ---------------------------------------------------------------------------------------------
# Outside the display. Each script runs itself again under xvfb-run; these find the tools for
# that, lock the work folder and start the run.

# Sets WINE_LAUNCHER and WINESERVER_PATH; $1 (skip or die) says what a missing one means.
find_wine_programs() {
    WINE_LAUNCHER=$(find_wine) || "$1" "no Wine launcher (tools/install-deps.sh installs wine64)"
    WINESERVER_PATH=$(find_wineserver "$WINE_LAUNCHER") ||
        "$1" "no wineserver beside $WINE_LAUNCHER or on PATH"
}

# find_wine_programs, and the X server's tools; whatever is missing skips the test.
find_wine_and_display() {
    find_wine_programs skip
    command -v xvfb-run >/dev/null || skip "no xvfb-run (tools/install-deps.sh installs xvfb)"
    command -v xauth >/dev/null || skip "no xauth (tools/install-deps.sh installs it)"
}

# Creates folder $1 and sets WORK_DIR to its absolute path; then waits up to PREFIX_DEADLINE
# seconds for the folder's lock (descriptor 9): one run per prefix at a time.
lock_work_dir() {
    mkdir -p "$1" || die "cannot create $1"
    WORK_DIR=$(cd "$1" && pwd)
    exec 9>"$WORK_DIR/lock"
    if command -v flock >/dev/null; then
        flock -w "$PREFIX_DEADLINE" 9 || die "another run holds $WORK_DIR/lock"
    fi
}

# The outside half of a script run as SCRIPT LUMISET_EXE PROBE_EXE [WORK_DIR]: checks both
# programs, takes the work folder (WORK_NAME beside the probe unless named) and runs SCRIPT again
# on the virtual display with LUMISET_EXE, LUMISET_PROBE and LUMISET_WORK_DIR set and the
# variable INSIDE_VARIABLE set to 1. Arguments: SCRIPT INSIDE_VARIABLE WORK_NAME, then the
# script's own.
run_lumiset_script_on_display() {
    local script=$1 inside_variable=$2 work_name=$3
    shift 3
    [[ $# -eq 2 || $# -eq 3 ]] ||
        die "usage: $(basename "$script") LUMISET_EXE PROBE_EXE [WORK_DIR]"
    local lumiset=$1 probe=$2
    [[ -f $lumiset ]] || skip "$lumiset does not exist (build it with the windows preset)"
    [[ -f $probe ]] || die "$probe does not exist; the windows preset builds it with Lumiset.exe"
    find_wine_and_display
    lock_work_dir "${3:-$(dirname "$probe")/$work_name}"

    LUMISET_EXE=$(readlink -f "$lumiset")
    LUMISET_PROBE=$(readlink -f "$probe")
    export "$inside_variable=1" LUMISET_EXE LUMISET_PROBE WINE_LAUNCHER WINESERVER_PATH \
        LUMISET_WORK_DIR="$WORK_DIR" WINEPREFIX="$WORK_DIR/prefix"
    run_on_virtual_display "$script"
}

# Runs SCRIPT ($1) under xvfb-run on a screen of SIZE ($2, default 1024x768) and exits with its
# status. The variables it needs are exported before.
run_on_virtual_display() {
    local script=$1 size=${2:-1024x768} inside status
    # A session of its own, so that an interruption reaches xvfb-run, Xvfb and Wine at once
    # (xvfb-run leaves its server behind when it alone is killed). The lock descriptor must not
    # live on in a lingering wineserver.
    setsid -w xvfb-run -a -s "-screen 0 ${size}x24" "$BASH" "$script" 9>&- &
    inside=$!
    trap 'kill -TERM -- -"$inside" 2>/dev/null; wait "$inside"; "$WINESERVER_PATH" -k 2>/dev/null; exit 2' \
        INT TERM
    wait "$inside"
    status=$?
    trap - INT TERM
    # Belt and braces: nothing of this prefix outlives the run.
    "$WINESERVER_PATH" -k 2>/dev/null
    exit "$status"
}

# ---------------------------------------------------------------------------------------------
# Inside the display. WINE and WINESERVER_PATH are set.

# Quiet Wine, no Mono or Gecko installer prompts, no desktop menu entries; CLEANUP ($1) runs at
# the end, and the wineserver of an interrupted run is stopped.
start_wine_session() {
    export WINEDEBUG=-all WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    export WINELOADER=${WINELOADER:-$WINE}
    # shellcheck disable=SC2064 # the name of the cleanup is fixed here, on purpose
    trap "$1" EXIT
    trap 'exit 2' INT TERM
    "$WINESERVER_PATH" -k 2>/dev/null
}

stop_wineserver() {
    timeout 10 "$WINESERVER_PATH" -k 2>/dev/null
    timeout 10 "$WINESERVER_PATH" -w 2>/dev/null
}

# The cleanup of a script that starts one Lumiset (LUMISET_PID) beside its keep-alive.
stop_lumiset_session() {
    local pid
    for pid in ${LUMISET_PID:-} ${KEEP_ALIVE_PID:-}; do
        kill "$pid" 2>/dev/null
    done
    stop_wineserver
}

# The wineserver (and a virtual desktop) end with the last Wine process: PROGRAM ($1), which
# sleeps for MS ($2, default five minutes), keeps them up throughout; its id goes to
# KEEP_ALIVE_PID. The server is started by hand first, so that it holds no descriptor of ours.
start_keep_alive() {
    "$WINESERVER_PATH" </dev/null >/dev/null 2>&1
    "$WINE" "$1" sleep "${2:-300000}" </dev/null >/dev/null 2>&1 &
    # shellcheck disable=SC2034 # the script's cleanup ends it
    KEEP_ALIVE_PID=$!
}

# Makes sure WINEPREFIX is a prefix of this Wine and of LAYOUT ($2), a number each script bumps
# when its set-up changes; else builds it anew, with WORK_DIR ($1) holding the stamp and the log.
# A SET-UP command (the rest) runs on the new prefix with the log's path as its last argument.
# A prefix whose processes cannot start (Wine's boot left it without kernel32.dll) is thrown
# away and built once more. A full disk leaves one like that too, so the space is checked first
# and reported with a failure.
ensure_wine_prefix() {
    local work_dir=$1 layout=$2
    shift 2
    local stamp=$work_dir/prefix.key key
    key="$("$WINE" --version) $(uname -m) uid=$(id -u) layout=$layout"
    if [[ -f $WINEPREFIX/system.reg && -f $stamp && $(<"$stamp") == "$key" ]]; then
        return 0
    fi
    say "# creating a Wine prefix in $WINEPREFIX"
    if ! rm -f "$stamp" || ! remove_wine_prefix; then
        die "cannot remove the old prefix $WINEPREFIX"
    fi
    local free
    free=$(free_megabytes "$work_dir")
    ((free >= PREFIX_MEGABYTES)) ||
        die "a Wine prefix takes about $PREFIX_MEGABYTES MB, and $work_dir has $free MB free"
    local started attempt log=$work_dir/wineboot.log
    started=$(now_ms)
    for attempt in 1 2; do
        if build_wine_prefix "$log" "$@"; then
            say "$key" >"$stamp"
            say "# Wine prefix created in $(elapsed_since "$started") s"
            return 0
        fi
        say "# building the prefix failed (attempt $attempt): $(tail -n 2 "$log" | tr '\n' ' ')"
        remove_wine_prefix || break
    done
    die "creating the Wine prefix failed ($(free_megabytes "$work_dir") MB free);" \
        "see $log: $(tail -n 2 "$log" | tr '\n' ' ')"
}

# What a new prefix takes on disk, with room to spare.
readonly PREFIX_MEGABYTES=1024

# The space left, in MB, on the file system of folder $1.
free_megabytes() { df -Pm "$1" | awk 'NR == 2 { print $4 }'; }

# Ends whatever of WINEPREFIX runs and removes it.
remove_wine_prefix() {
    [[ -e $WINEPREFIX ]] || return 0
    stop_wineserver
    rm -rf "$WINEPREFIX"
}

# One try of ensure_wine_prefix: a new prefix, booted, a process of its own started in it, set
# up, its server ended and its registry saved. LOG ($1) takes the output; the set-up command is
# the rest.
build_wine_prefix() {
    local log=$1
    shift
    timeout -k 5 "$PREFIX_DEADLINE" "$WINE" wineboot --init </dev/null >"$log" 2>&1 &&
        timeout -k 5 60 "$WINE" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' \
            /v CurrentVersion </dev/null >>"$log" 2>&1 &&
        { (($# == 0)) || "$@" "$log"; } &&
        timeout 60 "$WINESERVER_PATH" -w && [[ -f $WINEPREFIX/system.reg ]]
}

# Part of a set-up for ensure_wine_prefix, LOG ($1) its log: Wine's own fonts go into the prefix,
# where this Wine build looks for them (Marlett draws the caption buttons), and the Chinese fonts
# the system links to become Debian's CJK font (fonts-wqy-microhei).
use_wine_fonts() {
    local log=$1 fonts replacement
    fonts=$(dirname "$(readlink -f "$WINE")")/../../share/wine/fonts
    [[ -d $fonts ]] || fonts=/usr/share/wine/fonts
    cp "$fonts"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>>"$log" || return 1
    for replacement in SimSun NSimSun; do
        wine_call reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$replacement" \
            /d 'WenQuanYi Micro Hei' /f >>"$log" || return 1
    done
}

# A set-up for ensure_wine_prefix: Wine's virtual desktop of SIZE ($1), which gives the programs
# Wine's own shell and tray. On the bare X server, with no window manager, Wine's stand-in tray
# stalls every NIM_DELETE for two seconds.
use_virtual_desktop() {
    wine_call reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$2" &&
        wine_call reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$1" /f >>"$2"
}
