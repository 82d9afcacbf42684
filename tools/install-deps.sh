#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when they are missing, and the locale
# that the Wine checks and pictures in Simplified Chinese run under. ImageMagick takes the
# pictures; fonts-wqy-microhei draws their Chinese text.
set -euo pipefail

packages=(cmake g++ make googletest libgtest-dev libgmock-dev
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine64 wine xvfb xauth locales wixl msitools
          imagemagick fonts-wqy-microhei
          libedit-dev pkg-config
          osslsigncode openssl  # Authenticode signing, for make sign
          clang libclang-rt-dev)  # clang with libFuzzer, for the fuzz targets

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

has_chinese_locale() { locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; }

[ ${#missing[@]} -eq 0 ] && has_chinese_locale && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]:-none}; zh_CN.UTF-8 locale:" \
         "$(has_chinese_locale && echo present || echo missing) (run as root, or install them)" >&2
    exit 1
fi
if [ ${#missing[@]} -ne 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if ! has_chinese_locale; then
    echo "install-deps: generating the zh_CN.UTF-8 locale"
    localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
