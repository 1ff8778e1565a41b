#!/usr/bin/env bash
# The note used the way a person uses it, on an X server with a window manager and a
# compositor: clicks, drags, the menu, the edit page, the dialogs, close and restart.
# Usage: desktop_test.sh DESKMEMO SETTINGSDUMP SHOTS_DIR   (pictures of every page and dialog
# are kept in SHOTS_DIR)
set -uo pipefail
program=$(realpath "$1")
dump=$(realpath "$2")
shots=$(mkdir -p "$3" && cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb openbox xcompmgr hsetroot xdotool wmctrl xprop xdpyinfo xmessage xev ps import \
    compare /usr/bin/convert localedef dbus-daemon /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: scripts/install-deps.sh test installs what this test needs"
        exit 1
    }
done
# shellcheck source=tests/desktop/lib.sh
source "$here/lib.sh"
in_own_mounts "$0" "$@"
work=$(mktemp -d)
trap 'desk_stop; umount -ql "$work/moving" "$work/bound"; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP
mkdir -m 700 "$work/home" "$work/runtime"
# A Chinese session, where the note shows its own texts and Qt's dialogs speak Chinese too; its
# glibc locale is made here. Bash may warn about LANG before it sees LOCPATH.
mkdir "$work/locale" && localedef -i zh_CN -f UTF-8 "$work/locale/zh_CN.UTF-8" || exit 1
unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE
{ export LOCPATH=$work/locale LANG=zh_CN.UTF-8; } 2>/dev/null
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
dir=$work/note
mkdir "$dir" "$work/kept"
cp "$program" "$dir/deskMemo"
export dir dump work

# What a failed check shows of the window and the files.
describe_failure() {
    echo "        window $(geometry "$note"); $(xprop -id "$note" _NET_WM_STATE)"
    echo "        setInfo.ini: $("$dump" "$dir/setInfo.ini" 2>&1 | tr '\n' ' ')"
    echo "        myText: $(od -An -c "$dir/myText" 2>&1 | tr -s ' \n' ' ')"
}

# --- conditions (exported, so that check can poll them) ---------------------------------
state_has() { prints "$1" xprop -id "$note" _NET_WM_STATE; }
# stays_at X Y: the note has come to rest at (X, Y): the same place twice, half a second apart.
stays_at() {
    local before
    before=$(geometry)
    sleep 0.5
    [ "$(geometry)" = "$before" ] && at "$1" "$2"
}
# same_window ID: the program still shows its note in window ID and in no other.
same_window() { [ "$(note_windows "$note_pid")" = "$1" ]; }
export -f stays_at same_window
state_lacks() { ! state_has "$1"; }
# ini KEY=VALUE...: the settings file holds these values (colour as #aarrggbb, font as
# family,points, position as x,y).
ini() {
    local values line
    values=$("$dump" "$dir/setInfo.ini") || return 1
    for line; do grep -qx -- "$line" <<<"$values" || return 1; done
}
keep() { cp -p "$1" "$work/kept/${1##*/}"; }
unchanged() { cmp -s "$1" "$work/kept/${1##*/}" && [ ! "$1" -nt "$work/kept/${1##*/}" ] &&
    [ ! "$1" -ot "$work/kept/${1##*/}" ]; }
bytes() { cmp -s "$dir/myText" <(printf "$1"); }
# page edit|display: the frame image shows on the edit page only; elsewhere the note is
# see-through and the desktop shows, also through the empty part of the editor (the last point).
page() {
    local x y points here there
    IFS=, read -r x y < <(geometry | cut -d' ' -f1)
    for point in 45,140 270,240 520,30 400,160; do
        points+=" %[hex:p{$((x + ${point%,*})),$((y + ${point#*,}))}]"
    done
    shoot "$work/page.png"
    read -ra here < <($CONVERT "$work/page.png" -format "$points" info:)
    read -ra there < <($CONVERT "$work/bg.png" -format "$points" info:)
    [ "${here[3]}" = "${there[3]}" ] || return 1
    for i in 0 1 2; do
        if [ "$1" = display ]; then [ "${here[i]}" = "${there[i]}" ]; else
            [ "${here[i]}" != "${there[i]}" ]; fi || return 1
    done
}
# colour COLOUR MIN MAX X Y W H: between MIN and MAX pixels of COLOUR in that part of the note.
colour() {
    local n
    shoot "$work/colour.png"
    n=$(count "$1" "$work/colour.png" "$4" "$5" "$6" "$7")
    [ "$n" -ge "$2" ] && [ "$n" -le "$3" ]
}
# same_look NAME: the note shows exactly what it showed when look NAME was taken.
look() {
    shoot "$work/look.png"
    crop "$work/look.png" "$work/$1.png" 0 0 760 580
}
same_look() {
    look now && [ "$(compare -metric AE "$work/$1.png" "$work/now.png" null: 2>&1)" = 0 ]
}
# above A B: window A stands higher than window B in the window manager's stacking order.
above() {
    local order
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | while read -r w; do
        echo $((w))
    done)
    [ "$(grep -nx "$1" <<<"$order" | cut -d: -f1)" -gt "$(grep -nx "$2" <<<"$order" | cut -d: -f1)" ]
}
active() { [ "$(xdotool getactivewindow)" = "$1" ]; }
# over_note WINDOW: the window lies within the note's box, as a dialog centred on the note does.
over_note() {
    local x y w h nx ny
    IFS=', x' read -r x y w h <<<"$(geometry "$1")"
    IFS=", " read -r nx ny _ <<<"$(geometry)"
    ((x >= nx && y >= ny && x + w <= nx + 760 && y + h <= ny + 580))
}
alive() { kill -0 "$note_pid" && [ ! -e "$dir.rc" ] && prints "^$note$" xdotool search \
    --onlyvisible --pid "$note_pid" --name '^deskMemo$'; }
no_window() { ! others "$1"; }
export -f state_has state_lacks ini keep unchanged bytes page colour look same_look \
    above active over_note alive no_window note_exit shoot crop count

# --- actions ---------------------------------------------------------------------------
# menu N: right-click on the text and choose entry N (1 关闭 ... 5 浮空); 0 dismisses it with
# Escape, "away" with a click on the desktop.
# Two right-clicks in one place in quick succession make a double-click, which opens the edit
# page, so the clicks take turns between two places.
menu_x=100
menu() {
    local keys=()
    menu_x=$((menu_x == 100 ? 140 : 100))
    click "$menu_x" 45 3
    wait_for 5 others '^deskMemo$' >/dev/null || return 1
    if [ -n "${2:-}" ]; then
        picture "$2" -30 -20 420 220
        WAIT=0 check "the menu opens at the pointer" bash -c '[ "$(geometry "$(others "^deskMemo$")" |
            cut -d" " -f1)" = "$(xdotool getmouselocation | sed "s/x:\([0-9]*\) y:\([0-9]*\).*/\1,\2/")" ]'
    fi
    if [ "$1" = away ]; then xdotool mousemove 5 5 click 1; else
        for ((i = 0; i < $1; i++)); do keys+=(Down); done
        [ "$1" = 0 ] && keys=(Escape) || keys+=(Return)
        xdotool key --delay 30 "${keys[@]}"
    fi
    [ "$1" = 1 ] || wait_for 5 no_window '^deskMemo$'
}
# drag X Y DX DY [BUTTONS]: press at a point of the note, move by (DX, DY) and release.
drag() {
    local x y buttons=${5:-1}
    IFS=, read -r x y < <(geometry | cut -d' ' -f1)
    x=$((x + $1)) y=$((y + $2))
    xdotool mousemove "$x" "$y"
    for b in $buttons; do xdotool mousedown "$b"; done
    xdotool mousemove $((x + $3 / 2)) $((y + $4 / 2)) mousemove $((x + $3)) $((y + $4))
    for b in $buttons; do xdotool mouseup "$b"; done
}
# settle: once the menu has come and gone, every earlier event has been handled.
settle() { menu 0 && sleep 0.2; }
# picture FILE X Y W H: a picture of a part of the screen, relative to the note.
picture() {
    sleep 0.3 # let the compositor show the latest change
    shoot "$work/window.png"
    crop "$work/window.png" "$shots/$1" "$2" "$3" "$4" "$5"
}
# keep_window FILE WINDOW: a picture of a window with its frame.
keep_window() {
    local x y w h l=0 r=0 t=0 b=0
    read -r x y w h < <(xwininfo -id "$2" | awk '/Absolute upper-left X/ { x = $NF }
        /Absolute upper-left Y/ { y = $NF } /Width/ { w = $NF } /Height/ { h = $NF }
        END { print x, y, w, h }')
    read -r l r t b < <(xprop -id "$2" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ,) || true
    sleep 0.3 # let the compositor show it
    shoot "$work/window.png"
    $CONVERT "$work/window.png" -crop "$((w + l + r))x$((h + t + b))+$((x - l))+$((y - t))" \
        +repage "$shots/$1"
}
# dialog TITLE [FILE [SHORTCUT TEXT]]: a dialog of the note opens and its picture is kept in
# FILE; TEXT is typed into the field that SHORTCUT selects and confirmed, or without them the
# dialog is cancelled with Escape.
dialog() {
    local window
    window=$(wait_for 5 others "^$1\$") || return 1
    wait_for 5 active "$window" || return 1
    [ -z "${2:-}" ] || keep_window "$2" "$window"
    if [ -n "${4:-}" ]; then
        xdotool key "$3" ctrl+a && xdotool type "$4" && xdotool key Return
    else
        xdotool key Escape
    fi
    wait_for 5 no_window "^$1\$"
}

desk_start || { echo "the desktop did not start"; exit 1; }
shoot "$work/bg.png"

echo "# first start: no files yet"
note_start "$dir" || { echo "the note did not show"; exit 1; }
first=$note
check "opens at (500, 500), 760 x 580" at 500 500
# The very first thing a person may do: drag the text.
drag 100 45 40 30
check "the first drag moves the note by exactly the mouse's travel" at 540 530
check "a utility window" prints "= _NET_WM_WINDOW_TYPE_UTILITY" xprop -id "$note" _NET_WM_WINDOW_TYPE
check "without decorations" prints "= 0, 0, 0, 0$" xprop -id "$note" _NET_FRAME_EXTENTS
check "not above other windows" state_lacks _NET_WM_STATE_ABOVE
check "the display page: desktop seen through, no frame image" page display
check "the default text in orange" colour '#ff7f23' 100 100000 60 30 300 60
picture display-page.png -30 -20 520 150
menu 0 menu.png
check "nothing stored: no myText, no setInfo.ini" bash -c '! prints "myText\|setInfo" ls "$dir"'

echo "# clicks through the empty parts"
# A window beneath an empty part of the note (which stands at 540,530, 760 x 580).
xev -name beneath -geometry 100x80+850+750 -event button >"$work/beneath.log" 2>&1 &
desk_pids+=($!)
beneath=$(first_line wait_for 5 xdotool search --onlyvisible --name '^beneath$')
wmctrl -i -a "$note"
wait_for 5 above "$note" "$beneath"
xdotool mousemove --window "$beneath" 50 40 click 1
check "a click on an empty part of the note reaches the window beneath" \
    grep -q ButtonPress "$work/beneath.log"
kill "${desk_pids[-1]}"

echo "# lock and unlock"
menu 2
check "锁定 stores the lock and the dragged position" ini movable_flag=false startPos=540,530
keep "$dir/setInfo.ini"
drag 100 45 60 40
settle
check "a locked note does not move" stays_at 540 530
check "a menu dismissed with Escape writes nothing" unchanged "$dir/setInfo.ini"
menu away
check "... nor one dismissed by a click elsewhere" unchanged "$dir/setInfo.ini"
menu 3
check "浮动 stores the unlock" ini movable_flag=true
drag 170 50 -70 25
check "after unlocking, the next drag starts without a jump" at 470 555

echo "# pin and unpin"
xmessage -geometry +1200+80 "another window" >/dev/null 2>&1 &
other_pid=$!
desk_pids+=("$other_pid")
other=$(first_line wait_for 5 xdotool search --onlyvisible --name '^xmessage$')
menu 4
check "置顶 keeps the note above" state_has _NET_WM_STATE_ABOVE
check "置顶 stores it and the dragged position" ini isTopWindow=true startPos=470,555
wmctrl -i -a "$other"
check "a pinned note stays above an activated window" above "$note" "$other"
menu 5
check "浮空 releases it" state_lacks _NET_WM_STATE_ABOVE
check "浮空 stores it" ini isTopWindow=false
check "no taskbar or pager entry, also after pin and release" \
    bash -c 'state_has _NET_WM_STATE_SKIP_TASKBAR && state_has _NET_WM_STATE_SKIP_PAGER'
wmctrl -i -a "$other"
check "a released note goes below an activated window" above "$other" "$note"
WAIT=0 check "pin and unpin keep the same window, in the same place" \
    bash -c 'same_window "$1" && at 470 555' _ "$first"
kill "$other_pid"

echo "# the edit page: colour, font, text, apply"
keep "$dir/setInfo.ini"
dblclick 100 45
check "a double-click on the text opens the edit page" page edit
# On the display page only the text takes the pointer, and a right-click there opens the menu:
# the frame image is where both buttons can be held together.
drag 45 140 50 50 "1 3"
drag 45 140 25 15
check "the note can be dragged by the frame image, not with left and right held together" \
    at 495 570
drag 40 150 -25 -15
check "... and back" at 470 555
picture edit-page.png -60 -30 820 330
check "the editor holds the note text in orange" colour '#ff7f23' 100 100000 100 70 381 121
orange=$(count '#ff7f23' "$work/colour.png" 100 70 381 121)
click 540 90
check "Qt's colour dialog speaks Chinese too" others '^选择颜色$'
dialog '选择颜色' colour-dialog.png alt+h '#00c000'
check "a picked colour shows in the editor" colour '#00c000' 100 100000 100 70 381 121
click 540 90
dialog '选择颜色'
check "cancelling the next colour dialog drops the pick" colour '#00c000' 0 0 100 70 381 121
click 540 140
dialog '选择字体' font-dialog.png alt+s 36
check "a picked font shows in the editor" colour '#ff7f23' $((orange * 2)) 100000 100 70 381 121
click 540 140
dialog '选择字体'
check "cancelling the next font dialog drops the pick" \
    colour '#ff7f23' $((orange * 3 / 4)) $((orange * 5 / 4)) 100 70 381 121
click 540 90
dialog '选择颜色' '' alt+h '#00c000'
click 540 140
dialog '选择字体' '' alt+s 28
check "choosing in the dialogs stores nothing yet" unchanged "$dir/setInfo.ini"
click 200 120
xdotool key ctrl+End Return && xdotool type 'Line two'
click 185 227
check "提交 returns to the display page" page display
check "提交 stores colour and font" ini selectColor=#ff00c000 'selectFont=.*,28'
check "提交 stores the text with CR LF line ends" bytes '桌面文字便签\r\nLine two'
check "the note shows the new colour" colour '#00c000' 500 100000 60 30 651 200
look applied

echo "# cancel, and the info dialog"
keep "$dir/setInfo.ini"
keep "$dir/myText"
dblclick 100 45
check "the edit page again" page edit
click 200 120
xdotool key ctrl+End && xdotool type ' more'
click 365 227
check "取消 returns to the display page unchanged" same_look applied
check "取消 writes neither file" bash -c 'unchanged "$dir/myText" && unchanged "$dir/setInfo.ini"'
dblclick 100 45
check "the edit page once more" page edit
click 555 235
click 555 235
check "the info button twice opens two dialogs" bash -c '[ "$(others "^信息$" | wc -l)" = 2 ]'
read -ra info < <(others '^信息$' | tr '\n' ' ')
# They open over the note; moved aside, they leave its buttons free.
xdotool windowmove "${info[0]}" 40 40 windowmove "${info[1]}" 400 40
wait_for 5 bash -c 'for w; do prints "upper-left Y: *[0-9][0-9]$" xwininfo -id "$w" || exit 1
    done' _ "${info[@]}"
click 365 227
check "the note stays usable while they are open" page display
wmctrl -i -a "${info[0]}"
wait_for 5 active "${info[0]}"
xdotool mousemove --window "${info[0]}" 165 221 click 1
check "关闭 closes only its own dialog" \
    bash -c '[ "$(others "^信息$")" = "$1" ]' _ "${info[1]}"
keep_window info-dialog.png "${info[1]}"
wmctrl -i -c "${info[1]}"
check "the window manager's close hides the other one" no_window '^信息$'
check "the note keeps running" alive

echo "# lock, pin, close from the menu, restart"
menu 2
menu 4
check "locked and pinned" ini movable_flag=false isTopWindow=true
look before
menu 1
check "关闭 ends the program with exit code 0" bash -c '[ "$(note_exit "$dir")" = 0 ]'
note_start "$dir" || give_up "the note did not show again after 关闭"
WAIT=0 check "a pinned note is above from its first frame" state_has _NET_WM_STATE_ABOVE
check "the restart restores the position" at 470 555
check "... and colour, font and text" same_look before
drag 100 45 50 50
settle
check "... and the drag lock" stays_at 470 555
dblclick 100 45
check "the edit page of the pinned note" page edit
click 540 90
check "the colour dialog opens above the pinned note" \
    bash -c 'above "$(others "^选择颜色$")" "$note"'
WAIT=0 check "... over it: Qt knows where the note stands before it is first moved" \
    bash -c 'over_note "$(others "^选择颜色$")"'
dialog '选择颜色'
click 540 140
check "... and so does the font dialog" bash -c 'above "$(others "^选择字体$")" "$note"'
dialog '选择字体'
click 555 235
check "the info dialog opens over the note" bash -c 'over_note "$(others "^信息$")"'
wmctrl -i -c "$(others '^信息$')"
wait_for 5 no_window '^信息$'
click 365 227
check "back to the display page" page display
pinned=$note
menu 5
check "浮空 releases the restarted note" state_lacks _NET_WM_STATE_ABOVE
WAIT=0 check "... in the same window, in the same place" bash -c 'same_window "$1" && at 470 555' _ "$pinned"
menu 3
drag 100 45 -30 -20
check "dragged once more" at 440 535
wmctrl -i -c "$note"
check "the window manager's close request ends the program with exit code 0" \
    bash -c '[ "$(note_exit "$dir")" = 0 ]'
check "... after saving the last position" ini startPos=440,535 isTopWindow=false

echo "# ended by a signal: saved as by a close"
x=440 y=535
for signal in TERM HUP INT; do
    note_start "$dir" || { echo "the note did not show again"; finish; }
    drag 100 45 -10 -10
    x=$((x - 10)) y=$((y - 10))
    wait_for 5 at "$x" "$y"
    kill -"$signal" "$note_pid"
    check "SIG$signal after a drag saves its position and ends with exit code 0" \
        bash -c '[ "$(note_exit "$dir")" = 0 ] && ini "startPos=$1,$2"' _ "$x" "$y"
done

echo "# in an English session, heard through the accessibility bus"
read -r bus bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | tr '\n' ' ')
desk_pids+=("$bus_pid")
a11y() { DBUS_SESSION_BUS_ADDRESS=$bus /usr/bin/python3 "$here/a11y.py" "$@"; }
en() { a11y english "$here/../../resources/translations/deskMemo_en.ts" "$@"; }
# heard ROLE:CONTEXT:SOURCE...: nothing in Chinese, and objects named in the .ts file's English.
heard() {
    a11y tree deskMemo >"$work/heard.txt" 2>/dev/null && ! grep -qP '\p{Han}' "$work/heard.txt" || return 1
    for item; do
        IFS=: read -r role context source <<<"$item"
        grep -q "^$role	$(en "$context" "$source")	" "$work/heard.txt" || return 1
    done
}
export -f a11y en heard && export bus here
mkdir "$work/english" && cp "$program" "$work/english/deskMemo"
LANG=en_US.UTF-8 DBUS_SESSION_BUS_ADDRESS=$bus QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    note_start "$work/english" || give_up "the note did not show in English"
wait_for 10 a11y tree deskMemo >/dev/null 2>&1 && a11y focus deskMemo 5 >"$work/focus.txt" &
wait_for 15 grep -qs listening "$work/focus.txt"
click 100 45 3 && wait_for 5 others '^deskMemo$' >/dev/null && picture english-menu.png -30 -20 420 220
xdotool key --delay 100 Down Down Down Down Down Escape && wait $!
WAIT=0 check "the menu, entry by entry as a screen reader hears it" [ "$(grep -v listening "$work/focus.txt")" = \
    "$(for entry in 关闭 锁定 浮动 置顶 浮空; do printf 'menu item\t%s\n' "$(en QmyLabel "$entry")"; done)" ]
dblclick 100 45 && wait_for 5 page edit && picture english-edit-page.png -60 -30 820 330
WAIT=0 check "the apply and cancel buttons say their words in English" [ "$(compare -metric AE \
    "$shots/edit-page.png[291x31+190+242]" "$shots/english-edit-page.png[291x31+190+242]" null: 2>&1)" -gt 500 ]
click 555 235
check "the display and edit pages and the info dialog" heard label:deskMemo:桌面文字便签 \
    'text:deskMemoClass:便签文字' 'push button:deskMemoClass:文字颜色' 'push button:deskMemoClass:字体' \
    'push button:deskMemoClass:提交' 'push button:deskMemoClass:取消' 'push button:deskMemoClass:关于' \
    'radio button:deskMemoClass:开机自启' dialog:Dialog:信息 'push button:Dialog:关闭'
kill "$note_pid"

echo "# one note, one program"
note_start "$dir" || give_up "the note did not show again"
xmessage -geometry +450+450 "over the note" >/dev/null 2>&1 &
desk_pids+=($!)
other=$(first_line wait_for 5 xdotool search --onlyvisible --name '^xmessage$')
wait_for 5 above "$other" "$note"
# Started again through a link from elsewhere: the same note.
ln -s "$dir/deskMemo" "$work/link"
(cd / && timeout 20 "$work/link" 2>"$work/second.log"; echo $? >"$work/second.rc") &
check "a second start of the same note ends with exit code 0, saying it runs already" \
    bash -c '[ "$(cat "$work/second.rc" 2>/dev/null)" = 0 ] && grep -q "already runs" "$work/second.log"'
WAIT=0 check "... opens no second window" bash -c '[ "$(note_windows)" = "$note" ]'
check "... and brings the running note to the front" above "$note" "$other"
# later_start NAME COMMAND...: another start of the note, from /, given 5 s; its exit code and
# what it said land in NAME.rc and NAME.log. found_running NAME: it found the note, which came
# forward (a twin would still run).
later_start() { (cd / && timeout 5 "${@:2}" >"$work/$1.log" 2>&1; echo $? >"$work/$1.rc"); }
found_running() { [ "$(cat "$work/$1.rc")" = 0 ] && grep -q "brought forward" "$work/$1.log"; }
later_start runtime env XDG_RUNTIME_DIR="$work/home" "$dir/deskMemo"
WAIT=0 check "... so does a start with another XDG_RUNTIME_DIR, as after su" found_running runtime
if ! mounts_refused "a start through a bind mount"; then
    mkdir "$work/bound" && mount --bind "$dir" "$work/bound"
    later_start bound "$work/bound/deskMemo"
    WAIT=0 check "... and a start through a bind mount of its folder" found_running bound
    umount "$work/bound"
fi
kill -STOP "$note_pid"
starts=()
for i in 1 2 3 4 5 6 7; do later_start "stopped$i" "$dir/deskMemo" & starts+=($!); done
wait "${starts[@]}"
unanswered() { for i in 1 2 3 4 5 6 7; do [ "$(cat "$work/stopped$i.rc")" = 1 ] && grep -q "did not answer" "$work/stopped$i.log" || return 1; done; }
WAIT=0 check "seven starts against a stopped note each end within 5 s with exit code 1, saying so" unanswered
WAIT=0 check "... and open no second window" bash -c '[ "$(note_windows)" = "$note" ]'
kill -CONT "$note_pid"
later_start continued "$dir/deskMemo"
WAIT=0 check "continued, the note still runs and comes forward" found_running continued
kill -KILL "$note_pid"
wait_for 5 test -s "$dir.rc"
note_start "$dir"
WAIT=0 check "after kill -9 a new start shows the note" alive
mkdir "$work/copy"
cp "$dir/deskMemo" "$work/copy/"
note_start "$work/copy"
check "a copy in another folder is another note, shown beside it" \
    bash -c '[ "$(note_windows | wc -l)" = 2 ]'

echo "# every workspace; a note stored where its text cannot be seen"
wmctrl -s 1
check "after a change of workspace the note still shows" prints IsViewable xwininfo -id "$note"
wmctrl -s 0
kill "$note_pid"
note_exit "$work/copy" >/dev/null
sed -i 's/^startPos=.*/startPos=@Point(500 -60)/' "$work/copy/setInfo.ini"
note_start "$work/copy" || give_up "the copy did not show again"
check "a note stored at (500, -60), its text above the screen, opens with all of its text seen" \
    at 500 500
if ! mounts_refused "a start after the note moved"; then
    # A note whose folder turns read-only under it: its next save moves it to a per-user folder
    # (one of its own here, so that no other note of the tier sees it).
    moving=$work/moving
    mkdir "$moving" && cp "$dir/deskMemo" "$moving/"
    note_start "$moving" env XDG_DATA_HOME="$moving.data" ./deskMemo
    mount --bind "$moving" "$moving" && mount -o remount,bind,ro "$moving"
    menu 3 && menu 3
    later_start moved env XDG_DATA_HOME="$moving.data" "$moving/deskMemo"
    WAIT=0 check "a start finds the note that moved to the per-user folder" found_running moved
    kill -KILL "$note_pid"
    umount "$moving"
fi

echo "# scaled screens: Xft.dpi 144 (150 %) and 192 (200 %), compared with 96 (100 %)"
# One colour behind the note, so that pictures taken at different places compare; sc scales a
# length at 100 % to the screen's scale.
desk_stop
desk_start 3200x2400 && hsetroot -solid '#23507f' >/dev/null || give_up "no desktop for the scales"
sc() { echo $(($1 * percent / 100)); }
scaled_at() { [ "$(geometry)" = "$(sc "$1"),$(sc "$2") $(sc 760)x$(sc 580)" ]; }
export -f sc scaled_at
for percent in 100 150 200; do
    export percent dir=$work/at$percent
    echo "Xft.dpi: $((percent * 96 / 100))" | xrdb -merge
    mkdir "$dir" && cp "$program" "$dir/deskMemo" && note_start "$dir" || give_up "no note at $percent %"
    check "$percent %: opens at (500, 500) in a window of $(sc 760) x $(sc 580)" scaled_at 500 500
    picture "display-page-$percent.png" "$(sc -30)" "$(sc -20)" "$(sc 520)" "$(sc 150)"
    xev -name beneath -geometry "$(sc 100)x$(sc 60)+$(sc 560)+$(sc 600)" -event button >"$work/beneath.log" 2>&1 &
    beneath=$(first_line wait_for 5 xdotool search --onlyvisible --name '^beneath$')
    wmctrl -i -a "$note" && wait_for 5 above "$note" "$beneath" && xdotool mousemove "$(sc 610)" "$(sc 630)" click 1
    check "$percent %: a click just below the text reaches the window beneath" grep -q ButtonPress "$work/beneath.log"
    kill $!
    drag "$(sc 100)" "$(sc 45)" "$(sc 40)" "$(sc 30)"
    click "$(sc 100)" "$(sc 45)" 3 && wait_for 5 others '^deskMemo$' >/dev/null
    picture "menu-$percent.png" "$(sc -30)" "$(sc -20)" "$(sc 420)" "$(sc 220)"
    xdotool key --delay 30 Down Down Return
    check "$percent %: a drag moves it by the pointer's travel; 锁定 stores 100 % pixels" \
        bash -c 'scaled_at 540 530 && ini movable_flag=false startPos=540,530'
    dblclick "$(sc 100)" "$(sc 45)" && sleep 1
    picture "edit-page-$percent.png" "$(sc -60)" "$(sc -30)" "$(sc 820)" "$(sc 330)"
    for page in display-page menu edit-page; do
        set -- "$shots/$page-$percent.png" "$shots/$page-100.png"
        [ "$percent" = 100 ] || WAIT=0 check "$percent %: the $page scaled back matches 100 % ($(difference "$@"))" scaled_back_matches "$@"
    done
    kill "$note_pid"
done
finish
