#!/usr/bin/env bash
# The note as a layer surface on sway or KWin nested in Xvfb, used the way a person uses it (drags,
# lock, pin and release under a window, the menu, the edit page and its dialogs, restart), then
# without its module as a plain window. Both compositors pass the same checks, which read
# positions from pictures of the output: the top-left corner of the text's pixels.
# Last, the note on two outputs, one of which goes away.
# Usage: wayland_test.sh sway|kwin DESKMEMO COVER SETTINGSDUMP SHOTS_DIR CLOSEWINDOW   (COVER: a
# plain Qt window; the pictures are kept in SHOTS_DIR; CLOSEWINDOW closes an X window as a window
# manager does).
set -uo pipefail
compositor=$1
program=$(realpath "$2")
cover=$(realpath "$3")
dump=$(realpath "$4")
shots=$(mkdir -p "$5" && cd "$5" && pwd)
close_window=$(realpath "$6")
here=$(cd "$(dirname "$0")" && pwd)
root_tools=()
[ "$(id -u)" != 0 ] || root_tools=(xhost runuser useradd) # for the throw-away user
for tool in Xvfb sway grim kwin_wayland dbus-run-session import xdotool /usr/bin/convert \
    "${root_tools[@]}"; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: scripts/install-deps.sh test installs what this test needs"
        exit 1
    }
done
# shellcheck source=tests/desktop/lib.sh
source "$here/../desktop/lib.sh"
# shellcheck source=tests/wayland/lib.sh
source "$here/lib.sh"
work=$(mktemp -d)
chmod 755 "$work"
trap 'way_stop; desk_stop; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP
way_start "$work" "$compositor" || { echo "$compositor did not start"; cat "$work/compositor.log"; exit 1; }
dir=$work/note
mkdir "$dir"
# The program with its layer-shell module, which it looks for beside itself.
cp "$program" "$(dirname "$program")/deskMemo-layershell.so" "$dir/"
chown -R "$way_user" "$dir"

describe_failure() {
    echo "        text at $(text_at), settings: $("$dump" "$dir/setInfo.ini" 2>/dev/null | tr '\n' ' ')"
}

# The top-left corner of the pixels of exactly COLOUR (the text's, by default) as "x,y".
text_at() {
    local colour=${1:-${text_colour:-#ff7f23}}
    way_shoot "$work/now.png" &&
        $CONVERT "$work/now.png" -fill black +opaque "$colour" -fill white -opaque "$colour" \
            -format '%@' info: 2>/dev/null | sed -n 's/^[1-9][0-9]*x[0-9]*+\([0-9]*\)+\([0-9]*\)$/\1,\2/p'
}
# The note stands at X,Y: its text shows at X,Y plus the text's offset in the window; near: within
# 2 pixels of it.
at() { [ "$(text_at "${3:-}")" = "$(($1 + offset_x)),$(($2 + offset_y))" ]; }
near() {
    local x y
    IFS=, read -r x y < <(text_at && echo) && [ -n "$x" ] || return 1
    x=$((x - offset_x - $1)) y=$((y - offset_y - $2))
    [ "${x#-}" -le 2 ] && [ "${y#-}" -le 2 ]
}
# The pixels of the text right of x = 280, where the cover begins.
right_end() {
    way_shoot "$work/right.png" && $CONVERT "$work/right.png" -crop 1320x1000+280+0 +repage \
        -fill black +opaque '#ff7f23' -fill white -opaque '#ff7f23' -format '%[fx:round(mean*w*h)]' info:
}
right_shows() { [ "$(right_end)" -gt 0 ]; }
right_hidden() { [ "$(right_end)" = 0 ]; }
hidden() { [ -z "$(text_at)" ]; }
# Where the pictures BEFORE and AFTER differ, as "x y w h" (nothing when they do not).
changed() {
    $CONVERT "$1" "$2" -compose difference -composite -threshold 0 -format '%@' info: 2>/dev/null |
        sed -n 's/^\([1-9][0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\)$/\3 \4 \1 \2/p'
}
differs() { way_shoot "$work/after.png" && [ -n "$(changed "$work/before.png" "$work/after.png")" ]; }
same() { way_shoot "$work/after.png" && [ -z "$(changed "$work/before.png" "$work/after.png")" ]; }
ini() {
    local values line
    values=$("$dump" "$dir/setInfo.ini" 2>/dev/null) || return 1
    for line; do grep -qx -- "$line" <<<"$values" || return 1; done
}
exited() { [ "$(cat "$dir/exit-code" 2>/dev/null)" = "$1" ]; }
# The dialog that covered W pixels in width is gone: what differs from the picture before it is
# narrower.
closed() {
    local left top width height
    way_shoot "$work/after.png" || return 1
    read -r left top width height < <(changed "$work/before.png" "$work/after.png")
    [ -z "${width:-}" ] || [ "$width" -lt "$1" ]
}
export -f text_at at near right_end right_shows right_hidden hidden changed differs same ini exited \
    closed way_shoot as_user
export work dir dump way_work way_user way_compositor

note_start() {
    rm -f "$dir/exit-code"
    as_user bash -c 'cd "$1" && ./deskMemo; echo $? >"$1/exit-code"' _ "$dir" >>"$work/note.log" 2>&1 &
    wait_for 10 bash -c '[ -n "$(text_at "$1")" ]' _ "${1:-}"
}
# The note's top-left corner, for pointer positions on it, and the output's scale; measured: where
# it shows now.
note_x=500 note_y=500 zoom=1
point() { echo $((note_x + $1 * zoom)) $((note_y + $2 * zoom)); }
measured() {
    IFS=, read -r note_x note_y < <(text_at)
    note_x=$((note_x - offset_x)) note_y=$((note_y - offset_y))
}
drag() { # X Y DX DY [STEPS]: press on the note, move in STEPS (2) steps as a hand does, release
    local x y i steps=${5:-2}
    read -r x y < <(point "$1" "$2")
    xdotool mousemove "$x" "$y" mousedown 1
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove $((x + $3 * i / steps)) $((y + $4 * i / steps))
        [ "$steps" -le 2 ] || sleep 0.02
    done
    xdotool mouseup 1
}
# menu N [PICTURE] [mouse]: right-click on the text and choose entry N (1 关闭 ... 5 浮空) with the
# keyboard, or a click on it; 0 dismisses the menu with Escape.
menu() {
    local x y box left top width height
    read -r x y < <(point 100 45)
    xdotool mousemove "$x" "$y"
    way_shoot "$work/before.png"
    xdotool click 3
    wait_for 5 differs || return 1
    sleep 0.2 # drawn in full
    way_shoot "$work/after.png"
    read -r left top width height < <(changed "$work/before.png" "$work/after.png")
    if [ -n "${2:-}" ]; then
        cp "$work/after.png" "$shots/$2"
        check "the menu opens at the pointer" test "$left,$top" = "$x,$y"
    fi
    if [ "${3:-}" = mouse ]; then
        xdotool mousemove $((left + 40)) $((top + (2 * $1 - 1) * height / 10)) click 1
    elif [ "$1" = 0 ]; then
        xdotool key Escape
    else
        xdotool key --delay 30 $(for ((i = 0; i < $1; i++)); do echo Down; done) Return
    fi
    # Pin and release change the picture where a window covers the note.
    case $1 in 1 | 4 | 5) ;; *) wait_for 5 same ;; esac
}
# dialog X Y PICTURE [KEYS...]: a click at a point of the note opens a dialog, whose picture is
# kept and whose place is left in dialog_box; KEYS are typed into it, and then it must close.
dialog() {
    read -r x y < <(point "$1" "$2")
    way_shoot "$work/before.png"
    xdotool mousemove "$x" "$y" click 1
    check "a dialog opens ($3)" differs
    sleep 0.3
    way_shoot "$shots/$3"
    read -ra dialog_box < <(changed "$work/before.png" "$shots/$3")
    shift 3
    [ $# -gt 0 ] || return 0
    for keys; do
        case "$keys" in key:*) xdotool key ${keys#key:} ;; *) xdotool type "$keys" ;; esac
    done
    check "... takes the keyboard and closes" closed "${dialog_box[2]}"
}

desk_shot() { way_shoot "$shots/$1"; }

echo "# first start: no files yet"
offset_x=0 offset_y=0
note_start || { echo "the note did not show"; cat "$work/note.log"; exit 1; }
IFS=, read -r offset_x offset_y < <(text_at)
export offset_x=$((offset_x - 500)) offset_y=$((offset_y - 500))
desk_shot wayland-note.png
check "opens at (500, 500): the text shows at the label's corner (60, 30)" \
    test $((offset_x - 60)) -ge 0 -a $((offset_x - 60)) -le 20 -a $((offset_y - 30)) -ge 0 -a $((offset_y - 30)) -le 20
read -r x y < <(point 400 300)
way_shoot "$work/before.png"
xdotool mousemove "$x" "$y" click 3
sleep 0.5
check "a right-click beside the text reaches the desktop, not the note's menu" same
menu 1 wayland-menu.png
check "关闭 ends the program with exit code 0" exited 0

echo "# a stored position"
sed -i 's/^startPos=.*/startPos=@Point(100 120)/' "$dir/setInfo.ini"
note_start
note_x=100 note_y=120
check "a note stored at (100, 120) opens there" at 100 120
drag 100 45 150 100 30
check "a drag in 30 small steps moves it by the pointer's travel" near 250 220
measured
drag 100 45 -110 -70 1
check "... and one in a single jump" near 140 150
measured
menu 2
check "锁定 stores the lock and the dragged position" ini movable_flag=false "startPos=$note_x,$note_y"
drag 100 45 60 40
check "a locked note stays" at "$note_x" "$note_y"
menu 3 '' mouse
check "浮动, chosen with the mouse, stores the unlock" ini movable_flag=true

echo "# pin and release, with a window over the note"
as_user QT_QPA_PLATFORM=wayland "$cover" >/dev/null 2>&1 &
cover_pid=$!
check "a window opens over the right end of the text" right_hidden
menu 4
WAIT=3 check "置顶 puts the note above it at once" right_shows
check "置顶 stores it" ini isTopWindow=true
desk_shot wayland-pinned.png
menu 5
WAIT=3 check "浮空 puts it beneath the window at once" right_hidden
check "浮空 stores it" ini isTopWindow=false
kill "$(ps -o pid= --ppid "$cover_pid")"
check "... and it shows again when the window goes" right_shows
menu 1
check "关闭 ends the program with exit code 0" exited 0
note_start
check "a restart restores the position" at "$note_x" "$note_y"

echo "# the edit page and its dialogs"
read -r x y < <(point 100 45)
xdotool mousemove "$x" "$y" click --repeat 2 --delay 60 1
check "a double-click shows the edit page" bash -c '! at "$1" "$2"' _ "$note_x" "$note_y"
dialog 540 90 wayland-colour.png key:alt+h key:ctrl+a '#00c000' key:Return
dialog 540 140 wayland-font.png key:Escape
dialog 555 235 wayland-info.png
# The info dialog closes with its own button.
xdotool mousemove $((dialog_box[0] + 165)) $((dialog_box[1] + 221)) click 1
check "... and closes with its button" closed "${dialog_box[2]}"
read -r x y < <(point 200 120)
xdotool mousemove "$x" "$y" click 1 key ctrl+End Return
xdotool type 'Line two'
read -r x y < <(point 185 227)
xdotool mousemove "$x" "$y" click 1
printf '桌面文字便签\r\nLine two' >"$work/typed"
check "提交 writes the typed text" cmp -s "$dir/myText" "$work/typed"
check "... and the colour picked in the dialog" ini 'selectColor=#ff00c000'
check "the note shows it" at "$note_x" "$note_y" '#00c000'
menu 1
check "关闭 ends the program with exit code 0" exited 0

if [ "$compositor" = sway ]; then
    echo "# the output at scale 2"
    as_user swaymsg output X11-1 scale 2 >/dev/null
    note_start '#00c000'
    # The text's corner at twice its place, give or take the pixels its glyphs are rasterised on.
    WAIT=0 check "a note stored at ($note_x, $note_y) opens at twice its place on the output" bash -c \
        'IFS=, read -r x y < <(text_at "#00c000"); ((${x:-0} - $1 <= 3 && $1 - ${x:-0} <= 3 &&
        ${y:-0} - $2 <= 3 && $2 - ${y:-0} <= 3))' _ $((2 * (note_x + offset_x))) $((2 * (note_y + offset_y)))
    note_x=$((2 * note_x)) note_y=$((2 * note_y)) zoom=2
    read -r x y < <(point 400 300)
    way_shoot "$work/before.png" && xdotool mousemove "$x" "$y" click 3 sleep 0.5
    check "a right-click beside the text reaches the desktop" same
    menu 1 wayland-menu-200.png
    check "关闭 from the menu on the text ends the program with exit code 0" exited 0
    as_user swaymsg output X11-1 scale 1 >/dev/null
    note_x=$((note_x / 2)) note_y=$((note_y / 2)) zoom=1
fi

echo "# without layer shell: a plain window that the compositor places"
stored=$note_x,$note_y
dir=$work/plain
mkdir "$dir"
cp "$work/note/deskMemo" "$work/note/setInfo.ini" "$work/note/myText" "$dir/"
chown -R "$way_user" "$dir"
export dir
export text_colour='#00c000'
note_start || give_up "the note without its module did not show"
measured
menu 0 wayland-plain-menu.png
drag 100 45 60 40 10
check "a drag hands it to the compositor, which moves it" bash -c '! at "$1" "$2"' _ "$note_x" "$note_y"
measured
menu 1
check "关闭 ends the program with exit code 0" exited 0
check "... and keeps the stored position, which it cannot know" ini "startPos=$stored"

echo "# two outputs side by side, 1600 x 1000 each; the second goes away"
way_stop
desk_stop
way_start "$work" "$compositor" 2 || give_up "$compositor did not start with two outputs"
dir=$work/outputs
mkdir "$dir"
cp "$work"/note/{deskMemo,deskMemo-layershell.so,setInfo.ini,myText} "$dir/"
sed -i 's/^startPos=.*/startPos=@Point(1800 200)/' "$dir/setInfo.ini"
chown -R "$way_user" "$dir"
note_start || give_up "the note did not show on two outputs"
note_x=1800 note_y=200
check "a note stored on the second output opens there" at 1800 200
# xdotool carries a held button from one output's X window to the other on KWin only.
if [ "$compositor" = kwin ]; then
    drag 100 45 100 50 10
    check "a drag within the second output moves it by the pointer's travel" near 1900 250
    measured
    drag 100 45 -800 0 20
    check "... so does one onto the first output" near 1100 250
    measured
    drag 100 45 600 50 20
    check "... and one from the first output onto the second" near 1700 300
    measured
    menu 1
    check "关闭 ends the program with exit code 0" exited 0
    note_start
    check "a restart opens it where it was seen" at "$note_x" "$note_y"
fi
stored=$note_x,$note_y
"$close_window" "$(way_output_windows | tail -n 1)"
note_x=500 note_y=500
check "the output unplugged: the note shows on the other, where it would open" at 500 500
WAIT=0 check "... and keeps running" test ! -e "$dir/exit-code"
menu 2
check "... keeping the stored position until it is moved" ini "startPos=$stored"
menu 1
check "关闭 ends the program with exit code 0" exited 0
finish
