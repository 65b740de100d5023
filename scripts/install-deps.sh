#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only those
# missing, with sudo when not root. Every build and test takes its packages from
# here, one option per need:
#   (none)           the desktop program
#   --tests          the desktop program and its tests
#   --coverage       the desktop program's tests, counted for coverage (scripts/coverage.sh)
#   --package        the Debian package
#   --package-tests  the Debian package's test: its checkers and a virtual X server
#   --release        every artefact of a release
#   --web            the browser build
#   --web-tests      the browser build and its test in Chromium, Firefox and WebKit
#   --windows        the Windows build and its tests under Wine
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib.sh
source scripts/lib.sh

# What every build of the desktop program needs.
desktop=(
    cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev python3
    qt6-base-dev qt6-wayland libxcb1-dev pkg-config fonts-wine
)
# The browser build: Emscripten optimises with Node.js and its acorn; the faces
# come from Wine's fonts, cut down with fontTools and compressed with Brotli.
web=(cmake ninja-build python3 emscripten node-acorn python3-fonttools python3-brotli fonts-wine)

# Only the tests need a virtual X server, a headless Wayland compositor, the
# accessibility bus, a screen reader with a speech server, the tools that play
# the window and look at it, and the checkers of the house style and of clang-tidy.
tests=(
    xvfb xauth xdotool xclip imagemagick python3 desktop-file-utils clang libclang-rt-14-dev
    weston dbus-daemon at-spi2-core python3-pyatspi orca speech-dispatcher
    clang-format clang-tidy
)

case "${1:-}" in
    "") packages=("${desktop[@]}") ;;
    --tests) packages=("${desktop[@]}" "${tests[@]}") ;;
    # The coverage figures: the tests, and gcovr to sum gcov's counters up.
    --coverage) packages=("${desktop[@]}" "${tests[@]}" gcovr) ;;
    # Building the Debian package asks dpkg-shlibdeps and file about the program.
    --package) packages=("${desktop[@]}" dpkg-dev file python3) ;;
    # The package's test checks it as Debian and the desktops do, compares its
    # icons with ImageMagick and plays it on a virtual X server.
    --package-tests)
        packages=(python3 lintian appstream desktop-file-utils imagemagick xvfb xauth xdotool xclip) ;;
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
    # The Windows build compiles GoogleTest from Debian's sources for the target,
    # makes the installers with wixl and reads them with msitools, and checks the
    # icon with ImageMagick. Its tests run under Wine, 32-bit Wine from the i386
    # architecture, on a virtual X server.
    --windows)
        packages=(cmake ninja-build python3 googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 wixl msitools
                  imagemagick wine64 wine32:i386 fonts-wine xvfb xauth xdotool xclip) ;;
    *)
        echo "usage: bash scripts/install-deps.sh" \
             "[--tests|--coverage|--package|--package-tests|--release|--web|--web-tests|--windows]" >&2
        exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

started=$(now)
echo "Installing: ${missing[*]}"
if [[ " ${missing[*]} " == *:i386\ * ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
fi
# Another build on this machine may be installing too: apt then waits its turn.
wait_for_lock=(-o DPkg::Lock::Timeout=600)
as_root apt-get update -qq "${wait_for_lock[@]}"
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${wait_for_lock[@]}" \
    "${missing[@]}" >/dev/null
echo "packages installed in $(seconds_since "$started")"
