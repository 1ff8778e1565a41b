#!/usr/bin/env bash
# deskMemo.exe used the way a person uses it, under Wine on an X server with a window manager
# and a compositor, in a Chinese locale (code page 936): the menu, dragging, the edit page with
# its dialogs, start at logon against Wine's registry, close and restart, a read-only folder.
# The program runs on Wine's own desktop (a virtual desktop, as a Windows session has), where
# its windows are Windows windows: winprobe.exe, built beside it, reports them as xdotool and
# xprop report X windows.
# Usage: wine_test.sh DESKMEMO.EXE SETTINGSDUMP SHOTS_DIR   (pictures of the display page, the
# edit page and the menu are kept in SHOTS_DIR)
set -uo pipefail
exe=$(realpath "$1")
dump=$(realpath "$2")
shots=$(mkdir -p "$3" && cd "$3" && pwd)
probe=$(dirname "$exe")/tests/windows/winprobe.exe
here=$(cd "$(dirname "$0")" && pwd)
for tool in wine wineserver localedef iconv Xvfb openbox xcompmgr hsetroot xdotool xclip import \
    /usr/bin/convert; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: scripts/install-deps.sh test installs what this test needs"
        exit 1
    }
done
for file in "$exe" "$probe"; do
    [ -f "$file" ] || { echo "$file is missing: scripts/build-windows.sh builds it"; exit 1; }
done
# shellcheck source=tests/desktop/lib.sh
source "$here/../desktop/lib.sh"
in_own_mounts "$0" "$@"
work=$(mktemp -d)
mkdir "$work/tmp" # where Wine keeps its server's socket
export WINEPREFIX=$work/prefix TMPDIR=$work/tmp WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
trap 'cp "$work/note.log" "$shots/" 2>/dev/null; wineserver -k 2>/dev/null; desk_stop; umount "$dir" 2>/dev/null; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP

# A Chinese Windows: Wine takes its code page from the glibc locale, which need not be
# installed system-wide.
mkdir "$work/locale"
localedef -i zh_CN -f UTF-8 "$work/locale/zh_CN.UTF-8" || { echo "localedef failed"; exit 1; }
export LOCPATH=$work/locale
{ export LANG=zh_CN.UTF-8; } 2>/dev/null # bash itself may warn before it sees LOCPATH
unset LC_ALL LC_CTYPE
desk_start 1600x1200 || { echo "the desktop did not start"; exit 1; }
reg() { timeout 120 wine reg "$@" >/dev/null 2>&1; }
reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f || { echo "no Wine prefix"; exit 1; }
reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1600x1200 /f
# A Chinese Windows has 黑体 (SimHei); here the CJK font of the Linux system stands in for it.
for family in 黑体 SimHei; do
    reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$family" /d 文泉驿正黑 /f
done
# The other window of the pin checks opens beside the note's text, over the note's empty part.
for value in iWindowPosX:1000 iWindowPosY:100 iWindowPosDX:500 iWindowPosDY:500; do
    reg add 'HKCU\Software\Microsoft\Notepad' /v "${value%:*}" /t REG_DWORD /d "${value#*:}" /f
done
wineserver -w

dir="$WINEPREFIX/drive_c/Notes 便签"
appdata=$(first_line find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 ! -name Public)/AppData/Roaming/deskMemo
mkdir -p "$dir" "$work/kept"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
cp "$exe" "$dir/deskMemo.exe"
run_key='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
export dir dump probe work run_key

# --- the Windows desktop, as winprobe sees it ------------------------------------------
# windows: HANDLE, X,Y WxH, topmost|normal, CLASS, TITLE of each visible window, topmost first.
windows() { wine "$probe" 2>/dev/null | tr -d '\r'; }
# The note's line, the menu's, or the line of a window titled TITLE (awk reads to the end).
note_line() { windows | awk -F'\t' '$4 ~ /QWindowTool/ && $5 == "deskMemo" && !n++'; }
menu_line() { windows | awk -F'\t' '$4 ~ /QWindowPopup/ && !n++'; }
titled() { windows | awk -F'\t' -v t="$1" '$5 == t && !n++'; }
field() { cut -f"$1" <<<"$2"; }
# The note stands at X,Y, in its 760 x 580 window.
at() { [ "$(field 2 "$(note_line)")" = "$1,$2 760x580" ]; }
topmost() { [ "$(field 3 "$(note_line)")" = topmost ]; }
normal() { [ "$(field 3 "$(note_line)")" = normal ]; }
# above A B: the window whose line matches A stands higher in the z-order than B's.
above() {
    local list
    list=$(windows | cut -f1,4,5)
    a=$(grep -n -m1 -- "$1" <<<"$list" | cut -d: -f1)
    b=$(grep -n -m1 -- "$2" <<<"$list" | cut -d: -f1)
    [ -n "$a" ] && [ -n "$b" ] && [ "$a" -lt "$b" ]
}
menu_open() { [ -n "$(menu_line)" ]; }
menu_closed() { [ -z "$(menu_line)" ]; }
opened() { [ -n "$(titled "$1")" ]; }
# over_note TITLE: the window titled TITLE lies within the note's box, as a dialog centred on it.
over_note() {
    local x y w h nx ny
    IFS=', x' read -r x y w h <<<"$(field 2 "$(titled "$1")")"
    IFS=', x' read -r nx ny _ <<<"$(field 2 "$(note_line)")"
    [ -n "$w" ] && ((x >= nx && y >= ny && x + w <= nx + 760 && y + h <= ny + 580))
}
closed() { [ -z "$(titled "$1")" ]; }
note_shown() { [ -n "$(note_line)" ]; }
exited() { [ "$(cat "$work/rc" 2>/dev/null)" = "$1" ]; }

# --- files and pictures ----------------------------------------------------------------
# ini KEY=VALUE...: the settings file holds these values, written with CR LF line ends.
ini() {
    local values line
    grep -q $'\r$' "${ini_file:-$dir/setInfo.ini}" || return 1
    values=$("$dump" "${ini_file:-$dir/setInfo.ini}") || return 1
    for line; do grep -qx -- "$line" <<<"$values" || return 1; done
}
bytes() { cmp -s "${2:-$dir/myText}" <(printf "$1"); }
keep() { cp -p "$1" "$work/kept/${1##*/}"; }
unchanged() { cmp -s "$1" "$work/kept/${1##*/}"; }
# The Run value as regedit exports it (UTF-16, turned into UTF-8 here); empty when absent.
run_value() {
    rm -f "$work/run.reg"
    reg export "$run_key" 'Z:'"$(sed 's|/|\\|g' <<<"$work/run.reg")" /y
    iconv -f UTF-16 -t UTF-8 "$work/run.reg" 2>/dev/null | tr -d '\r' | grep '^"deskMemo"='
}
registered() { [ "$(run_value)" = "$1" ]; }
unregistered() { [ -z "$(run_value)" ]; }
# The text that the editor holds, read through the clipboard that Wine shares with X.
editor_text() {
    click 200 120 && xdotool key ctrl+a ctrl+c && sleep 0.5 && xclip -selection clipboard -o
}
# paste_text TEXT into the editor through the clipboard (typing reaches Wine as ASCII only).
paste_text() {
    printf '%s' "$1" | xclip -selection clipboard
    sleep 0.3
    xdotool key ctrl+v
}
# The note's pixels of exactly COLOUR between MIN and MAX in the part X Y W H of the window.
colour() {
    local n x y
    IFS=, read -r x y < <(field 2 "$(note_line)" | cut -d' ' -f1)
    shoot "$work/colour.png"
    n=$($CONVERT "$work/colour.png" -crop "$6x$7+$((x + $4))+$((y + $5))" +repage -fill black \
        +opaque "$1" -fill white -opaque "$1" -format '%[fx:round(mean*w*h)]' info:)
    [ "$n" -ge "$2" ] && [ "$n" -le "$3" ]
}
# The desktop shows through the note's empty parts: points there have the colour of Wine's
# plain desktop just left of the window.
see_through() {
    local x y points desktop colours
    IFS=, read -r x y < <(field 2 "$(note_line)" | cut -d' ' -f1)
    for point in 20,20 400,300 700,550 30,200; do
        points+="%[hex:p{$((x + ${point%,*})),$((y + ${point#*,}))}] "
    done
    shoot "$work/now.png"
    desktop=$($CONVERT "$work/now.png" -format "%[hex:p{$((x - 5)),$((y + 5))}]" info:)
    read -ra colours < <($CONVERT "$work/now.png" -format "$points" info:)
    [ "${#colours[@]}" = 4 ] && [ -z "$(printf '%s\n' "${colours[@]}" | grep -vx "$desktop")" ]
}
picture() { # FILE X Y W H: a part of the screen, relative to the note
    local x y
    sleep 0.3
    IFS=, read -r x y < <(field 2 "$(note_line)" | cut -d' ' -f1)
    shoot "$work/window.png"
    $CONVERT "$work/window.png" -crop "$4x$5+$((x + $2))+$((y + $3))" +repage "$shots/$1"
}
# The menu shows its five entries, each with its icon: five bands of dark icon pixels in its
# left column.
five_icons() {
    local x y h
    IFS=', x' read -r x y _ h <<<"$(field 2 "$(menu_line)")"
    shoot "$work/menu.png"
    [ "$($CONVERT "$work/menu.png" -crop "24x$h+$((desk_x + x + 1))+$((desk_y + y))" +repage \
        -colorspace gray -threshold 60% -negate -scale "1x$h!" -threshold 0 txt:- | tail -n +2 |
        awk '{ dark = ($NF != "gray(0)" && $NF != "black") } dark && !was { bands++ }
             { was = dark } END { print bands + 0 }')" = 5 ]
}
# menu_reads LANGUAGE: the open menu looks as the reference picture of that language beside this
# script (a new reference: the picture this test keeps in SHOTS_DIR).
menu_reads() {
    IFS=', x' read -r x y w h <<<"$(field 2 "$(menu_line)")" && shoot "$work/menu.png"
    $CONVERT "$work/menu.png" -crop "${w}x$h+$((desk_x + x))+$((desk_y + y))" +repage "$shots/menu-$1.png"
    [ "$(compare -metric AE -fuzz 10% "$shots/menu-$1.png" "$here/menu-$1.png" null: 2>&1)" -lt 20 ]
}
describe_failure() {
    echo "        windows: $(windows | cut -f2- | tr '\t\n' ' |')"
    echo "        setInfo.ini: $("$dump" "$dir/setInfo.ini" 2>&1 | tr '\n' ' ')"
    echo "        myText: $(od -An -c "$dir/myText" 2>&1 | tr -s ' \n' ' ')"
    echo "        Run value: $(run_value)"
}
export -f windows note_line menu_line titled field at topmost normal above menu_open \
    menu_closed opened over_note closed note_shown exited ini bytes unchanged run_value registered \
    unregistered colour see_through five_icons reg shoot

# --- actions ----------------------------------------------------------------------------
# The virtual desktop's top-left corner on the X screen; Windows coordinates start there.
origin() { xwininfo -name 'Default - Wine desktop' | awk '/Absolute upper-left/ { print $NF }' | paste -sd,; }
point() { # X Y of the note window, as X screen coordinates
    local x y
    IFS=, read -r x y < <(field 2 "$(note_line)" | cut -d' ' -f1)
    echo $((desk_x + x + $1)) $((desk_y + y + $2))
}
click() { xdotool mousemove $(point "$1" "$2") click "${3:-1}"; }
dblclick() { xdotool mousemove $(point "$1" "$2") click --repeat 2 --delay 60 1; }
# Windows lets a click on a see-through pixel of the note fall through to what lies beneath, as
# a person sees it: the pointer has to meet the text's own pixels. on_text [last]: a point of
# the window where the text shows in its full colour (the first such pixel, or the last).
text_colour='#ff7f23'
on_text() {
    local x y pixels pixel tx ty
    IFS=, read -r x y < <(field 2 "$(note_line)" | cut -d' ' -f1)
    shoot "$work/text.png"
    pixels=$($CONVERT "$work/text.png" -crop "651x521+$((x + 60))+$((y + 30))" +repage -fill black \
        +opaque "$text_colour" -fill white -opaque "$text_colour" txt:- | grep -F '#FFFFFF')
    [ "${1:-}" = last ] && pixel=${pixels##*$'\n'} || pixel=${pixels%%$'\n'*}
    [ -n "$pixel" ] && IFS=,: read -r tx ty _ <<<"$pixel" && echo $((tx + 60)) $((ty + 30))
}
# menu N: right-click on the text and choose entry N (1 关闭 ... 5 浮空) by keyboard; 0
# dismisses it with Escape. Two right-clicks in one place make a double-click, which opens the
# edit page, so they take turns between two places.
menu_end=last
menu() {
    local keys=()
    menu_end=$([ "$menu_end" = last ] && echo first || echo last)
    click $(on_text "$menu_end") 3
    wait_for 5 menu_open || return 1
    for ((i = 0; i < $1; i++)); do keys+=(Down); done
    [ "$1" = 0 ] && keys=(Escape) || keys+=(Return)
    sleep 0.2
    xdotool key --delay 40 "${keys[@]}"
    [ "$1" = 1 ] || wait_for 5 menu_closed
}
drag() { # DX DY: press on the text, move by (DX, DY), release
    local x y
    read -r x y < <(point $(on_text))
    xdotool mousemove "$x" "$y" mousedown 1 mousemove $((x + $1 / 2)) $((y + $2 / 2)) \
        mousemove $((x + $1)) $((y + $2)) mouseup 1
}
# stays_at X Y: the note has come to rest at X,Y (the same place twice, half a second apart).
stays_at() { at "$1" "$2" && sleep 0.5 && at "$1" "$2"; }
export -f stays_at
note_start() {
    rm -f "$work/rc"
    (cd "$dir" && WINEDEBUG=err+all wine deskMemo.exe >>"$work/note.log" 2>&1; echo $? >"$work/rc") &
    wait_for 60 note_shown
}
# dialog TITLE [SHORTCUT TEXT]: a dialog of the note opens; TEXT is typed into the field that
# SHORTCUT selects and confirmed, or without them the dialog is cancelled with Escape.
dialog() {
    wait_for 10 opened "$1" || return 1
    sleep 0.3
    if [ -n "${3:-}" ]; then
        xdotool key "$2" ctrl+a && xdotool type "$3" && xdotool key Return
    else
        xdotool key Escape
    fi
    wait_for 5 closed "$1"
}

echo "# first start: no files yet"
note_start || give_up "the note did not show"
IFS=, read -r desk_x desk_y <<<"$(origin)"
check "opens at (500, 500), 760 x 580" at 500 500
check "a window of its own, not above others" normal
check "the default text in orange" colour '#ff7f23' 50 100000 60 30 300 60
check "the desktop shows through the empty parts" see_through
picture display-page.png -30 -20 520 150
WAIT=0 check "nothing stored: no myText, no setInfo.ini" bash -c '! prints "myText\|setInfo" ls "$dir"'
drag 40 30
check "the first drag moves the note by exactly the mouse's travel" at 540 530

echo "# the menu: lock, unlock, pin, release"
click $(on_text) 3
check "a right-click on the text opens the menu" menu_open
check "... with five entries and their icons" five_icons
WAIT=0 check "... which read in Chinese" menu_reads zh
picture menu.png -10 -10 300 200
xdotool key Escape
menu 2
check "锁定 stores the lock and the dragged position, as Windows writes a settings file" \
    ini movable_flag=false startPos=540,530
drag 60 40
check "a locked note does not move" stays_at 540 530
menu 3
check "浮动 stores the unlock" ini movable_flag=true
drag -70 25
check "after unlocking, the next drag starts without a jump" at 470 555
# Another program's window, opened on top of the windows that aren't pinned.
open_notepad() {
    wine notepad >/dev/null 2>&1 &
    notepad=$!
    wait_for 10 prints "	Notepad	" windows
}
close_notepad() {
    kill "$notepad"
    wait_for 10 bash -c '! prints "	Notepad	" windows'
}
pinned=$(field 1 "$(note_line)")
open_notepad
check "another window opens over the note" above Notepad QWindowTool
menu 4
check "置顶 puts the note above every window" bash -c 'topmost && above QWindowTool Notepad'
check "置顶 stores it and the dragged position" ini isTopWindow=true startPos=470,555
close_notepad
open_notepad
check "a pinned note stays above a window opened after it" above QWindowTool Notepad
menu 5
check "浮空 releases it" normal
check "浮空 stores it" ini isTopWindow=false
close_notepad
open_notepad
check "a released note goes below a window opened after it" above Notepad QWindowTool
close_notepad
WAIT=0 check "pin and release keep the same window, in the same place" \
    bash -c '[ "$(field 1 "$(note_line)")" = "$1" ] && at 470 555' _ "$pinned"

echo "# the edit page: colour, font, a Chinese text in the code page, apply"
keep "$dir/setInfo.ini"
dblclick $(on_text)
check "a double-click on the text opens the edit page" colour '#ff7f23' 50 100000 100 70 381 121
picture edit-page.png -60 -30 820 330
click 540 90
check "the colour dialog opens over the note" over_note '选择颜色'
dialog '选择颜色' alt+h '#00c000'
click 540 140
dialog '选择字体' alt+s 28
check "choosing in the dialogs stores nothing yet" unchanged "$dir/setInfo.ini"
click 200 120
xdotool key ctrl+a
paste_text '今天也要加油'
xdotool key Return && xdotool type 'Line two'
click 185 227
check "提交 stores colour and font" ini selectColor=#ff00c000 'selectFont=.*,28'
check "提交 writes the text in the code page (GBK), with CR LF line ends" \
    bytes '\xbd\xf1\xcc\xec\xd2\xb2\xd2\xaa\xbc\xd3\xd3\xcd\r\nLine two'
text_colour='#00c000'
check "the note shows the new colour" colour '#00c000' 100 100000 60 30 651 200

echo "# a text the code page can't hold, and the info dialog"
dblclick $(on_text)
click 200 120
xdotool key ctrl+a
paste_text '한글 ok'
click 185 227
check "a text GBK can't hold is written as UTF-8 with a byte-order mark" \
    bytes '\xef\xbb\xbf\xed\x95\x9c\xea\xb8\x80 ok'
dblclick $(on_text)
typed=$(editor_text)
WAIT=0 check "... and reads back as it was typed" [ "$typed" = "한글 ok" ]
click 555 235
check "the info button opens the info dialog" opened 信息
WAIT=0 check "... over the note" over_note 信息
xdotool key Escape
check "... which closes again" closed 信息
WAIT=0 check "... and leaves the note running" note_shown

echo "# start at logon"
click 480 200
check "开机自启 registers the quoted path of the exe under the Run key" \
    registered '"deskMemo"="\"C:\\Notes 便签\\deskMemo.exe\""'
check "... and stores it" ini isAutoStart=true
click 480 200
check "unchecking it deletes the value" unregistered
check "... and stores that" ini isAutoStart=false
reg delete "$run_key" /f
click 480 200
check "without a Run key, a warning box says so" opened 警告
xdotool key Return
check "... and goes away" closed 警告
WAIT=0 check "... having written nothing" unregistered
reg add "$run_key" /f
click 480 200
click 365 227

echo "# close and restart"
menu 2
menu 4
keep "$dir/myText"
menu 1
check "关闭 ends the program with exit code 0" exited 0
note_start || give_up "the note did not show again"
check "the restart restores the position" at 470 555
check "... the pin" topmost
check "... colour and font" colour '#00c000' 100 100000 60 30 651 200
drag 50 50
check "... and the drag lock" stays_at 470 555
dblclick $(on_text)
typed=$(editor_text)
WAIT=0 check "... and the text" [ "$typed" = "한글 ok" ]
click 365 227
WAIT=0 check "... having written nothing at start" unchanged "$dir/myText"
menu 5
menu 1
wait_for 10 exited 0

echo "# one note, one program"
# As at logon: the Run value's command line, from another folder.
rm -f "$work/rc"
(cd / && wine 'C:\Notes 便签\deskMemo.exe' >>"$work/note.log" 2>&1; echo $? >"$work/rc") &
wait_for 60 note_shown || give_up "the note did not show when started by its Run value"
open_notepad
wait_for 10 above Notepad QWindowTool
(cd "$dir" && timeout 90 wine deskMemo.exe 2>/dev/null; echo $? >"$work/second.rc") &
WAIT=45 check "a second start from its folder ends with exit code 0" \
    bash -c '[ "$(cat "$work/second.rc")" = 0 ]'
WAIT=0 check "... opens no second window" \
    bash -c '[ "$(windows | grep -c "QWindowTool.*	deskMemo	")" = 1 ]'
check "... and brings the running note to the front" above QWindowTool Notepad
close_notepad
# The note's own processes: those of this test's Wine prefix.
note_pids() { for p in $(pgrep -f 'deskMemo\.exe'); do grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" && echo "$p"; done; }
stopped=$(note_pids)
kill -STOP $stopped
(cd "$dir" && timeout 60 wine deskMemo.exe 2>/dev/null; echo $? >"$work/stopped.rc")
kill -CONT $stopped
WAIT=0 check "a start against a stopped note ends by itself with exit code 1" bash -c '[ "$(cat "$work/stopped.rc")" = 1 ]'
WAIT=0 check "... and opens no second window" bash -c '[ "$(windows | grep -c "QWindowTool.*	deskMemo	")" = 1 ]'
kill -KILL $(note_pids)
wait_for 10 bash -c '! note_shown'
note_start || give_up "the note did not show after it was killed"
WAIT=0 check "after kill -9 a new start shows the note" note_shown
menu 1
wait_for 10 exited 0

echo "# a folder that can't be written"
mount --bind "$dir" "$dir" && mount -o remount,bind,ro "$dir" ||
    give_up "the exe's folder could not be made read-only (no mount namespace here)"
note_start || give_up "the note did not show from the read-only folder"
check "the note opens as it was left there" at 470 555
menu 3
# The note's own place in %APPDATA%\deskMemo: its folder's name and a digest of its identity.
check "a save goes to the note's own place in %APPDATA%\\deskMemo" \
    bash -c 'set -- "$1"/Notes_便签-*/; ini_file="$1setInfo.ini" ini movable_flag=true' _ "$appdata"
check "... with the text copied there, the files beside the exe untouched" \
    bash -c 'set -- "$1"/Notes_便签-*/; bytes "\xef\xbb\xbf\xed\x95\x9c\xea\xb8\x80 ok" "$1myText" &&
             unchanged "$dir/myText"' _ "$appdata"
menu 1
check "关闭 ends the program with exit code 0" exited 0

echo "# in an English locale"
umount "$dir"
dir="$WINEPREFIX/drive_c/Notes EN" text_colour='#ff7f23'
mkdir -p "$dir" && cp "$exe" "$dir/deskMemo.exe" && rm -rf "$appdata"
LANG=en_US.UTF-8 note_start || give_up "the note did not show in English"
click $(on_text) 3 && wait_for 5 menu_open
WAIT=0 check "the menu reads in English" menu_reads en

echo "# at 150 % (LogPixels 144)"
wineserver -k
reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f && wineserver -w
dir="$WINEPREFIX/drive_c/Notes 150" text_colour='#ff7f23'
mkdir -p "$dir" && cp "$exe" "$dir/deskMemo.exe" && rm -rf "$appdata"
note_start || give_up "the note did not show at 150 %"
IFS=, read -r desk_x desk_y <<<"$(origin)"
drag -600 -600
menu 2
check "its 1140 x 870 window follows a drag on the text from (750, 750); 锁定 stores 100 % pixels" \
    bash -c '[ "$(field 2 "$(note_line)")" = "150,150 1140x870" ] && ini startPos=100,100'
dblclick $(on_text) && sleep 1
picture edit-page-150.png -90 -45 1230 495
set -- "$shots/edit-page-150.png" "$shots/edit-page.png"
WAIT=0 check "the edit page scaled back matches 100 % ($(difference "$@"))" scaled_back_matches "$@"
finish
