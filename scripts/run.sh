#!/usr/bin/env bash
# Builds Velmo.exe and runs it under Wine, in the prefix's 1024x768 virtual desktop.
set -euo pipefail

usage() {
    cat <<'TXT'
usage: scripts/run.sh [--screenshot PATH] [--seconds N] [--demo]

Builds Velmo.exe (preset "windows") and copies it into the program folder, build/run/
unless VELMO_RUN_DIR names another; Velmo.ini and the picture lists stay there.

With a working $DISPLAY, Velmo runs there in the foreground until it is closed.
Without one, or with --screenshot, Velmo runs on a private Xvfb for N seconds
(default 6); then the screen is saved as PNG (default build/run/velmo-screenshot.png),
its path is printed, and Velmo is asked to close.

--demo shows the main job at once: the program folder (build/demo/ unless
VELMO_RUN_DIR names another) gets a sample picture made by our own BMP writer
and a Velmo.ini that names it; after the start-up the pointer moves onto the
strip, and the screenshot shows the revealed picture.
TXT
}

shot=
seconds=6
demo=
while (($#)); do
    case $1 in
        --screenshot) shot=${2:?--screenshot needs a path}; shift 2 ;;
        --screenshot=*) shot=${1#*=}; shift ;;
        --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
        --seconds=*) seconds=${1#*=}; shift ;;
        --demo) demo=1; shift ;;
        -h|--help) usage; exit 0 ;;
        *) usage >&2; exit 2 ;;
    esac
done
if ! [[ $seconds =~ ^[0-9]+([.][0-9]+)?$ ]]; then
    echo "run.sh: --seconds takes a number of seconds, not '$seconds'" >&2
    exit 2
fi
# Paths given by the caller are relative to the caller's folder.
caller=$PWD
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$PWD
absolute() {
    case $1 in
        /*) echo "$1" ;;
        *) echo "$caller/$1" ;;
    esac
}
default_dir=$repo/build/run
[ -z "$demo" ] || default_dir=$repo/build/demo
run_dir=$(absolute "${VELMO_RUN_DIR:-$default_dir}")
[ -z "$shot" ] || shot=$(absolute "$shot")

bash scripts/deps.sh
cmake --preset windows
cmake --build --preset windows --target Velmo

mkdir -p "$run_dir"
cp build/windows/src/app/Velmo.exe "$run_dir/Velmo.exe"

if [ -n "$demo" ]; then
    # The sample picture comes from the host build of our BMP writer.
    cmake --preset native >/dev/null
    cmake --build --preset native --target sample-bmp
    build/native/tools/sample-bmp "$run_dir/sample.bmp"
    # Wine sees the host's / as drive Z:.
    printf '[Velmo]\r\nPhoto_1=Z:%s\r\n' "$(echo "$run_dir/sample.bmp" | tr / '\\')" >"$run_dir/Velmo.ini"
fi

. scripts/wine-env.sh
trap velmo_cleanup EXIT

if [ -z "$shot" ] && [ -z "$demo" ] && velmo_display_works "${DISPLAY:-}"; then
    export VELMO_USE_DISPLAY=1
    velmo_display
    velmo_wine_prefix
    cd "$run_dir"
    set +e
    "$repo/scripts/wine-exec.sh" Velmo.exe
    exit $?
fi

shot=${shot:-$run_dir/velmo-screenshot.png}
mkdir -p "$(dirname "$shot")"
unset VELMO_USE_DISPLAY
velmo_display
velmo_wine_prefix

log=$(mktemp "${TMPDIR:-/tmp}/velmo-run.XXXXXX")
cd "$run_dir"
"$repo/scripts/wine-exec.sh" Velmo.exe </dev/null >"$log" 2>&1 &
pid=$!

show_log() {
    if [ -s "$log" ]; then
        echo "run.sh: Velmo's output:" >&2
        cat "$log" >&2
    fi
}

sleep "$seconds"
if ! kill -0 "$pid" 2>/dev/null; then
    set +e
    wait "$pid"
    echo "run.sh: Velmo ended (exit code $?) before the screenshot" >&2
    show_log
    rm -f "$log"
    exit 1
fi
if [ -n "$demo" ]; then
    # The pointer touches the strip (left 200, length 250 on the top edge) and the picture fills the screen.
    xdotool mousemove 325 1
    sleep 1.5
fi
# The virtual desktop lives only as long as a Wine program does: take the picture first.
import -window root "$shot"
echo "$shot"

# Without /f, taskkill asks Velmo's windows to close, as the close button would.
wine taskkill /im Velmo.exe </dev/null >/dev/null 2>&1 || true
for ((i = 0; i < 100; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "run.sh: Velmo did not close within 10 s of the close request; stopping it" >&2
    show_log
    rm -f "$log"
    exit 1
fi
set +e
wait "$pid"
rc=$?
set -e
if ((rc != 0)); then
    echo "run.sh: Velmo exited with code $rc" >&2
    show_log
fi
rm -f "$log"
exit "$rc"
