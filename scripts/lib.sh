# What the scripts of this project share, sourced from the project's root
# folder (source scripts/lib.sh), never run on its own: section headings, one
# timer, the way to run a command as root, and whether a Debian package is
# installed. It changes no setting of the shell that sources it.
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
