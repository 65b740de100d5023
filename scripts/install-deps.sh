#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only those missing.
set -euo pipefail

# What every build of the desktop program needs.
desktop=(
    cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev python3
    qt6-base-dev qt6-wayland libxcb1-dev pkg-config fonts-wine
)
# The browser build: Emscripten optimises with Node.js and its acorn; the faces
# come from Wine's fonts, cut down with fontTools and compressed with Brotli.
web=(cmake ninja-build python3 emscripten node-acorn python3-fonttools python3-brotli fonts-wine)

case "${1:-}" in
    # Only the tests need a virtual X server, a headless Wayland compositor, the
    # accessibility bus and the tools that play the window.
    --tests)
        packages=("${desktop[@]}" xvfb xauth xdotool xclip python3 desktop-file-utils clang libclang-rt-14-dev
                  weston dbus-daemon at-spi2-core python3-pyatspi) ;;
    # Building the Debian package asks dpkg-shlibdeps and file about the program.
    --package) packages=("${desktop[@]}" dpkg-dev file python3) ;;
    # A release also cross-builds the Windows programs and makes their installers.
    --release)
        packages=("${desktop[@]}" dpkg-dev file python3 git g++-mingw-w64-i686 g++-mingw-w64-x86-64 wixl) ;;
    --web) packages=("${web[@]}") ;;
    # The browser test plays the site in Chromium, Firefox (spoken to over a
    # WebSocket) and WebKit (on a virtual X server); npm brings its auditor.
    --web-tests)
        packages=("${web[@]}" chromium chromium-driver python3-selenium firefox-esr python3-websocket
                  webkit2gtk-driver xvfb)
        command -v npm >/dev/null || packages+=(nodejs npm) ;;
    *) packages=("${desktop[@]}") ;;
esac

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
