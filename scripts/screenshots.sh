#!/usr/bin/env bash
# Takes the README's pictures of every window under a private Xvfb: the start-up transition, the strip, the
# revealed picture, the control window and its about panel, the program's message, the name prompt, a capture,
# the error report and a revealed photo. Writes them into docs/ (or the folder given).
#   scripts/screenshots.sh [OUT_FOLDER]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$PWD
out=$(realpath -m "${1:-docs}")
work=$repo/build/shots

bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Velmo velmo_e2e_screenshots
cmake --preset native >/dev/null
cmake --build --preset native --target sample-bmp

rm -rf "$work" && mkdir -p "$work/frames" "$out"
build/native/tools/sample-bmp "$work/sample.bmp"
# A photo larger than the screen: ImageMagick's plasma with a fixed seed stands in for a landscape, 3600 x 2400,
# stored turned a quarter anticlockwise; the driver gives it the Exif orientation that turns it back.
convert -seed 7 -size 3600x2400 plasma:skyblue-forestgreen -blur 0x3 -rotate -90 -quality 90 "$work/photo.jpg"

. scripts/wine-env.sh
trap velmo_cleanup EXIT
velmo_display
velmo_wine_prefix

winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
"$repo/scripts/wine-exec.sh" build/windows/tests/e2e/velmo_e2e_screenshots.exe "$(winpath "$work")" \
    "$(winpath "$work/sample.bmp")" "$(winpath "$work/photo.jpg")" &
driver=$!
# The start-up transition, as frames while the driver waits for the strip.
for i in $(seq -w 0 50); do
    import -window root "$work/frames/f$i.png"
    sleep 0.05
done
wait "$driver"

convert -delay 12 -loop 0 "$work"/frames/f*.png -scale 50% -layers Optimize "$out/splash-transition.gif"
convert "$work/strip.bmp" -scale 200% "$out/strip.png"
convert "$work/revealed.bmp" -scale 50% "$out/revealed.png"
convert "$work/revealed-photo.bmp" -scale 50% "$out/revealed-photo.png"
convert "$work/captured.bmp" -scale 50% "$out/captured.png"
for name in control-window about-panel message name-prompt error-report; do
    convert "$work/$name.bmp" "$out/$name.png"
done
echo "$out"
