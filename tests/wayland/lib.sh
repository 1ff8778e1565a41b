# shellcheck shell=bash
# Helpers for a throw-away Wayland desktop: sway or KWin nested in an X server of its own, so
# that xdotool on the X display drives the compositor's pointer and keyboard. The compositor and
# its clients run as the user, or for root as a throw-away user (sway refuses root). Sourced after
# tests/desktop/lib.sh by the Wayland tests and the benchmark. A plain Qt window (the cover,
# bareLabel) is put at (280, 100), 700 x 500, over the right end of the text of a note at (140, 150).

# way_start WORK [sway|kwin] [OUTPUTS]: the X server (no window manager: the compositor's window
# fills it), the user way_user, and the compositor with one output, or two side by side (each
# 1600 x 1000, the second at x = 1600, each an X window of its own); exports WAYLAND_DISPLAY (and
# SWAYSOCK). WORK must be open to the user.
way_start() {
    way_work=$1 way_compositor=${2:-sway} way_outputs=${3:-1} way_user=$(id -un)
    DESK_WM=0 desk_start $((1600 * way_outputs))x1200 || return 1
    rm -rf "$way_work/runtime" # what an earlier compositor left
    mkdir -p "$way_work/home/.config" "$way_work/runtime"
    chmod 700 "$way_work/runtime"
    if [ "$(id -u)" = 0 ]; then
        way_user=dmway$$
        useradd --system --no-create-home --home-dir "$way_work/home" --shell /usr/sbin/nologin \
            "$way_user" || return 1
        chown -R "$way_user" "$way_work/home" "$way_work/runtime"
        xhost "+SI:localuser:$way_user" >/dev/null
    fi
    # wlroots looks up, but does not make, the atoms of a window manager's close request: made
    # here, an output's X window takes that request as the end of the output.
    for atom in WM_PROTOCOLS WM_DELETE_WINDOW; do xprop -root -f _DESKMEMO 32a -set _DESKMEMO $atom; done
    xprop -root -remove _DESKMEMO
    "way_start_$way_compositor" || return 1
    wait_for 20 prints "^wayland-[0-9a-z]*$" ls "$way_work/runtime" || return 1
    WAYLAND_DISPLAY=$(first_line grep -x "wayland-[0-9a-z]*" <<<"$(ls "$way_work/runtime")")
    export WAYLAND_DISPLAY
    [ "$way_outputs" = 1 ] && return 0
    wait_for 10 bash -c '[ "$(way_output_windows | wc -l)" = 2 ]' || return 1
    xdotool windowmove "$(way_output_windows | tail -n 1)" 1600 0
}

# The X windows of the compositor's outputs, in the order the outputs were made.
way_output_windows() {
    local window
    xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p' | while read -r window; do
        echo "$((window)) $window"
    done | sort -n | cut -d' ' -f2
}
export -f way_output_windows

way_start_sway() {
    cat >"$way_work/sway.conf" <<'CONF'
xwayland disable
output * bg #23507f solid_color
output X11-1 resolution 1600x1000 position 0 0
output X11-2 resolution 1600x1000 position 1600 0
default_border none
for_window [app_id="^bareLabel$"] floating enable, resize set 700 500, move position 280 100
for_window [app_id="^deskMemo$"] floating enable
CONF
    as_user WLR_BACKENDS=x11 WLR_RENDERER=pixman WLR_X11_OUTPUTS=$way_outputs DISPLAY="$DISPLAY" \
        sway -c "$way_work/sway.conf" >"$way_work/compositor.log" 2>&1 &
    desk_pids+=($!)
    wait_for 15 bash -c 'ls "$1"/sway-ipc.*' _ "$way_work/runtime" >/dev/null 2>&1 || return 1
    SWAYSOCK=$(first_line ls "$way_work"/runtime/sway-ipc.*)
    export SWAYSOCK
}

# KWin 5.27 paints without a GPU only with its QPainter compositor; a container refuses the file
# capability of the packaged binary ("Operation not permitted"), a copy has none. Its desktop is black.
way_start_kwin() {
    cat >"$way_work/home/.config/kwinrulesrc" <<'CONF'
[General]
count=1
rules=cover
[cover]
wmclass=bareLabel
wmclassmatch=1
position=280,100
positionrule=2
size=700,500
sizerule=2
CONF
    cp "$(command -v kwin_wayland)" "$way_work/kwin_wayland"
    as_user KWIN_COMPOSE=Q DISPLAY="$DISPLAY" dbus-run-session "$way_work/kwin_wayland" \
        --x11-display "$DISPLAY" --width 1600 --height $((way_outputs == 1 ? 1200 : 1000)) \
        --output-count "$way_outputs" --socket wayland-kwin \
        >"$way_work/compositor.log" 2>&1 &
    desk_pids+=($!)
}

# as_user [NAME=VALUE...] COMMAND...: runs a client of the Wayland desktop as its user, in a
# clean Wayland session environment (no X display).
as_user() {
    local as=()
    [ "$way_user" = "$(id -un)" ] || as=(runuser -u "$way_user" --)
    "${as[@]}" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$way_work/home" \
        XDG_RUNTIME_DIR="$way_work/runtime" ${WAYLAND_DISPLAY:+WAYLAND_DISPLAY="$WAYLAND_DISPLAY"} \
        ${SWAYSOCK:+SWAYSOCK="$SWAYSOCK"} XDG_SESSION_TYPE=wayland LANG=zh_CN.UTF-8 LC_CTYPE=C.UTF-8 "$@"
}

# The processes of the Wayland desktop: those that as_user started, with its runtime folder.
way_pids() {
    local p
    for p in $(pgrep -u "$way_user"); do
        grep -qzx "XDG_RUNTIME_DIR=$way_work/runtime" "/proc/$p/environ" 2>/dev/null && echo "$p"
    done
}
# Ends them all and removes the throw-away user.
way_stop() {
    [ -n "${way_user:-}" ] && id "$way_user" >/dev/null 2>&1 || return 0
    # A process may end between the listing and the kill (a short-lived helper of the desktop).
    way_pids | xargs -r kill 2>/dev/null || true
    for _ in {1..50}; do [ -n "$(way_pids)" ] || break; sleep 0.1; done
    [ "$way_user" = "$(id -un)" ] || userdel "$way_user" 2>/dev/null || true
}

# way_shoot FILE: a picture of the compositor's output: grim on sway; KWin, which offers no
# program a picture, draws its output into its window on the X server, which fills it.
way_shoot() {
    if [ "$way_compositor" = kwin ]; then
        import -window root "$1" 2>/dev/null
    else
        as_user grim "$way_work/runtime/shot.png" 2>/dev/null && cp "$way_work/runtime/shot.png" "$1"
    fi
}
