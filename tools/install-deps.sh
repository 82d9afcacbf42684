#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when they are missing.
set -euo pipefail

packages=(cmake g++ make googletest libgtest-dev libgmock-dev
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine64 wine xvfb xauth)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]} (run as root, or install them)" >&2
    exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
