#!/usr/bin/env bash
# tools/sign-release.sh with a throwaway certificate: the three signed copies verify against it
# with its subject as the signer, the package installs signed programs, the build's files stay
# unsigned, and a chain in SIGN_CERT goes into the signatures; then bad input (no certificate,
# one that cannot be read, a key of another certificate, a time-stamp server that does not
# answer) fails with one clear line and leaves the build's files and the earlier signed copies as
# they were.
#
# usage: check-sign-release.sh BUILD_DIR
#   BUILD_DIR  the windows preset's folder (app/Lumiset.exe, app/lumisetctl.exe, lumiset.msi)
# exit: 0 every check passed, 1 a check failed, 2 usage or set-up error, 77 skipped.
set -uo pipefail
export LC_ALL=C
readonly SCRIPT_NAME=check-sign-release
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
readonly SIGN=$here/../../tools/sign-release.sh
readonly SIGNED_FILES=(Lumiset.exe lumisetctl.exe lumiset.msi)

say() { printf '%s\n' "$*"; }
die() {
    say "$SCRIPT_NAME: $*" >&2
    exit 2
}
PASSED=0
FAILED=0
WHY=
fail() { [[ -n $WHY ]] || WHY=$1; }
verdict() {
    if [[ -z $WHY ]]; then
        say "ok - $1"
        PASSED=$((PASSED + 1))
    else
        say "not ok - $1: $WHY"
        FAILED=$((FAILED + 1))
    fi
    WHY=
}

[[ $# -eq 1 ]] || die "usage: check-sign-release.sh BUILD_DIR"
build_dir=$1
for file in app/Lumiset.exe app/lumisetctl.exe lumiset.msi; do
    if [[ ! -f $build_dir/$file ]]; then
        say "$SCRIPT_NAME: skipped: $build_dir/$file does not exist (build it with the windows preset)"
        exit 77
    fi
done
for tool in osslsigncode openssl msiextract; do
    command -v "$tool" >/dev/null || die "no $tool (tools/install-deps.sh installs it)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/cert" "$work/other"
subject=$("$here/make-test-cert.sh" "$work/cert") || die "openssl could not make a certificate"
"$here/make-test-cert.sh" "$work/other" >/dev/null || die "openssl could not make a certificate"

# The build's files, by checksum, and those of a folder's signed copies.
build_sums() { (cd "$build_dir" && sha256sum app/Lumiset.exe app/lumisetctl.exe lumiset.msi); }
signed_sums() { (cd "$1" && sha256sum "${SIGNED_FILES[@]}" 2>&1; folder_names .); }
folder_names() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f ' | tr ' ' '\n' | sort | tr '\n' ' '; }
BUILD_SUMS=$(build_sums) || die "cannot read the build's files"
readonly BUILD_SUMS

# Runs the signing script with the environment in the arguments before "--"; its status goes to
# STATUS, its error output to ERRORS.
STATUS=
ERRORS=
sign_with() {
    local env=()
    while [[ $1 != -- ]]; do
        env+=("$1")
        shift
    done
    shift
    env -u SIGN_CERT -u SIGN_KEY -u SIGN_TIMESTAMP_URL "${env[@]}" "$SIGN" "$@" \
        >"$work/sign.out" 2>"$work/sign.err"
    STATUS=$?
    ERRORS=$(<"$work/sign.err")
}

# Checks that file $1 carries a SHA-256 signature that verifies against the certificate authority
# in file $2 (default: the throwaway certificate) and names subject $3 (default: its subject) as
# the signer.
check_signature() {
    local report
    if ! report=$(osslsigncode verify -CAfile "${2:-$work/cert/cert.pem}" -in "$1" 2>&1) ||
        [[ $report != *'Signature verification: ok'* ]]; then
        fail "$(basename "$1") does not verify: $(grep -m1 -iE 'fail|error' <<<"$report")"
    elif [[ $(sed -nE '/^Signer.s certificate:/,/Subject:/s/^[[:space:]]*Subject: //p' \
        <<<"$report") != "${3:-$subject}" ]]; then
        fail "$(basename "$1") is not signed by ${3:-$subject}"
    elif ! grep -qE '^Message digest algorithm *: SHA256' <<<"$report"; then
        fail "$(basename "$1") is not signed with SHA-256"
    fi
}

# --- A good certificate: three signed copies.
out=$work/signed
sign_with SIGN_CERT="$work/cert/cert.pem" SIGN_KEY="$work/cert/key.pem" -- "$build_dir" "$out"
if ((STATUS != 0)); then
    fail "sign-release.sh exited with status $STATUS: $ERRORS"
else
    for file in "${SIGNED_FILES[@]}"; do
        check_signature "$out/$file"
    done
    [[ $(folder_names "$out") == 'Lumiset.exe lumiset.msi lumisetctl.exe ' ]] ||
        fail "the signed folder holds $(folder_names "$out")"
fi
[[ $(build_sums) == "$BUILD_SUMS" ]] || fail "the build's files changed"
verdict 'Lumiset.exe, lumisetctl.exe and lumiset.msi are signed with SHA-256 by the throwaway certificate; the build stays unsigned'

# The package holds the signed programs, not the build's.
mkdir "$work/extracted"
if ! (cd "$work/extracted" && msiextract "$out/lumiset.msi" >/dev/null 2>&1); then
    fail "msiextract cannot read the signed package"
else
    for file in Lumiset.exe lumisetctl.exe; do
        installed=$(find "$work/extracted" -name "$file" | head -n 1)
        if [[ -z $installed ]]; then
            fail "the signed package holds no $file"
        else
            cmp -s "$installed" "$out/$file" || fail "the package's $file is not the signed one"
            check_signature "$installed"
        fi
    done
fi
verdict 'the signed package installs the signed Lumiset.exe and lumisetctl.exe'

# A chain: the signer's certificate from an intermediate authority, which follows it in SIGN_CERT.
# The signatures verify against the root alone only if they carry the intermediate.
# Issues certificate DIR/cert.pem (key DIR/key.pem) for subject $2 from the authority in folder $3
# (none: self-signed), with the extensions $4, one a line.
issue() {
    local dir=$work/$1 subject=$2 issuer=$3 extensions=$4 line added=()
    mkdir "$dir"
    if [[ -z $issuer ]]; then
        while read -r line; do added+=(-addext "$line"); done <<<"$extensions"
        openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "$subject" -keyout "$dir/key.pem" \
            -out "$dir/cert.pem" "${added[@]}" >"$dir/log" 2>&1
    else
        openssl req -new -newkey rsa:2048 -nodes -subj "$subject" -keyout "$dir/key.pem" \
            -out "$dir/req.pem" >"$dir/log" 2>&1 &&
            openssl x509 -req -in "$dir/req.pem" -CA "$work/$issuer/cert.pem" \
                -CAkey "$work/$issuer/key.pem" -days 2 -out "$dir/cert.pem" \
                -extfile <(printf '%s\n' "$extensions") >>"$dir/log" 2>&1
    fi || die "openssl could not issue $subject: $(tail -n 1 "$dir/log")"
}
readonly AUTHORITY=$'basicConstraints=critical,CA:TRUE\nkeyUsage=critical,keyCertSign'
readonly CHAIN_SIGNER='/CN=Lumiset Chain Signer/O=Lumiset tests'
issue root '/CN=Lumiset Test Root' '' "$AUTHORITY"
issue intermediate '/CN=Lumiset Test Intermediate' root "$AUTHORITY"
issue leaf "$CHAIN_SIGNER" intermediate $'basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=codeSigning'
cat "$work/leaf/cert.pem" "$work/intermediate/cert.pem" >"$work/leaf/chain.pem"
sign_with SIGN_CERT="$work/leaf/chain.pem" SIGN_KEY="$work/leaf/key.pem" -- "$build_dir" \
    "$work/chained"
if ((STATUS != 0)); then
    fail "sign-release.sh exited with status $STATUS: $ERRORS"
else
    for file in "${SIGNED_FILES[@]}"; do
        check_signature "$work/chained/$file" "$work/root/cert.pem" "$CHAIN_SIGNER"
    done
fi
verdict 'a chain in SIGN_CERT: the signatures carry it and verify against its root'

# --- Bad input: one line naming the problem, a non-zero status, and nothing changed.
SIGNED_SUMS=$(signed_sums "$out")
readonly SIGNED_SUMS
# Checks one failed run: status $1, the error line matching $2, nothing changed.
check_refused() {
    if ((STATUS != $1)); then
        fail "exit status $STATUS, not $1"
    elif [[ $(wc -l <<<"$ERRORS") != 1 || $ERRORS != sign-release:*$2* ]]; then
        fail "the error is not one line about \"$2\": $ERRORS"
    fi
    [[ $(build_sums) == "$BUILD_SUMS" ]] || fail "the build's files changed"
    [[ $(signed_sums "$out") == "$SIGNED_SUMS" ]] || fail "the earlier signed copies changed"
}

sign_with SIGN_KEY="$work/cert/key.pem" -- "$build_dir" "$out"
check_refused 2 'SIGN_CERT'
verdict 'no SIGN_CERT: a clear error, nothing signed'

sign_with SIGN_CERT="$work/missing.pem" SIGN_KEY="$work/cert/key.pem" -- "$build_dir" "$out"
check_refused 2 "cannot read the certificate SIGN_CERT=$work/missing.pem"
sign_with SIGN_CERT="$work/cert/key.pem" SIGN_KEY="$work/cert/key.pem" -- "$build_dir" "$out"
check_refused 2 'is not a PEM certificate'
verdict 'a certificate that is missing or not one: a clear error, nothing signed'

sign_with SIGN_CERT="$work/cert/cert.pem" SIGN_KEY="$work/other/key.pem" -- "$build_dir" "$out"
check_refused 2 'does not belong to the certificate'
sign_with SIGN_CERT="$work/cert/cert.pem" SIGN_KEY="$work/other/key.pem" -- --check
check_refused 2 'does not belong to the certificate'
verdict "a key of another certificate: a clear error, before the build with --check, nothing signed"

# osslsigncode itself fails: nothing half-signed is moved into place, no work folder is left.
sign_with SIGN_CERT="$work/cert/cert.pem" SIGN_KEY="$work/cert/key.pem" \
    SIGN_TIMESTAMP_URL=http://127.0.0.1:9/ -- "$build_dir" "$out"
((STATUS == 1)) || fail "exit status $STATUS, not 1"
[[ $(tail -n 1 <<<"$ERRORS") == 'sign-release: osslsigncode could not sign Lumiset.exe' ]] ||
    fail "the last error line is \"$(tail -n 1 <<<"$ERRORS")\""
[[ $(build_sums) == "$BUILD_SUMS" ]] || fail "the build's files changed"
[[ $(signed_sums "$out") == "$SIGNED_SUMS" ]] || fail "the earlier signed copies changed"
verdict 'a time-stamp server that does not answer: status 1, the earlier signed copies kept'

say "$PASSED passed, $FAILED failed"
((FAILED == 0))
