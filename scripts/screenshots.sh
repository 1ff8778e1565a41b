#!/usr/bin/env bash
# Takes the README's screenshots: the note on a desktop under Xvfb with openbox and a
# compositor, on its display page and on its edit page.
# Usage: scripts/screenshots.sh BUILD_DIR OUTPUT_DIR
set -euo pipefail
build_dir=$(cd "$1" && pwd)
out_dir=$(mkdir -p "$2" && cd "$2" && pwd)
work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x800x24 +extension Composite -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
timeout 10 sh -c 'until xdpyinfo >/dev/null 2>&1; do sleep 0.1; done'
openbox >/dev/null 2>&1 &
pids+=($!)
timeout 10 sh -c 'until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; do sleep 0.1; done'
xcompmgr >/dev/null 2>&1 &
pids+=($!)
hsetroot -add "#23507f" -add "#8fb8de" -gradient 0

cp "$build_dir/deskMemo" "$work/"
printf '%s' '今日事，今日毕。' >"$work/myText"
(cd "$work" && exec ./deskMemo) &
pids+=($!)
window=$(timeout 10 sh -c 'until xdotool search --onlyvisible --name "^deskMemo$"; do sleep 0.1; done' | head -n 1)
sleep 0.5
# The note stands at (500, 500); the crops show it with some desktop around.
import -window root -crop 520x150+470+480 +repage "$out_dir/display-page.png"
xdotool mousemove 600 545 click --repeat 2 --delay 80 1
sleep 0.5
import -window root -crop 820x330+440+470 +repage "$out_dir/edit-page.png"
echo "window $window: screenshots in $out_dir"
