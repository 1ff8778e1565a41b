#!/usr/bin/env bash
# Measures deskMemo on an X server of its own (Xvfb with openbox, in a D-Bus session) beside the
# design floor (the least Qt needs to show what the note shows at start, bench/designFloor.cpp),
# a bare Qt label program and xpad, and prints a Markdown table of the figures and targets.
#
# Usage: bench/run.sh [BUILD_DIR]
#   RUNS=5          start-ups per program, interleaved (medians are reported)
#   IDLE_SECONDS=10 length of each idle check
#   DRAG_STEPS=500  pointer steps of the scripted drag
#   DRAG_ROUNDS=3   drags per program, alternating (medians are reported)
#   SAVES=51        saves timed per file
#
# It fails only when it cannot measure (a tool or a program missing, no window appearing);
# a missed target is printed, never turned into a failure.
set -Eeuo pipefail
trap 'echo "bench: stopped at line $LINENO: $BASH_COMMAND" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-$root/build}" && pwd)
runs=${RUNS:-5}
idle_seconds=${IDLE_SECONDS:-10}
drag_steps=${DRAG_STEPS:-500}
drag_rounds=${DRAG_ROUNDS:-3}
saves=${SAVES:-51}

for tool in Xvfb openbox xdotool xprop strace dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is missing (scripts/install-deps.sh test)" >&2; exit 1; }
done

# Everything runs inside one D-Bus session, as on a desktop: without a bus, Qt and GTK try to
# start one at each start-up, which is neither fast nor what users see.
if [ -z "${DESKMEMO_BENCH_SESSION:-}" ]; then
    DESKMEMO_BENCH_SESSION=1 exec dbus-run-session -- "$0" "$build_dir"
fi

cmake --build "$build_dir" --target deskMemo designFloor bareLabel deskMemoBench mapTimer >/dev/null
bench_bin=$build_dir/bench

# The work folder lies in the build folder, on the disk a note would be saved to (not tmpfs).
work=$(mktemp -d "$build_dir/bench-work.XXXXXX")
# shellcheck source=tests/desktop/lib.sh
source "$root/tests/desktop/lib.sh"
# shellcheck source=tests/wayland/lib.sh
source "$root/tests/wayland/lib.sh"
trap 'way_stop; desk_stop; rm -rf "$work"' EXIT

# The X server and openbox, as for the desktop tests, without their compositor: one at 100 %
# (Xft.dpi 96, as a desktop sets it) and one at 200 % (Xft.dpi 192), big enough for the note there.
DESK_COMPOSITOR=0 desk_start 3200x2400
echo 'Xft.dpi: 192' | xrdb -merge
display_200=$DISPLAY
DESK_COMPOSITOR=0 desk_start 1600x1200
echo 'Xft.dpi: 96' | xrdb -merge

# The same clean environment for every program: a home of its own, no Qt platform choices.
home=$work/home
mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
clean_env=(env -u QT_QPA_PLATFORM -u QT_XCB_GL_INTEGRATION -u XDG_CONFIG_HOME -u XDG_DATA_HOME
    -u XDG_CACHE_HOME HOME="$home" XDG_RUNTIME_DIR="$home/runtime" LC_ALL=C.UTF-8)
note_dir=$work/note
mkdir -p "$note_dir"
cp "$build_dir/deskMemo" "$note_dir/"

median() { sort -g | awk '{v[NR] = $1} END {if (NR) print v[int((NR + 1) / 2)]}'; }

# One start-up: prints "<ms> <kB> <CPU ms>". The note and xpad start from clean folders each time.
# NAME-200 starts on the screen at 200 %.
start_once() {
    case "$1" in
    *-200) DISPLAY=$display_200 start_once "${1%-200}" ;;
    deskMemo)
        rm -f "$note_dir/myText" "$note_dir/setInfo.ini"
        (cd "$note_dir" && "${clean_env[@]}" "$bench_bin/mapTimer" 300 ./deskMemo) ;;
    floor)
        "${clean_env[@]}" QT_XCB_GL_INTEGRATION=none "$bench_bin/mapTimer" 300 "$bench_bin/designFloor" ;;
    bare-nogl)
        "${clean_env[@]}" QT_XCB_GL_INTEGRATION=none "$bench_bin/mapTimer" 300 "$bench_bin/bareLabel" ;;
    bare-default)
        "${clean_env[@]}" "$bench_bin/mapTimer" 300 "$bench_bin/bareLabel" ;;
    xpad)
        local xpad_home
        xpad_home=$(mktemp -d "$work/xpad-home.XXXXXX")
        "${clean_env[@]}" HOME="$xpad_home" "$bench_bin/mapTimer" 300 xpad ;;
    esac
}

programs=(deskMemo floor deskMemo-200 floor-200 bare-nogl bare-default)
if command -v xpad >/dev/null; then programs+=(xpad); fi
declare -A start_ms rss_kb cpu_ms
load_average() { cut -d ' ' -f 1-3 /proc/loadavg; }
load_before=$(load_average)
for ((run = 1; run <= runs; run++)); do
    for program in "${programs[@]}"; do # interleaved, so that load changes hit all alike
        read -r ms kb cpu < <(start_once "$program" 2>/dev/null) ||
            { echo "bench: $program showed no window" >&2; exit 1; }
        start_ms[$program]+="$ms "
        rss_kb[$program]+="$kb "
        cpu_ms[$program]+="$cpu "
    done
done
load_after=$(load_average)
declare -A start_median rss_median cpu_median
for program in "${programs[@]}"; do
    cpu_median[$program]=$(tr ' ' '\n' <<<"${cpu_ms[$program]}" | grep . | median)
    start_median[$program]=$(tr ' ' '\n' <<<"${start_ms[$program]}" | grep . | median)
    rss_median[$program]=$(tr ' ' '\n' <<<"${rss_kb[$program]}" | grep . | median)
done

# Start-up writes nothing: the note starts from a clean folder under strace, which records every
# call that could change a file or folder; those that succeeded are counted until 300 ms after
# the window is mapped. The design floor runs the same way and shows what Qt itself does. The
# mark that a second start of the note finds is no file (an abstract socket): nothing is left out.
change_calls=open,openat,openat2,creat,mkdir,mkdirat,rmdir,unlink,unlinkat,rename,renameat,renameat2
change_calls+=,link,linkat,symlink,symlinkat,truncate,ftruncate,chmod,fchmod,fchmodat,chown,fchown
change_calls+=,fchownat,lchown,utime,utimes,utimensat,futimesat,mknod,mknodat
start_changes() { # NAME --name|--classname PATTERN PROGRAM... -> calls that changed files
    local name=$1 by=$2 pattern=$3 tracer window
    shift 3
    (exec strace -f -qq --seccomp-bpf -o "$work/start-$name" -e trace="$change_calls" "$@") \
        >/dev/null 2>&1 &
    tracer=$!
    window=$(first_line wait_for 10 xdotool search --onlyvisible "$by" "$pattern")
    sleep 0.3
    cp "$work/start-$name" "$work/start-$name.seen"
    pkill -KILL -P "$tracer" || true # no close, so that nothing is saved
    wait "$tracer" 2>/dev/null || true
    [ -n "$window" ] || { echo "bench: $name showed no window under strace" >&2; return 1; }
    awk '/= -1 / {next} /^[0-9]+ +(open|openat|openat2)\(/ && !/O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND/ {next}
        /^[0-9]+ +[a-z0-9_]+\(/ {print}' "$work/start-$name.seen" >"$work/start-$name.changes"
    wc -l <"$work/start-$name.changes"
}
rm -f "$note_dir/myText" "$note_dir/setInfo.ini"
note_start_changes=$(cd "$note_dir" && start_changes note --name '^deskMemo$' "${clean_env[@]}" ./deskMemo)
floor_start_changes=$(start_changes floor --classname '^designFloor$' "${clean_env[@]}" \
    QT_XCB_GL_INTEGRATION=none "$bench_bin/designFloor")
note_files_at_start=$(find "$note_dir" -mindepth 1 ! -name deskMemo | wc -l)

# Idle: the note on its display page, then after a visit to the edit page. A count is only taken
# when strace stayed attached for the whole time ("n/a" otherwise: not allowed to trace, or the
# note ended).
syscalls_in() { # PID SECONDS -> number of system calls the process made in that time, or n/a
    local status=0
    rm -f "$work/strace-count"
    timeout -s INT "$2" strace -c -f -p "$1" -o "$work/strace-count" >/dev/null 2>&1 || status=$?
    if [ "$status" -ne 124 ] || ! kill -0 "$1" 2>/dev/null; then
        echo n/a
        return
    fi
    # With no system call at all, strace writes no table.
    awk '$NF == "total" {print $(NF - 1); found = 1} END {if (!found) print 0}' "$work/strace-count" 2>/dev/null ||
        echo 0
}
(cd "$note_dir" && exec "${clean_env[@]}" ./deskMemo) >/dev/null 2>&1 &
note_pid=$!
desk_pids+=("$note_pid")
[ -n "$(note_window "$note_pid")" ]
sleep 1
idle_display=$(syscalls_in "$note_pid" "$idle_seconds")
# The note stands at (500, 500); its text starts near (560, 530). A double-click opens the edit
# page, a click into the editor and a key press there start the blinking cursor, the cancel
# button (810..921, 712..743) brings the display page back.
xdotool mousemove 600 545 click --repeat 2 --delay 80 1
sleep 1
xdotool mousemove 750 630 click 1 sleep 0.3 key End
sleep 0.5
edit_blink=$(syscalls_in "$note_pid" 2)
xdotool mousemove 865 727 click 1
sleep 1
idle_after_edit=$(syscalls_in "$note_pid" "$idle_seconds")
kill "$note_pid"
wait "$note_pid" 2>/dev/null || true

# The first double-click: the CPU time the note takes to build the edit page and paint it, at
# 100 % and 200 %, and its peak RSS afterwards. The note starts from a clean folder, settles, is
# double-clicked on its text (100, 45 in the window, at 500, 500 of the screen at 100 %) and is
# read 1.5 s later.
first_double_click() { # PERCENT -> "<CPU ms> <VmHWM kB>"
    local scale=$(($1 / 100)) pid before
    rm -f "$note_dir/myText" "$note_dir/setInfo.ini"
    (cd "$note_dir" && exec "${clean_env[@]}" ./deskMemo) >/dev/null 2>&1 &
    pid=$!
    [ -n "$(note_window "$pid")" ] || { echo "bench: the note showed no window" >&2; return 1; }
    sleep 1
    before=$(cpu_ns "$pid")
    xdotool mousemove $((scale * 600)) $((scale * 545)) click --repeat 2 --delay 80 1
    sleep 1.5
    echo "$(awk -v a="$before" -v b="$(cpu_ns "$pid")" 'BEGIN {printf "%.1f", (b - a) / 1e6}')" \
        "$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{sum += $1} END {print sum}'; }
declare -A click_cpu click_kb
for ((run = 1; run <= runs; run++)); do
    read -r ms kb < <(first_double_click 100)
    click_cpu[100]+="$ms " click_kb[100]+="$kb "
    read -r ms kb < <(DISPLAY=$display_200 first_double_click 200)
    click_cpu[200]+="$ms " click_kb[200]+="$kb "
done
for percent in 100 200; do
    click_cpu[$percent]=$(tr ' ' '\n' <<<"${click_cpu[$percent]}" | grep . | median)
    click_kb[$percent]=$(tr ' ' '\n' <<<"${click_kb[$percent]}" | grep . | median)
done

# Dragging: the program runs under strace with a seccomp filter, so only file system calls stop
# it; everything else runs at full speed and its CPU time can be read from /proc. The note and
# the design floor are dragged along the same path, from a press on their text.
io_writes() { awk '/^write_bytes/ {print $2}' /proc/"$1"/io; }
open_for_writing() { # regular files the process holds open for writing
    local fd flags
    for fd in /proc/"$1"/fd/*; do
        [ -f "$(readlink "$fd")" ] || continue
        flags=$(awk '/^flags/ {print $2}' "/proc/$1/fdinfo/${fd##*/}")
        (((8#$flags & 3) != 0)) && readlink "$fd"
    done
    return 0
}
drag=(mousemove 600 545 mousedown 1)
for ((step = 1; step <= drag_steps; step++)); do
    drag+=(sleep 0.002 mousemove $((600 - step)) $((545 - step * 4 / 10)))
done
drag+=(mouseup 1)
# drag_program NAME --name|--classname PATTERN PROGRAM...: drags the program's window and sets
# drag_us (CPU per motion event), moved_to, file_calls, disk_writes and held_for_writing; the
# program keeps running (its pid in drag_pid, its strace's in drag_tracer).
drag_program() {
    local name=$1 by=$2 pattern=$3 window file_calls_before writes_before cpu_before cpu_after
    shift 3
    (exec strace -f -qq --seccomp-bpf -o "$work/drag-$name" \
        -e trace=%file,fsync,fdatasync,syncfs,sync,ftruncate "$@") >/dev/null 2>&1 &
    drag_tracer=$!
    desk_pids+=("$drag_tracer")
    window=$(first_line wait_for 10 xdotool search --onlyvisible "$by" "$pattern")
    [ -n "$window" ] || { echo "bench: $name showed no window" >&2; return 1; }
    drag_pid=$(xdotool getwindowpid "$window")
    sleep 1
    file_calls_before=$(wc -l <"$work/drag-$name")
    writes_before=$(io_writes "$drag_pid")
    cpu_before=$(cpu_ns "$drag_pid")
    xdotool "${drag[@]}"
    sleep 0.3
    cpu_after=$(cpu_ns "$drag_pid")
    file_calls=$(($(wc -l <"$work/drag-$name") - file_calls_before))
    disk_writes=$(($(io_writes "$drag_pid") - writes_before))
    held_for_writing=$(open_for_writing "$drag_pid" | wc -l)
    moved_to=$(xdotool getwindowgeometry "$window" | awk '/Position/ {print $2}')
    drag_us=$(awk -v a="$cpu_before" -v b="$cpu_after" -v n="$drag_steps" 'BEGIN {printf "%.1f", (b - a) / n / 1000}')
}
end_dragged() {
    kill -KILL "$drag_pid"
    wait "$drag_tracer" 2>/dev/null || true
}
drag_floor() {
    drag_program floor --classname '^designFloor$' "${clean_env[@]}" QT_XCB_GL_INTEGRATION=none \
        "$bench_bin/designFloor"
    floor_drag_runs+="$drag_us " floor_moved_to=$moved_to
    end_dragged
}
# The note starts without files; what a drag wrote is counted before it ends (killed, so that its
# close writes nothing).
drag_note() {
    rm -f "$note_dir/myText" "$note_dir/setInfo.ini"
    cd "$note_dir"
    drag_program note --name '^deskMemo$' "${clean_env[@]}" ./deskMemo
    cd - >/dev/null
    note_drag_runs+="$drag_us " note_moved_to=$moved_to
    ((drag_file_calls += file_calls, drag_disk_writes += disk_writes, drag_held += held_for_writing,
        drag_files += $(find "$note_dir" -type f ! -name deskMemo | wc -l))) || true
    end_dragged
}
floor_drag_runs='' note_drag_runs='' drag_file_calls=0 drag_disk_writes=0 drag_held=0 drag_files=0
for ((round = 1; round <= drag_rounds; round++)); do # alternating, which goes first
    if ((round % 2)); then
        drag_floor
        drag_note
    else
        drag_note
        drag_floor
    fi
done
floor_drag_us=$(tr ' ' '\n' <<<"$floor_drag_runs" | grep . | median)
drag_us=$(tr ' ' '\n' <<<"$note_drag_runs" | grep . | median)

# Saves and the long note, through the library the program is built from.
# A save waits for the disk (the new file is flushed before it replaces the old one); the same
# saves in memory (/dev/shm) show the program's own share.
"${clean_env[@]}" "$bench_bin/deskMemoBench" "$work/files" "$saves" >"$work/storage" 2>/dev/null
memory_dir=$(mktemp -d /dev/shm/deskMemo-bench.XXXXXX 2>/dev/null || true)
if [ -n "$memory_dir" ]; then
    "${clean_env[@]}" "$bench_bin/deskMemoBench" "$memory_dir" "$saves" | sed 's/^/memory_/' >>"$work/storage" 2>/dev/null
    rm -rf "$memory_dir"
fi
figure() { awk -v k="$1" '$1 == k {print $2} END {}' "$work/storage" | grep . || echo n/a; }

# Wayland: start to the first frame of the layer surface on sway, nested in an X server of its
# own, as the Wayland tests run it (for root, as a throw-away user). The first frame is the
# first buffer the note attaches, in the protocol log of the Wayland library (its clock is the
# wall clock in microseconds, modulo 2^32).
wayland_ms=n/a
chmod 755 "$work" # the throw-away user's home lies inside
if command -v sway >/dev/null && way_start "$work"; then
    way_note=$work/way-note
    mkdir -p "$way_note" && cp "$build_dir/deskMemo" "$build_dir/deskMemo-layershell.so" "$way_note/" &&
        chown -R "$way_user" "$way_note"
    first_frame_once() {
        rm -f "$way_note"/{myText,setInfo.ini,protocol}
        as_user bash -c 'cd "$1" && echo $$ >pid && date +%s%6N >start && WAYLAND_DEBUG=client exec ./deskMemo \
            2>protocol' _ "$way_note" &
        timeout 10 bash -c 'until grep -qs "wl_surface@[0-9]*\.attach(wl_buffer" "$1/protocol"; do
            sleep 0.01; done' _ "$way_note" || return 1
        kill "$(cat "$way_note/pid")"
        wait $! 2>/dev/null
        grep -m1 -o '^\[ *[0-9]*\.[0-9]*\] *-> wl_surface@[0-9]*\.attach(wl_buffer' "$way_note/protocol" |
            tr -d '[]' | awk -v s="$(cat "$way_note/start")" '{
                split($1, t, "."); d = (t[1] * 1000 + t[2] - s % 4294967296 + 4294967296) % 4294967296
                printf "%.0f\n", d / 1000 }'
    }
    wayland_runs=()
    for ((run = 1; run <= runs; run++)); do wayland_runs+=("$(first_frame_once || true)"); done
    wayland_ms=$(printf '%s\n' "${wayland_runs[@]}" | grep . | median)
fi

# The table.
mb() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f×", a / b}'; }
verdict() { if awk "BEGIN {exit !($1)}"; then echo met; else echo "**missed** ($2)"; fi; }
idle_verdict() { # COUNT
    if [ "$1" = n/a ]; then echo "not measured: strace could not attach"; else verdict "$1 == 0" "not quiet"; fi
}
floor_ms=${start_median[floor]}
floor_kb=${rss_median[floor]}
floor_cpu=${cpu_median[floor]}
note_ms=${start_median[deskMemo]}
note_kb=${rss_median[deskMemo]}
note_cpu=${cpu_median[deskMemo]}
name_of() {
    case "$1" in
    deskMemo) echo "deskMemo" ;;
    floor) echo "design floor (bench/designFloor), QT_XCB_GL_INTEGRATION=none" ;;
    deskMemo-200) echo "deskMemo at 200 % (Xft.dpi 192)" ;;
    floor-200) echo "design floor at 200 %" ;;
    bare-nogl) echo "bare QLabel, QT_XCB_GL_INTEGRATION=none" ;;
    bare-default) echo "bare QLabel, Qt's default (GLX loaded)" ;;
    xpad) echo "xpad $(dpkg-query -W -f='${Version}' xpad 2>/dev/null || true)" ;;
    esac
}

echo
echo "Start-up to window mapped, the CPU time it took, and peak RSS 300 ms later (medians of $runs"
echo "interleaved runs; load average $load_before before them, $load_after after them):"
echo
echo "| Program | Start (ms) | CPU until mapped (ms) | Peak RSS (MB) |"
echo "|---|---:|---:|---:|"
for program in "${programs[@]}"; do
    echo "| $(name_of "$program") | ${start_median[$program]} | ${cpu_median[$program]} | $(mb "${rss_median[$program]}") |"
done
echo
echo "| Check | Measured | Target | Result |"
echo "|---|---|---|---|"
echo "| Start to first frame: Wayland (sway, layer surface) vs. X11 (window mapped) | ${wayland_ms:-n/a} ms vs. $note_ms ms | — | — |"
echo "| Start-up vs. design floor | $note_ms ms vs. $floor_ms ms: $(ratio "$note_ms" "$floor_ms") | ≤ 1.05× | $(verdict "$note_ms <= 1.05 * $floor_ms" "$(ratio "$note_ms" "$floor_ms")") |"
echo "| CPU until mapped vs. design floor | $note_cpu ms vs. $floor_cpu ms: $(ratio "$note_cpu" "$floor_cpu") | — | — |"
echo "| Peak RSS vs. design floor | $(mb "$note_kb") MB vs. $(mb "$floor_kb") MB: +$(mb $((note_kb - floor_kb))) MB | ≤ floor + 1 MB | $(verdict "$note_kb <= $floor_kb + 1024" "by $(mb $((note_kb - floor_kb - 1024))) MB") |"
echo "| At 200 %: start-up, CPU until mapped, peak RSS vs. design floor at 200 % | ${start_median[deskMemo-200]} ms vs. ${start_median[floor-200]} ms: $(ratio "${start_median[deskMemo-200]}" "${start_median[floor-200]}"); $(ratio "${cpu_median[deskMemo-200]}" "${cpu_median[floor-200]}"); $(mb "${rss_median[deskMemo-200]}") MB vs. $(mb "${rss_median[floor-200]}") MB: +$(mb $((${rss_median[deskMemo-200]} - ${rss_median[floor-200]}))) MB | — | — |"
echo "| First double-click, edit page built and painted: CPU, peak RSS after (median of $runs) | 100 %: ${click_cpu[100]} ms, $(mb "${click_kb[100]}") MB; 200 %: ${click_cpu[200]} ms, $(mb "${click_kb[200]}") MB | — | — |"
echo "| Design floor vs. bare QLabel (GL off): start, peak RSS | $(ratio "$floor_ms" "${start_median[bare-nogl]}"), +$(mb $((floor_kb - ${rss_median[bare-nogl]}))) MB | — | — |"
echo "| Start-up: calls that changed a file or folder, note (design floor) | $note_start_changes ($floor_start_changes), $note_files_at_start files beside the note | 0 | $(verdict "$note_start_changes + $note_files_at_start == 0" wrote) |"
echo "| Idle on the display page, $idle_seconds s | $idle_display system calls | 0 | $(idle_verdict "$idle_display") |"
echo "| Edit page, cursor blinking, 2 s | $edit_blink system calls | — | allowed |"
if [ "$edit_blink" = n/a ] || [ "$idle_after_edit" = n/a ]; then
    after_edit="not measured: strace could not attach"
elif [ "$edit_blink" -gt 0 ]; then
    after_edit=$(verdict "$idle_after_edit == 0" "not quiet")
else
    after_edit="not measured: the cursor never blinked"
fi
echo "| Idle after the edit page, $idle_seconds s | $idle_after_edit system calls | 0 | $after_edit |"
echo "| Save settings, build folder's disk (median of $saves) | $(figure save_settings_ms) ms | ≤ 2 ms | $(verdict "$(figure save_settings_ms) <= 2" "waits for the disk") |"
echo "| Save a 1 KB text, build folder's disk (median of $saves) | $(figure save_text_1k_ms) ms | ≤ 2 ms | $(verdict "$(figure save_text_1k_ms) <= 2" "waits for the disk") |"
echo "| Save settings / 1 KB text in memory (/dev/shm) | $(figure memory_save_settings_ms) / $(figure memory_save_text_1k_ms) ms | — | the program's own share |"
echo "| Translations loaded at start, English / Chinese (Qt's own only) (median of $saves) | $(figure speak_en_ms) / $(figure speak_zh_ms) ms | ≤ 1 ms | $(verdict "$(figure speak_en_ms) <= 1 && $(figure speak_zh_ms) <= 1" slow) |"
echo "| Open a 1 MB note (median of 3) | $(figure open_1m_ms) ms | ≤ 1000 ms | $(verdict "$(figure open_1m_ms) <= 1000" slow) |"
echo "| Drag of $drag_steps steps: CPU per motion event vs. design floor (median of $drag_rounds drags each) | $drag_us µs vs. $floor_drag_us µs: $(ratio "$drag_us" "$floor_drag_us") (moved to $note_moved_to and $floor_moved_to) | ≤ 1.2× | $(verdict "$drag_us <= 1.2 * $floor_drag_us" "$(ratio "$drag_us" "$floor_drag_us")") |"
echo "| Drags of the note: file system calls, bytes to disk, files held for writing, files written | $drag_file_calls, $drag_disk_writes, $drag_held, $drag_files | 0, 0, 0, 0 | $(verdict "$drag_file_calls + $drag_disk_writes + $drag_held + $drag_files == 0" "wrote") |"
