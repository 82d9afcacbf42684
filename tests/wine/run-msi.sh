#!/usr/bin/env bash
# lumiset.msi under Wine's msiexec: a silent install (files, Start-menu shortcuts, the Apps &
# features entry, the logon task, "DeviceEnable" = 1), Lumiset started from it; a newer package
# over the running copy (one entry, the files replaced, a stored 0 kept, the copy running on); an
# older package refused; a repair that keeps the stored value; the uninstall with Lumiset running
# (it ends, and nothing of it is left); then the package that make sign makes, signed with a
# throwaway certificate: it installs, and its signed Lumiset.exe starts and ends with lumisetctl.
#
# usage: run-msi.sh LUMISET_MSI PROBE_EXE [WORK_DIR]
#   LUMISET_MSI is the windows preset's package; Lumiset.exe and lumisetctl.exe of the same build
#   (its app folder) go into the newer and older packages that this script builds.
#   WORK_DIR (default: the probe's folder/wine-msi) keeps the Wine prefix, which later runs reuse
#   while it matches this Wine and this script, the packages and msiexec's logs.
# exit: 0 every check passed, 1 a check failed, 2 usage or set-up error, 77 skipped.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=run-msi
# shellcheck source=wine-common.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/wine-common.sh"

readonly HOST_KEY='HKLM\SOFTWARE\Corvance\CV Lumen Webcam'
readonly UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
readonly PROGRAM_DIR='C:\Program Files\Lumiset'
readonly PREFIX_LAYOUT=1

# Deadlines, in seconds.
readonly START_DEADLINE=15
readonly EXIT_DEADLINE=5
readonly MSIEXEC_DEADLINE=120
readonly WINE_CALL_DEADLINE=30
readonly PREFIX_DEADLINE=240

# ---------------------------------------------------------------------------------------------
# Outside the display.

run_outside() {
    [[ $# -eq 2 || $# -eq 3 ]] || die "usage: run-msi.sh LUMISET_MSI PROBE_EXE [WORK_DIR]"
    local msi=$1 probe=$2
    [[ -f $msi ]] || skip "$msi does not exist (build it with the windows preset)"
    [[ -f $probe ]] || die "$probe does not exist; the windows preset builds it with the package"
    local bin_dir
    bin_dir=$(dirname "$msi")/app
    [[ -f $bin_dir/Lumiset.exe ]] || die "$bin_dir/Lumiset.exe does not exist"
    command -v wixl >/dev/null || die "no wixl (tools/install-deps.sh installs it)"
    command -v msiinfo >/dev/null || die "no msiinfo (tools/install-deps.sh installs msitools)"
    command -v osslsigncode >/dev/null || die "no osslsigncode (tools/install-deps.sh installs it)"
    find_wine_and_display
    lock_work_dir "${3:-$(dirname "$probe")/wine-msi}"

    LUMISET_MSI=$(readlink -f "$msi")
    LUMISET_BIN_DIR=$(readlink -f "$bin_dir")
    LUMISET_PROBE=$(readlink -f "$probe")
    export LUMISET_MSI_INSIDE=1 LUMISET_MSI LUMISET_BIN_DIR LUMISET_PROBE WINE_LAUNCHER \
        WINESERVER_PATH LUMISET_WORK_DIR=$WORK_DIR WINEPREFIX=$WORK_DIR/prefix
    run_on_virtual_display "$(readlink -f "${BASH_SOURCE[0]}")"
}

# ---------------------------------------------------------------------------------------------
# Inside the display.

WINE=${WINE_LAUNCHER:-}
DRIVE_C=${WINEPREFIX:-}/drive_c
INSTALLED_DIR=$DRIVE_C/Program\ Files/Lumiset
TASK_FILE=$DRIVE_C/windows/system32/tasks/Lumiset
SOURCE_DIR=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../..
BUILD_SCRIPT=$SOURCE_DIR/installer/build-msi.sh
KEEP_ALIVE_PID=
LUMISET_PID=
WINE_CALL_OUTPUT=${LUMISET_WORK_DIR:-}/wine-call.out
WHY=

probe() { wine_call "$LUMISET_PROBE" "$@"; }
reg_call() { wine_call reg "$@"; }

# msiexec with its arguments; its log goes to WORK_DIR/$1.log. Returns msiexec's status.
MSIEXEC_SECONDS=
MSIEXEC_STATUS=
msiexec() {
    local log=$1 started status
    shift
    started=$(now_ms)
    timeout -k 5 "$MSIEXEC_DEADLINE" "$WINE" msiexec "$@" /qn /l*v "$LUMISET_WORK_DIR/$log.log" \
        </dev/null >"$LUMISET_WORK_DIR/$log.out" 2>&1
    status=$?
    MSIEXEC_SECONDS=$(elapsed_since "$started")
    MSIEXEC_STATUS=$status
    return "$status"
}

# Why the msiexec run named $1 failed: its status and what it printed.
msiexec_failure() {
    local said
    said=$(tr -d '\r' <"$LUMISET_WORK_DIR/$1.out" | tr '\n' ' ')
    say "msiexec exited with status $MSIEXEC_STATUS (see $1.log)${said:+: $said}"
}

# Reports check $1: passed when WHY is empty.
verdict() {
    if [[ -z $WHY ]]; then ok "$1"; else not_ok "$1" "$WHY"; fi
}
# Notes the first reason a check fails.
fail() { [[ -n $WHY ]] || WHY=$1; }

# The product codes of every installed Lumiset, one a line.
installed_products() {
    reg_call query "$UNINSTALL_KEY" /s | awk '
        /^HKEY_/ { n = split($0, part, "\\"); key = part[n] }
        $1 == "DisplayName" && $2 == "REG_SZ" && $3 == "Lumiset" && NF == 3 { print key }'
}

# "VALUE" of the entry's value $2 for product $1.
entry_value() {
    reg_call query "$UNINSTALL_KEY\\$1" /v "$2" |
        sed -nE "s/^[[:space:]]*$2[[:space:]]+REG_[A-Z_]+[[:space:]]*//p"
}

# Prints "TYPE DATA" of "DeviceEnable", or nothing.
stored_value() {
    reg_call query "$HOST_KEY" /v DeviceEnable |
        sed -nE 's/^[[:space:]]*DeviceEnable[[:space:]]+(REG_[A-Z_]+)[[:space:]]+/\1 /p'
}

key_exists() { reg_call query "$HOST_KEY" >/dev/null 2>&1; }

# The Start-menu folders: Windows puts a per-machine package's shortcuts under ProgramData, Wine
# under the installing user's profile.
shortcut_path() {
    find "$DRIVE_C/ProgramData" "$DRIVE_C/users" -path '*/Start Menu/Programs/*' \
        -name "$1.lnk" 2>/dev/null | head -n 1
}

# Every leftover of an earlier run goes, so that each run starts from a machine without Lumiset.
clear_machine() {
    local product
    for product in $(installed_products); do
        msiexec clear /x "$product"
    done
    reg_call delete 'HKLM\SOFTWARE\Corvance' /f >/dev/null 2>&1
    rm -rf "$INSTALLED_DIR" "$TASK_FILE"
    [[ -z $(installed_products) ]] || die "an earlier Lumiset cannot be uninstalled"
}

# The product version in package $1.
package_version() {
    msiinfo export "$1" Property | sed -nE 's/^ProductVersion\t([0-9.]+).*/\1/p' | tr -d '\r'
}

# Checks that the installed files are those of the build, and the entries of version $1.
check_installed_state() {
    local version=$1 file products product
    for file in Lumiset.exe lumisetctl.exe; do
        cmp -s "$INSTALLED_DIR/$file" "$LUMISET_BIN_DIR/$file" ||
            fail "$PROGRAM_DIR\\$file is not the build's"
    done
    [[ -n $(shortcut_path Lumiset) ]] || fail "no Start-menu shortcut \"Lumiset\""
    file=$(shortcut_path 'Lumiset Settings')
    if [[ -z $file ]]; then
        fail "no Start-menu shortcut \"Lumiset Settings\""
    elif ! tr -d '\0' <"$file" | grep -qa -- '/settings'; then
        fail "the shortcut \"Lumiset Settings\" does not pass /settings"
    fi
    products=$(installed_products)
    if [[ $(wc -w <<<"$products") != 1 ]]; then
        fail "$(wc -w <<<"$products") Apps & features entries for Lumiset"
    else
        product=$products
        [[ $(entry_value "$product" DisplayVersion) == "$version" ]] ||
            fail "the entry's version is \"$(entry_value "$product" DisplayVersion)\", not $version"
        [[ $(entry_value "$product" Publisher) == Corvance ]] ||
            fail "the entry's publisher is \"$(entry_value "$product" Publisher)\""
        reg_call query 'HKLM\Software\Classes\Installer\Products' /s /v ProductIcon |
            grep -qF "$product" || fail "the product has no icon"
    fi
    # Wine registers the task but keeps only its description and settings (no trigger, principal
    # or command): the definition is checked as the package installs it.
    local task
    task=$(tr -d '\0\r' <"$INSTALLED_DIR/logon-task.xml" 2>/dev/null)
    [[ $task == *'<LogonTrigger>'* && $task == *'<GroupId>S-1-5-32-545</GroupId>'* &&
        $task == *'<RunLevel>HighestAvailable</RunLevel>'* &&
        $task == *'<Command>%ProgramFiles%\Lumiset\Lumiset.exe</Command>'* ]] ||
        fail "$PROGRAM_DIR\logon-task.xml is not the logon task"
    if [[ ! -f $TASK_FILE ]] ||
        ! tr -d '\0' <"$TASK_FILE" | grep -q '<Description>Starts Lumiset at logon.'; then
        fail "no logon task \"Lumiset\" registered"
    fi
}

start_installed_lumiset() {
    "$WINE" "$PROGRAM_DIR\\Lumiset.exe" </dev/null >>"$LUMISET_WORK_DIR/lumiset.log" 2>&1 &
    LUMISET_PID=$!
    probe wait-present $((START_DEADLINE * 1000)) >/dev/null
}

check_install() {
    local name='a silent install puts the files, the shortcuts, the entry, the logon task and the value 1 in place'
    WHY=
    if ! msiexec install /i "$CURRENT_MSI"; then
        not_ok "$name" "$(msiexec_failure install)"
        return 1
    fi
    say "# install: ${MSIEXEC_SECONDS} s"
    check_installed_state "$CURRENT_VERSION"
    [[ $(stored_value) == 'REG_DWORD 0x1' ]] || fail "DeviceEnable is \"$(stored_value)\""
    verdict "$name"
    [[ -z $WHY ]]
}

check_start() {
    local name='the installed Lumiset.exe starts and stays'
    WHY=
    start_installed_lumiset || fail "no host window within $START_DEADLINE s"
    sleep 1.5
    is_running "$LUMISET_PID" || fail "it ended"
    verdict "$name"
}

check_upgrade_while_running() {
    local name="a newer package ($NEWER_VERSION) replaces this one in place while Lumiset runs; a stored 0 is kept"
    WHY=
    reg_call add "$HOST_KEY" /v DeviceEnable /t REG_DWORD /d 0 /f >/dev/null
    if ! msiexec upgrade /i "$NEWER_MSI"; then
        not_ok "$name" "$(msiexec_failure upgrade)"
        return
    fi
    say "# upgrade: ${MSIEXEC_SECONDS} s"
    check_installed_state "$NEWER_VERSION"
    [[ $(stored_value) == 'REG_DWORD 0x0' ]] || fail "DeviceEnable is \"$(stored_value)\""
    # The key stayed throughout, or the running copy would have ended.
    is_running "$LUMISET_PID" || fail "Lumiset ended during the upgrade"
    verdict "$name"
}

# Whether msiexec's log $1 says the launch conditions failed. Wine may finish writing the log a
# moment after msiexec has exited.
launch_condition_failed() {
    local deadline=$(($(now_ms) + EXIT_DEADLINE * 1000))
    until tr -d '\0' <"$1" | grep -q 'LaunchConditions.* Return value [03]'; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.2
    done
}

check_older_refused() {
    local name="an older package ($OLDER_VERSION) is refused with a message"
    WHY=
    local status
    msiexec older /i "$OLDER_MSI"
    status=$?
    say "# older package: msiexec exited with status $status"
    if ((status == 0)); then
        fail "msiexec /i succeeded"
    elif ! launch_condition_failed "$LUMISET_WORK_DIR/older.log"; then
        fail "msiexec /i exited with status $status, not for its launch condition"
    fi
    # Windows shows (and logs) the condition's message; Wine's silent install does neither.
    msiinfo export "$OLDER_MSI" LaunchCondition | grep -q 'a newer one is already installed' ||
        fail "the package has no message for the refusal"
    check_installed_state "$NEWER_VERSION"
    [[ $(stored_value) == 'REG_DWORD 0x0' ]] || fail "DeviceEnable is \"$(stored_value)\""
    verdict "$name"
}

check_repair() {
    local name='a repair of every file and registry value keeps the stored value'
    WHY=
    # Wine's msiexec /f takes no package file; this is the same repair from the package.
    msiexec repair /i "$NEWER_MSI" REINSTALL=ALL REINSTALLMODE=amus ||
        fail "msiexec /i REINSTALL=ALL exited with status $?"
    [[ $(stored_value) == 'REG_DWORD 0x0' ]] || fail "DeviceEnable is \"$(stored_value)\""
    [[ -f $INSTALLED_DIR/Lumiset.exe ]] || fail "Lumiset.exe is gone"
    verdict "$name"
}

check_uninstall_while_running() {
    local name='uninstalling ends the running Lumiset and leaves nothing of it'
    WHY=
    is_running "$LUMISET_PID" || fail "Lumiset was not running before the uninstall"
    local started
    started=$(now_ms)
    msiexec uninstall /x "$NEWER_MSI" || fail "msiexec /x exited with status $?"
    say "# uninstall: ${MSIEXEC_SECONDS} s"
    if ! wait_for_exit "$LUMISET_PID" "$EXIT_DEADLINE"; then
        fail "Lumiset still runs $EXIT_DEADLINE s after the uninstall"
    else
        say "# Lumiset ended within $(elapsed_since "$started") s of the uninstall's start"
    fi
    [[ -e $INSTALLED_DIR ]] && fail "$PROGRAM_DIR is left: $(ls "$INSTALLED_DIR" | tr '\n' ' ')"
    [[ -n $(shortcut_path Lumiset) || -n $(shortcut_path 'Lumiset Settings') ]] &&
        fail "a Start-menu shortcut is left"
    [[ -e $TASK_FILE ]] && fail "the logon task is left"
    key_exists && fail "$HOST_KEY is left"
    [[ -n $(installed_products) ]] && fail "an Apps & features entry is left"
    verdict "$name"
}

# The signed package (make sign's script with a throwaway certificate) installs the signed
# programs, and Lumiset.exe from it starts and ends as the build's does.
check_signed_package() {
    local name='the signed package installs; its signed Lumiset.exe starts, and lumisetctl exit ends it'
    WHY=
    local signed=$LUMISET_WORK_DIR/signed file started
    started=$(now_ms)
    rm -rf "$signed" "$LUMISET_WORK_DIR/cert"
    mkdir -p "$LUMISET_WORK_DIR/cert"
    if ! "$SOURCE_DIR/tests/sign/make-test-cert.sh" "$LUMISET_WORK_DIR/cert" >/dev/null ||
        ! SIGN_CERT=$LUMISET_WORK_DIR/cert/cert.pem SIGN_KEY=$LUMISET_WORK_DIR/cert/key.pem \
            "$SOURCE_DIR/tools/sign-release.sh" "$(dirname "$LUMISET_MSI")" "$signed" >/dev/null; then
        not_ok "$name" "signing the build's files failed"
        return
    fi
    if ! msiexec signed /i "$signed/lumiset.msi"; then
        not_ok "$name" "$(msiexec_failure signed)"
        return
    fi
    say "# signed install: ${MSIEXEC_SECONDS} s"
    for file in Lumiset.exe lumisetctl.exe; do
        cmp -s "$INSTALLED_DIR/$file" "$signed/$file" ||
            fail "$PROGRAM_DIR\\$file is not the signed one"
    done
    if ! start_installed_lumiset; then
        fail "no host window within $START_DEADLINE s"
    else
        wine_call "$PROGRAM_DIR\\lumisetctl.exe" exit >/dev/null ||
            fail "lumisetctl exit exited with status $?"
        wait_for_exit "$LUMISET_PID" "$EXIT_DEADLINE" ||
            fail "Lumiset still runs $EXIT_DEADLINE s after lumisetctl exit"
    fi
    msiexec signed-uninstall /x "$signed/lumiset.msi" || fail "msiexec /x exited with status $?"
    say "# signed package: signed, installed, run and uninstalled in $(elapsed_since "$started") s"
    verdict "$name"
}

run_inside() {
    start_wine_session stop_lumiset_session
    # A virtual desktop gives Lumiset Wine's own shell and tray.
    ensure_wine_prefix "$LUMISET_WORK_DIR" "$PREFIX_LAYOUT" use_virtual_desktop 1024x768
    local started
    started=$(now_ms)
    start_keep_alive "$LUMISET_PROBE"

    CURRENT_MSI=$LUMISET_MSI
    CURRENT_VERSION=$(package_version "$CURRENT_MSI")
    [[ $CURRENT_VERSION =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)(\.[0-9]+)?$ ]] ||
        die "no product version in $CURRENT_MSI"
    # Windows Installer compares the first three fields.
    NEWER_VERSION=${BASH_REMATCH[1]}.${BASH_REMATCH[2]}.$((BASH_REMATCH[3] + 1)).0
    OLDER_VERSION=0.0.1
    [[ $CURRENT_VERSION != 0.0.* ]] || die "version $CURRENT_VERSION leaves no older one to test"
    NEWER_MSI=$LUMISET_WORK_DIR/lumiset-$NEWER_VERSION.msi
    OLDER_MSI=$LUMISET_WORK_DIR/lumiset-$OLDER_VERSION.msi
    if ! "$BUILD_SCRIPT" "$NEWER_MSI" "$NEWER_VERSION" "$LUMISET_BIN_DIR" ||
        ! "$BUILD_SCRIPT" "$OLDER_MSI" "$OLDER_VERSION" "$LUMISET_BIN_DIR"; then
        die "building the test packages failed"
    fi

    clear_machine
    if check_install; then
        check_start
        check_upgrade_while_running
        check_older_refused
        check_repair
        check_uninstall_while_running
        check_signed_package
    fi

    say "# not checked under Wine: the refusal's message on the screen (a silent install under" \
        "Wine neither shows nor logs it)"
    say "# not checked under Wine: the logon task's trigger, group, run level and command (Wine's" \
        "task scheduler keeps none of them, and runs no task at logon)"
    say "# checks took $(elapsed_since "$started") s"
    say "$PASSED passed, $FAILED failed"
    ((FAILED == 0))
}

if [[ ${LUMISET_MSI_INSIDE:-} == 1 ]]; then
    run_inside
else
    run_outside "$@"
fi
