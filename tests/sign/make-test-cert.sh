#!/usr/bin/env bash
# Makes a throwaway self-signed code-signing certificate for the signing tests: RSA 2048, valid
# for two days, cert.pem and key.pem in DIR. Prints the subject as osslsigncode shows it.
#
# usage: make-test-cert.sh DIR
# exit: 0 made, 1 openssl failed, 2 usage error.
set -euo pipefail
export LC_ALL=C

readonly SUBJECT='/CN=Lumiset Test Signer/O=Lumiset tests'

[[ $# -eq 1 && -d $1 ]] || {
    printf 'usage: make-test-cert.sh DIR\n' >&2
    exit 2
}
if ! openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "$SUBJECT" \
    -keyout "$1/key.pem" -out "$1/cert.pem" \
    -addext 'basicConstraints=critical,CA:FALSE' \
    -addext 'keyUsage=critical,digitalSignature' \
    -addext 'extendedKeyUsage=codeSigning' >"$1/openssl.log" 2>&1; then
    cat "$1/openssl.log" >&2
    exit 1
fi
printf '%s\n' "$SUBJECT"
