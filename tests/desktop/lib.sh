# shellcheck shell=bash
# Helpers for driving deskMemo on a throw-away X desktop: Xvfb (with 32-bit visuals), openbox
# and the xcompmgr compositor over a gradient background. Sourced by the desktop tests, the
# install test and the benchmark.
# Every wait is bounded; a condition is polled rather than slept for.

export CONVERT=/usr/bin/convert # ImageMagick's own, whatever else is on PATH
# The processes started here, and those a script adds itself, end with desk_stop, the newest
# first (the X server last).
desk_pids=()
desk_stop() {
    local i
    for ((i = ${#desk_pids[@]} - 1; i >= 0; i--)); do kill "${desk_pids[i]}" 2>/dev/null || true; done
    desk_pids=()
}

# A command's whole output is read before it is searched: under pipefail a reader that leaves
# early (grep -q, head) can kill its writer with SIGPIPE, at random.
# first_line COMMAND...: the first line that COMMAND prints; fails with COMMAND.
first_line() {
    local all
    all=$("$@") || return
    echo "${all%%$'\n'*}"
}
# prints PATTERN COMMAND...: COMMAND prints a line that matches PATTERN (a grep pattern).
prints() {
    local all
    all=$("${@:2}") || return
    grep -q -- "$1" <<<"$all"
}
export -f first_line prints

# in_own_mounts SCRIPT ARGUMENTS...: runs the test script again in a mount namespace of its own,
# where it may mount (a folder made read-only, or reached through a bind mount) without touching
# the system's mounts, which all go with it; as an ordinary user in a user namespace that keeps
# the uid. Nothing happens where that is refused. mounts_refused WHAT: says so, for a check.
in_own_mounts() {
    [ -z "${DESK_OWN_MOUNTS:-}" ] || return 0
    local unshare=(unshare -m)
    [ "$(id -u)" = 0 ] || unshare+=(-c --keep-caps)
    "${unshare[@]}" true 2>/dev/null || return 0
    DESK_OWN_MOUNTS=1 exec "${unshare[@]}" bash "$@"
}
mounts_refused() { [ -z "${DESK_OWN_MOUNTS:-}" ] && echo "skip    $1: no mount namespace here"; }

# wait_for SECONDS COMMAND...: runs COMMAND (a program or an exported function) until it
# succeeds; fails when it hasn't within SECONDS.
wait_for() {
    local seconds=$1
    shift
    timeout "$seconds" bash -c 'until "$@"; do sleep 0.05; done' wait_for "$@"
}

# Starts the X server on a free display between 200 and 999, the window manager (unless
# DESK_WM=0) and (unless DESK_COMPOSITOR=0) the compositor, and exports DISPLAY.
desk_start() {
    local size=${1:-1600x1000} number pid
    for _ in 1 2 3 4 5 6 7 8; do
        number=$((200 + RANDOM % 800))
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 "${size}x24" +extension Composite -nolisten tcp -noreset \
            >/dev/null 2>&1 &
        pid=$!
        # The lock file names the server that owns the display: ours, or one that won a race
        # (then ours ends at once).
        wait_for 10 bash -c 'grep -qw "$2" "$1" || ! prints "^[^Z]*$" ps -o stat= -p "$2"' \
            _ "/tmp/.X$number-lock" "$pid" 2>/dev/null
        grep -qw "$pid" "/tmp/.X$number-lock" 2>/dev/null && break
        kill "$pid" 2>/dev/null || true
        pid=
    done
    [ -n "$pid" ] || { echo "no X server could be started" >&2; return 1; }
    desk_pids+=("$pid")
    # Should this shell be killed outright, the X server still ends, and every client with it.
    bash -c 'while kill -0 "$1"; do sleep 1; done; kill "$2"' _ $$ "$pid" >/dev/null 2>&1 &
    desk_pids+=($!)
    export DISPLAY=:$number
    wait_for 10 xdpyinfo >/dev/null || return 1
    [ "${DESK_WM:-1}" = 1 ] || return 0
    openbox >/dev/null 2>&1 &
    desk_pids+=($!)
    wait_for 10 prints "window id" xprop -root _NET_SUPPORTING_WM_CHECK || return 1
    [ "${DESK_COMPOSITOR:-1}" = 1 ] || return 0
    hsetroot -add "#23507f" -add "#8fb8de" -gradient 0 >/dev/null
    xcompmgr >/dev/null 2>&1 &
    desk_pids+=($!)
    wait_for 10 bash -c 'xdotool search --name "^xcompmgr$" >/dev/null'
}

# note_start DIR [COMMAND...]: starts DIR/deskMemo (its files live beside it), or COMMAND in DIR,
# which ends by running it, and sets note (the id of its visible window) and note_pid. The exit
# code lands in DIR.rc when the program ends. The program starts with SIGINT handled as usual,
# not ignored as by a background job of a script.
note_start() {
    rm -f "$1.rc" "$1.pid"
    bash -c 'dir=$1; shift; cd "$dir" && { env --default-signal=INT "${@:-./deskMemo}" &
        echo $! >"$dir.pid"; wait $!; echo $? >"$dir.rc"; }' \
        _ "$@" >>"$1.log" 2>&1 &
    wait_for 10 test -s "$1.pid" || return 1
    note_pid=$(cat "$1.pid")
    desk_pids+=("$note_pid")
    note=$(note_window "$note_pid")
    export note note_pid
    [ -n "$note" ]
}

# note_windows [PID]: the visible note windows (of process PID), one id a line.
note_windows() { xdotool search --all --onlyvisible ${1:+--pid "$1"} --name '^deskMemo$'; }
# note_window [PID]: waits up to 10 s for a visible note window and prints the first one's id.
note_window() { first_line wait_for 10 note_windows "$@"; }

# note_exit DIR: waits for the program in DIR to end and prints its exit code.
note_exit() {
    wait_for 10 test -s "$1.rc" && cat "$1.rc"
}

# The window's top-left corner and size as "x,y wxh".
geometry() {
    xdotool getwindowgeometry "${1:-$note}" |
        awk '/Position/ { p = $2 } /Geometry/ { g = $2 } END { print p, g }'
}
at() { [ "$(geometry)" = "$1,$2 760x580" ]; }

# Visible windows of the note's process, other than the note itself (menus and dialogs).
others() { xdotool search --onlyvisible --pid "$note_pid" --name "${1:-.}" | grep -vx "$note"; }

# A full-screen picture as the compositor shows it.
shoot() { import -window root "$1"; }
# crop SHOT FILE X Y W H: a part of a picture, with coordinates relative to the note window.
crop() {
    local x y
    IFS=, read -r x y < <(geometry | cut -d' ' -f1)
    $CONVERT "$1" -crop "$5x$6+$((x + $3))+$((y + $4))" +repage "$2"
}
# count COLOUR SHOT X Y W H: how many pixels of exactly COLOUR a region of the note shows.
count() {
    local x y
    IFS=, read -r x y < <(geometry | cut -d' ' -f1)
    $CONVERT "$2" -crop "$5x$6+$((x + $3))+$((y + $4))" +repage -fill black +opaque "$1" \
        -fill white -opaque "$1" -format '%[fx:round(mean*w*h)]' info:
}
export -f wait_for note_windows geometry at others

# difference SCALED REFERENCE: a picture from a scaled screen, scaled back to the size of the one
# from 100 % (ImageMagick's default filter), against it: the normalised RMS difference of all
# channels. Glyphs rasterised at another size make up to 0.03; a page drawn 5 % too large 0.05
# where it is mostly see-through, 0.15 elsewhere.
difference() {
    $CONVERT "$1" -resize "$(identify -format %wx%h "$2")!" png:- |
        compare -metric RMSE - "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'
}
scaled_back_matches() { awk -v d="$(difference "$1" "$2")" 'BEGIN { exit !(d != "" && d < 0.045) }'; }
export -f difference scaled_back_matches

# click X Y [BUTTON] and dblclick X Y: at a point of the note window.
click() { xdotool mousemove --window "$note" "$1" "$2" click "${3:-1}"; }
dblclick() { xdotool mousemove --window "$note" "$1" "$2" click --repeat 2 --delay 60 1; }

# The checks of a test script. check DESCRIPTION COMMAND...: COMMAND must succeed within WAIT
# seconds (default 10; with 0 it runs once). A failure also shows what the script's
# describe_failure prints, if it has one.
passed=0 failed=0
check() {
    local what=$1 ok=0
    shift
    if [ "${WAIT:-10}" = 0 ]; then "$@" || ok=1; else wait_for "${WAIT:-10}" "$@" || ok=1; fi >/dev/null
    if [ $ok = 0 ]; then
        passed=$((passed + 1))
        echo "ok      $what"
    else
        failed=$((failed + 1))
        echo "FAILED  $what ($*)"
        ! declare -F describe_failure >/dev/null || describe_failure
    fi
}
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" = 0 ]
    exit
}
# give_up WHAT: a failure that leaves nothing else to check.
give_up() {
    failed=$((failed + 1))
    echo "FAILED  $1; the checks after it were not run"
    finish
}
