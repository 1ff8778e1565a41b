#!/usr/bin/env bash
# Builds the Debian package, installs it into this system, and starts the installed note on an
# X server of its own, once as an ordinary user and once as root. Both must keep their files in
# their own ~/.local/share/deskMemo and none in the program's folder, even though root could write
# there. The package installs under the build's install prefix.
# Removes the package (unless it was installed before) and the test user again.
# Usage: install_test.sh BUILD_DIR    Runs itself through sudo when not root; exits 77 (skipped)
# when that asks for a password, and without dpkg.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null && exec sudo -n "$0" "$build_dir"
    echo "skipped: installing a package needs root, or sudo without a password"
    exit 77
fi
command -v dpkg >/dev/null && command -v apt-get >/dev/null || { echo "skipped: no dpkg"; exit 77; }

work=$(mktemp -d)
chmod 755 "$work" # the test user's home lies inside
user=dmtest$$
installed_before=$(dpkg-query -W -f='${Status}' deskmemo 2>/dev/null || true)
cleanup() {
    desk_stop
    if id "$user" >/dev/null 2>&1; then userdel "$user" 2>/dev/null || true; fi
    if [ "$installed_before" != "install ok installed" ]; then
        apt-get remove -y -qq -o DPkg::Lock::Timeout=300 deskmemo >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=tests/desktop/lib.sh
source "$(dirname "$0")/../desktop/lib.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build_dir" && cpack -B "$work/package" >/dev/null)
# cpack's list of what it installed lands in the build folder: it stays its owner's, not root's.
chown --reference="$build_dir" "$build_dir/install_manifest.txt"
deb=$(ls "$work"/package/deskmemo_*.deb)
echo "package: ${deb##*/}"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=300 "$deb" >/dev/null

prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build_dir/CMakeCache.txt")
[ -x "$prefix/bin/deskMemo" ] || fail "no $prefix/bin/deskMemo"
desktop-file-validate "$prefix/share/applications/deskMemo.desktop" || fail "launcher not valid"
for size in 16 24 32 48 64 128 256; do
    [ -s "$prefix/share/icons/hicolor/${size}x$size/apps/deskMemo.png" ] || fail "no ${size}px icon"
done

# The X server and openbox, as for the desktop tests, without their compositor.
DESK_COMPOSITOR=0 desk_start 1280x800

useradd --home-dir "$work/user-home" --create-home --shell /usr/sbin/nologin "$user"
xhost "+SI:localuser:$user" >/dev/null

# Starts the installed note as the given user with the given home, closes it through the window
# manager (so it saves), and checks where its files went.
check_run() {
    local who=$1 home=$2 window pid
    mkdir -p "$home/runtime" && chmod 700 "$home/runtime" && chown -R "$who" "$home"
    runuser -u "$who" -- env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" \
        XDG_RUNTIME_DIR="$home/runtime" DISPLAY="$DISPLAY" LC_ALL=C.UTF-8 deskMemo \
        >"$work/$who.log" 2>&1 &
    desk_pids+=($!)
    window=$(note_window)
    [ -n "$window" ] || fail "$who: the installed note showed no window"
    pid=$(xdotool getwindowpid "$window")
    desk_pids+=("$pid")
    [ "$(stat -c %U "/proc/$pid")" = "$who" ] || fail "$who: the note runs as $(stat -c %U "/proc/$pid")"
    wmctrl -i -c "$window"
    timeout 30 sh -c "while kill -0 $pid 2>/dev/null; do sleep 0.1; done" || fail "$who: the note did not close"
    [ -s "$home/.local/share/deskMemo/setInfo.ini" ] || fail "$who: no settings in ~/.local/share/deskMemo"
    [ "$(stat -c %U "$home/.local/share/deskMemo/setInfo.ini")" = "$who" ] || fail "$who: settings not owned by $who"
    [ ! -e "$prefix/bin/setInfo.ini" ] && [ ! -e "$prefix/bin/myText" ] || fail "$who: files in $prefix/bin"
    echo "$who: the installed note started and kept its settings in $home/.local/share/deskMemo"
}
check_run "$user" "$work/user-home"
check_run root "$work/root-home"
