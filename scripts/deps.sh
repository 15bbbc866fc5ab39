#!/usr/bin/env bash
# Installs what building and testing Velmo needs on a Debian machine, once.
# Every later run finds the packages present and returns at once.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    googletest libgtest-dev libbenchmark-dev libstb-dev
    libfuzzer-14-dev libclang-rt-14-dev
    # Debian's Wine 8 decodes JPEG, PNG, TIFF and GIF by itself: its windowscodecs.dll carries its own builds of
    # libjpeg, libpng and libtiff, its GIF decoder is Wine's own, and the zlib1.dll it imports comes with
    # libz-mingw-w64, a dependency of the wine packages; so no codec package is needed (checked in a fresh prefix
    # by the picture loader's tests).
    wine wine64 xvfb x11-utils xdotool imagemagick
    locales fonts-ipafont fonts-ipafont-gothic fonts-ipafont-mincho
    fonts-wine  # Wine's own fonts: without Marlett every caption's close box shows a letter
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
    if [ "$(id -u)" -ne 0 ]; then
        echo "deps: missing packages: ${missing[*]} (run as root to install them)" >&2
        exit 1
    fi
    echo "deps: installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Code page 932 inside Wine needs the Japanese UTF-8 locale on the host.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "deps: locale ja_JP.UTF-8 is missing (run as root to generate it)" >&2
        exit 1
    fi
    sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
fi
