#!/usr/bin/env bash
# Installs what is missing, builds, and starts the note on the current desktop.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" build
"$root/scripts/build.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<MSG
deskMemo is built ($root/build/deskMemo) but cannot start here: there is no graphical
display (neither DISPLAY nor WAYLAND_DISPLAY is set). Run this command from a terminal
inside your desktop session, or start the program there: $root/build/deskMemo
MSG
    exit 1
fi
echo "Starting deskMemo: its text and settings are kept beside $root/build/deskMemo"
exec "$root/build/deskMemo"
