# What the scripts of this project share, sourced from the project's root
# folder (source scripts/lib.sh), never run on its own: section headings with
# their times, one timer, the way to run a command as root, whether a Debian
# package is installed, and the configure, build and archive of the Windows
# program, so that the program windows.sh tests is compiled exactly as the one
# release.sh ships. It changes no setting of the shell that sources it.
# shellcheck shell=bash

# A heading between the parts of a long run; sections_summary, at its end,
# lists how long each part took.
section() {
    _section_end
    _section_name=$*
    _section_started=$(now)
    printf '\n==== %s ====\n' "$*"
}
_section_end() {
    if [ -n "${_section_name:-}" ]; then
        _section_times+=("$(printf '%9s  %s' "$(seconds_since "$_section_started")" "$_section_name")")
        _section_name=
    fi
}
sections_summary() {
    _section_end
    printf '\n==== Time per section ====\n'
    printf '%s\n' "${_section_times[@]}"
}

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
# into its folder: with its tests into build-win32 or build-win64, or, with
# --without-tests, into build-release/win32 or build-release/win64. Tests on or
# off, lotto.exe is compiled with the same settings (CMakePresets.json: the
# sources' folder is mapped to "." so that no path of the build machine gets
# in), and the program the tests pass is the one a release ships.
# Usage: windows_build BITS [--without-tests]
windows_build() {
    local bits=$1 preset
    case $bits in
        32 | 64) preset=windows-$bits ;;
        *) echo "windows_build: 32 or 64 bits, not '$bits'" >&2; return 2 ;;
    esac
    if [ "${2:-}" = --without-tests ]; then
        preset=$preset-release
    fi
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"
}

# Packs the Windows build in FOLDER into its one ZIP archive (lotto.exe with
# its German read-me and the licences) and prints the archive's path.
windows_archive() {
    local folder=$1
    rm -f "$folder"/lotto-*.zip
    (cd "$folder" && cpack -G ZIP >/dev/null)
    ls "$folder"/lotto-*.zip
}
