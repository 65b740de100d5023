#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only those missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev python3
    qt6-base-dev qt6-wayland libxcb1-dev pkg-config fonts-wine
)
# Only the tests need a virtual X server, a headless Wayland compositor, the
# accessibility bus and the tools that play the window.
if [ "${1:-}" = "--tests" ]; then
    packages+=(xvfb xauth xdotool xclip python3 desktop-file-utils clang libclang-rt-14-dev
               weston dbus-daemon at-spi2-core python3-pyatspi)
fi
# Building the Debian package asks dpkg-shlibdeps and file about the program.
if [ "${1:-}" = "--package" ]; then
    packages+=(dpkg-dev file python3)
fi
# A release also cross-builds the Windows programs and makes their installers.
if [ "${1:-}" = "--release" ]; then
    packages+=(dpkg-dev file python3 git g++-mingw-w64-i686 g++-mingw-w64-x86-64 wixl)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
