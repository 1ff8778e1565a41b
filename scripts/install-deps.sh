#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and this machine lacks.
# Usage: scripts/install-deps.sh [build|test|windows]   (test also brings what the test tiers
# use; windows brings what building Qt for Windows needs)
set -euo pipefail

build_packages=(
    g++ cmake ninja-build pkg-config
    qtbase5-dev qtbase5-dev-tools libqt5x11extras5-dev libxcb1-dev libxcb-shape0-dev
    liblayershellqtinterface-dev layer-shell-qt qtwayland5 libwayland-dev
    qttools5-dev qttools5-dev-tools qttranslations5-l10n fonts-wqy-zenhei
)
test_packages=(
    desktop-file-utils libglib2.0-bin systemd g++-mingw-w64-x86-64 wine wine64 xclip
    xvfb xauth openbox xdotool wmctrl x11-utils x11-xserver-utils xcompmgr hsetroot imagemagick
    clang-format strace dbus-daemon at-spi2-core python3-pyatspi xpad dpkg-dev file binutils procps
    clang libclang-rt-14-dev llvm
    sway grim kwin-wayland
)
windows_packages=(dpkg-dev make perl g++ g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix)

wanted=("${build_packages[@]}")
case ${1:-build} in
test) wanted+=("${test_packages[@]}") ;;
windows) wanted=("${windows_packages[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
