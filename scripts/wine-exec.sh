#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-exec.sh PROG.exe [ARGS...]
# CTest uses it as the emulator for the cross-built test programs. Standard output passes
# through untouched, standard error loses only Wine's known harmless notices, and the exit
# code is the program's.
#
# Inside scripts/test.sh (or any shell that called velmo_display and velmo_wine_prefix) it
# uses the session prepared there. Called on its own, as by a plain `ctest --preset windows`,
# it prepares the prefix and a private Xvfb for this one program and stops them afterwards;
# such calls wait for each other, because they share the prefix.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine-env.sh"

if (($# == 0)); then
    echo "usage: $0 PROG.exe [ARGS...]" >&2
    exit 2
fi

# Wine's notices that say nothing about the program: Debian's wine launcher and wineboot
# when there is no 32-bit Wine, and the file dialog when it probes the root of drive Z:.
noise_lines=(
    'it looks like wine32 is missing, you should install it\.$'
    'multiarch needs to be enabled first\.  as root, please$'
    'execute "dpkg --add-architecture i386 && apt-get update &&$'
    'apt-get install wine32:i386"$'
    'as root, please execute "apt-get install wine32:i386"$'
    'wine: Read access denied for device L"'
    'wine: failed to open L"C:\\\\windows\\\\syswow64\\\\rundll32\.exe": c0000135$'
)
noise="^($(IFS='|'; echo "${noise_lines[*]}"))"

# Byte-wise, so that Shift-JIS text from the program passes unchanged.
filter_noise() {
    LC_ALL=C grep -a --line-buffered -v -E "$noise" >&2
    return 0
}

if [ -n "${VELMO_WINE_READY:-}" ] && [ "$VELMO_WINE_READY" = "${WINEPREFIX:-}" ] &&
    [ -n "${VELMO_DISPLAY_READY:-}" ] && [ "$VELMO_DISPLAY_READY" = "${DISPLAY:-}" ]; then
    # The program replaces this script, so a CTest timeout stops the program itself.
    exec wine "$@" 2> >(filter_noise)
fi

trap velmo_cleanup EXIT
velmo_display || exit 125
velmo_wine_prefix || exit 125

exec 3<&0
wine "$@" <&3 3<&- 2> >(filter_noise) &
pid=$!
trap 'kill "$pid" 2>/dev/null' INT TERM HUP
wait "$pid"
exit $?
