#!/usr/bin/env bash
# Takes the README's screenshots. They are the desktop tests' own pictures: those tests run the
# built note on Xvfb with openbox and a compositor and keep a picture of each page, the menu and
# every dialog in BUILD_DIR/desktop-shots; the display page, the edit page and the menu go to
# OUTPUT_DIR, in Chinese and English, and the edit page at 100 % and 150 % on one background.
# Usage: scripts/screenshots.sh BUILD_DIR OUTPUT_DIR
set -euo pipefail
build_dir=$(cd "$1" && pwd)
out_dir=$(mkdir -p "$2" && cd "$2" && pwd)
(cd "$build_dir" && ctest -R '^desktop$' --output-on-failure)
cp "$build_dir/desktop-shots/display-page.png" "$build_dir/desktop-shots/edit-page.png" \
    "$build_dir/desktop-shots/edit-page-100.png" "$build_dir/desktop-shots/edit-page-150.png" \
    "$build_dir/desktop-shots/menu.png" "$build_dir/desktop-shots/english-menu.png" \
    "$build_dir/desktop-shots/english-edit-page.png" "$out_dir/"
echo "screenshots in $out_dir"
