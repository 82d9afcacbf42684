#!/usr/bin/env bash
# Builds lumiset.msi with wixl (msitools) from lumiset.wxs.
#
# usage: build-msi.sh OUTPUT VERSION BIN_DIR
#   VERSION  the product version, e.g. 1.0.0.1 (Windows Installer compares the first three fields)
#   BIN_DIR  the folder holding Lumiset.exe and lumisetctl.exe
# exit: 0 built, 1 wixl or msibuild failed, 2 usage error.
set -euo pipefail
export LC_ALL=C

die() {
    printf 'build-msi: %s\n' "$*" >&2
    exit "${2:-2}"
}

[[ $# -eq 3 ]] || die "usage: build-msi.sh OUTPUT VERSION BIN_DIR"
output=$1 version=$2 bin_dir=$3
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+(\.[0-9]+)?$ ]] || die "bad version \"$version\""
for file in Lumiset.exe lumisetctl.exe; do
    [[ -f $bin_dir/$file ]] || die "$bin_dir/$file does not exist (build the windows preset)"
done
command -v wixl >/dev/null || die "no wixl (tools/install-deps.sh installs it)"

# wixl finds the files by name in the folder it runs in.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$bin_dir/Lumiset.exe" "$bin_dir/lumisetctl.exe" "$work/"
cp "$here/../res/images/webcam.ico" "$work/lumiset.ico"
# The task file says it is UTF-16, as schtasks expects; the tree keeps it as UTF-8 text.
{
    printf '\xff\xfe'
    iconv -f UTF-8 -t UTF-16LE "$here/logon-task.xml"
} >"$work/logon-task.xml"

(cd "$work" && wixl -a x64 -o lumiset.msi -D "Version=$version" "$here/lumiset.wxs") ||
    die "wixl failed" 1
# wixl writes no component condition and no attributes beyond 64-bit and the key-path kind. The
# default setting's component: 64-bit, registry key path, never-overwrite, permanent (0x194).
msibuild "$work/lumiset.msi" -q "UPDATE \`Component\` SET \`Attributes\` = 404, \
    \`Condition\` = 'NOT LUMISET_STORED_SETTING' WHERE \`Component\` = 'DeviceEnableDefault'" ||
    die "msibuild failed" 1
mv "$work/lumiset.msi" "$output"
