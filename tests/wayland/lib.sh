# shellcheck shell=bash
# Helpers for a throw-away Wayland desktop: sway nested in an X server of its own, so that sway
# gets a real pointer and keyboard, which xdotool on the X display drives; grim takes pictures of
# sway's output. Sway refuses to run as root, so it runs as a throw-away user, and so do its
# clients. Sourced after tests/desktop/lib.sh by the Wayland tests and the benchmark; needs root.

# way_start WORK: the X server (no window manager: sway's window fills it), the user way_user,
# and sway; exports WAYLAND_DISPLAY and SWAYSOCK. WORK must be open to the user.
way_start() {
    way_work=$1 way_user=dmway$$
    DESK_WM=0 desk_start 1600x1000 || return 1
    useradd --system --no-create-home --home-dir "$way_work/home" --shell /usr/sbin/nologin \
        "$way_user" || return 1
    mkdir -p "$way_work/home" "$way_work/runtime"
    chown "$way_user" "$way_work/home" "$way_work/runtime"
    chmod 700 "$way_work/runtime"
    xhost "+SI:localuser:$way_user" >/dev/null
    # A plain Qt window (the cover) floats where it covers the note's text.
    cat >"$way_work/sway.conf" <<'EOF'
xwayland disable
output * bg #23507f solid_color
output X11-1 resolution 1600x1000 position 0 0
default_border none
for_window [app_id="^bareLabel$"] floating enable, resize set 700 500, move position 100 100
EOF
    as_user WLR_BACKENDS=x11 WLR_RENDERER=pixman WLR_X11_OUTPUTS=1 DISPLAY="$DISPLAY" \
        sway -c "$way_work/sway.conf" >"$way_work/sway.log" 2>&1 &
    desk_pids+=($!)
    wait_for 15 bash -c 'ls "$1"/wayland-[0-9] "$1"/sway-ipc.*' _ "$way_work/runtime" \
        >/dev/null 2>&1 || return 1
    WAYLAND_DISPLAY=$(basename "$(ls "$way_work"/runtime/wayland-[0-9] | head -n 1)")
    SWAYSOCK=$(ls "$way_work"/runtime/sway-ipc.* | head -n 1)
    export WAYLAND_DISPLAY SWAYSOCK
}

# as_user [NAME=VALUE...] COMMAND...: runs a client of the Wayland desktop as its user, in a
# clean Wayland session environment (no X display).
as_user() {
    runuser -u "$way_user" -- env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$way_work/home" \
        XDG_RUNTIME_DIR="$way_work/runtime" ${WAYLAND_DISPLAY:+WAYLAND_DISPLAY="$WAYLAND_DISPLAY"} \
        ${SWAYSOCK:+SWAYSOCK="$SWAYSOCK"} XDG_SESSION_TYPE=wayland LC_ALL=C.UTF-8 "$@"
}

# Ends every process of the throw-away user (all started here) and removes the user.
way_stop() {
    [ -n "${way_user:-}" ] && id "$way_user" >/dev/null 2>&1 || return 0
    { ps -o pid= -u "$way_user" | xargs -r kill; } 2>/dev/null || true
    timeout 5 bash -c 'while ps -u "$1" >/dev/null; do sleep 0.1; done' _ "$way_user" || true
    userdel "$way_user" 2>/dev/null || true
}

# way_shoot FILE: a picture of sway's output.
way_shoot() {
    as_user grim "$way_work/runtime/shot.png" 2>/dev/null && cp "$way_work/runtime/shot.png" "$1"
}
