#!/usr/bin/env bash
# Signs a release with Authenticode: Lumiset.exe and lumisetctl.exe of the windows build, then a
# lumiset.msi built again from those signed programs (so that what it installs is signed too),
# itself signed. The build's own files stay as they are; the signed ones go to OUT_DIR, and only
# when all three are signed.
#
# usage: SIGN_CERT=cert.pem SIGN_KEY=key.pem [SIGN_TIMESTAMP_URL=URL] sign-release.sh BUILD_DIR OUT_DIR
#        SIGN_CERT=cert.pem SIGN_KEY=key.pem sign-release.sh --check
#   SIGN_CERT           the PEM certificate, or the chain with the signer's certificate first
#   SIGN_KEY            its PEM private key, not encrypted
#   SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server; unset or empty: no time stamp
#   BUILD_DIR           the windows preset's folder (app/Lumiset.exe, app/lumisetctl.exe, lumiset.msi)
#   --check             only checks the certificate and the key (make sign does, before it builds)
# exit: 0 signed, 1 signing failed, 2 usage error or bad input.
set -euo pipefail
export LC_ALL=C

die() {
    printf 'sign-release: %s\n' "$1" >&2
    exit "${2:-2}"
}

[[ $# -eq 2 || ($# -eq 1 && $1 == --check) ]] ||
    die "usage: SIGN_CERT=cert.pem SIGN_KEY=key.pem [SIGN_TIMESTAMP_URL=URL] sign-release.sh BUILD_DIR OUT_DIR"
build_dir=$1 out_dir=${2:-}
cert=${SIGN_CERT:-} key=${SIGN_KEY:-} timestamp_url=${SIGN_TIMESTAMP_URL:-}
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")

[[ -n $cert ]] || die "no certificate: name one with SIGN_CERT=cert.pem"
[[ -n $key ]] || die "no private key: name one with SIGN_KEY=key.pem"
[[ -f $cert && -r $cert ]] || die "cannot read the certificate SIGN_CERT=$cert"
[[ -f $key && -r $key ]] || die "cannot read the private key SIGN_KEY=$key"
for tool in osslsigncode openssl msiinfo; do
    command -v "$tool" >/dev/null || die "no $tool (tools/install-deps.sh installs it)"
done

# Checked before anything is signed, with one line that says what is wrong; osslsigncode's own
# messages are pages of OpenSSL's.
cert_key=$(openssl x509 -in "$cert" -noout -pubkey 2>/dev/null) ||
    die "SIGN_CERT=$cert is not a PEM certificate"
openssl x509 -in "$cert" -noout -checkend 0 >/dev/null 2>&1 ||
    die "the certificate SIGN_CERT=$cert has expired"
# An empty passphrase makes an encrypted key fail here rather than prompt.
key_key=$(openssl pkey -in "$key" -passin pass: -pubout 2>/dev/null) ||
    die "SIGN_KEY=$key is not an unencrypted PEM private key"
[[ $cert_key == "$key_key" ]] ||
    die "the private key SIGN_KEY=$key does not belong to the certificate SIGN_CERT=$cert"
[[ $build_dir != --check ]] || exit 0

for file in app/Lumiset.exe app/lumisetctl.exe lumiset.msi; do
    [[ -f $build_dir/$file ]] || die "$build_dir/$file does not exist (run make windows first)"
done

version=$(msiinfo export "$build_dir/lumiset.msi" Property |
    sed -nE 's/^ProductVersion\t([0-9.]+).*/\1/p' | tr -d '\r')
[[ -n $version ]] || die "no product version in $build_dir/lumiset.msi"

mkdir -p "$out_dir" || die "cannot create $out_dir"
# Beside the results, so that the final moves are renames on one file system.
work=$(mktemp -d "$out_dir/.signing.XXXXXX")
trap 'rm -rf "$work"' EXIT

sign() {
    local args=(sign -certs "$cert" -key "$key" -h sha256 -n Lumiset)
    [[ -z $timestamp_url ]] || args+=(-ts "$timestamp_url")
    if ! osslsigncode "${args[@]}" -in "$1" -out "$2" >"$work/osslsigncode.log" 2>&1; then
        cat "$work/osslsigncode.log" >&2
        die "osslsigncode could not sign $(basename "$1")" 1
    fi
}

mkdir "$work/app"
sign "$build_dir/app/Lumiset.exe" "$work/app/Lumiset.exe"
sign "$build_dir/app/lumisetctl.exe" "$work/app/lumisetctl.exe"
chmod +x "$work/app/Lumiset.exe" "$work/app/lumisetctl.exe"
"$here/../installer/build-msi.sh" "$work/unsigned.msi" "$version" "$work/app" ||
    die "building lumiset.msi from the signed programs failed" 1
sign "$work/unsigned.msi" "$work/lumiset.msi"

mv -f "$work/app/Lumiset.exe" "$work/app/lumisetctl.exe" "$work/lumiset.msi" "$out_dir/"
stamped=
[[ -z $timestamp_url ]] || stamped=", time-stamped by $timestamp_url"
printf 'sign-release: signed into %s: Lumiset.exe, lumisetctl.exe, lumiset.msi%s\n' "$out_dir" \
    "$stamped"
