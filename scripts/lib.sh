# What the scripts of this project share, sourced from the project's root
# folder (source scripts/lib.sh), never run on its own: section headings, one
# timer, the way to run a command as root, whether a Debian package is
# installed, and the configure, build and archive of the Windows program, so
# that the program windows.sh tests is compiled exactly as the one release.sh
# ships. It changes no setting of the shell that sources it.
# shellcheck shell=bash

# A heading between the parts of a long run.
section() { printf '\n==== %s ====\n' "$*"; }

# The clock in milliseconds, and the time from one such reading to another (or
# to now) in seconds with one decimal ("12.3 s").
now() { echo $(( $(date +%s%N) / 1000000 )); }
seconds_since() {
    local tenths=$(( (${2:-$(now)} - $1 + 50) / 100 ))
    printf '%d.%d s' $(( tenths / 10 )) $(( tenths % 10 ))
}

# Runs a command as root: as it is for root, through sudo for anyone else.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "$(basename "$0"): '$*' needs root: run this as root or install sudo" >&2
        return 1
    fi
}

# Whether the Debian package (name or name:architecture) is installed.
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Configures and builds the Windows program of one architecture (32 or 64)
# into FOLDER, with its tests unless the third argument is --without-tests.
# Tests on or off, lotto.exe is compiled with the same settings: the sources'
# folder is mapped to "." so that no path of the build machine gets in, and
# the program the tests pass is the one a release ships.
# Usage: windows_build BITS FOLDER [--without-tests]
windows_build() {
    local bits=$1 folder=$2 tests=ON toolchain
    if [ "${3:-}" = --without-tests ]; then
        tests=OFF
    fi
    case $bits in
        32) toolchain=cmake/toolchain-mingw-i686.cmake ;;
        64) toolchain=cmake/toolchain-mingw-x86_64.cmake ;;
        *) echo "windows_build: 32 or 64 bits, not '$bits'" >&2; return 2 ;;
    esac
    # A folder configured before takes no toolchain file any more, and would warn of it on every run.
    cmake -S . -B "$folder" -G Ninja --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DLOTTO_BUILD_TESTS="$tests" -DLOTTO_BUILD_BENCH=OFF \
        -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$PWD=." >/dev/null
    cmake --build "$folder" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"
}

# Packs the Windows build in FOLDER into its one ZIP archive (lotto.exe with
# its German read-me and the licences) and prints the archive's path.
windows_archive() {
    local folder=$1
    rm -f "$folder"/lotto-*.zip
    (cd "$folder" && cpack -G ZIP >/dev/null)
    ls "$folder"/lotto-*.zip
}
