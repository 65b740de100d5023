#!/usr/bin/env bash
# Cross-builds the Windows program, 32- and 64-bit, into build-win32/ and
# build-win64/, and runs its tests under Wine: the engine, conversion and
# command tests, and the program played on a virtual X server. Then packs each
# program into its ZIP archive, build-win32/lotto-<version>-win32.zip and
# build-win64/lotto-<version>-win64.zip; the installers beside them,
# lotto-<version>-win32.msi and lotto-<version>-win64.msi, are made by the build.
# Installs the Debian packages that are missing (with sudo when not root).
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=scripts/lib.sh
source scripts/lib.sh

bash scripts/install-deps.sh --windows
for bits in 32 64; do
    windows_build "$bits"
done

# One Wine prefix for this run, made once and shared by every test under Wine.
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/wine" WINEARCH=win64 WINEDEBUG=-all
cleanup() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
started=$(now)
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
python3 tests/support/wineprefix.py /usr/lib/wine/wine64
/usr/lib/wine/wineserver -w
echo "windows: Wine prefix made in $(seconds_since "$started")"

# Some kernels cannot execute 32-bit x86 programs: the 32-bit program is still
# built and checked as a file there, and its runs under Wine are skipped.
if ! answer=$(/usr/lib/wine/wine --version 2>&1) && [[ $answer == *"Exec format error"* ]]; then
    echo "windows: SKIPPED: the 32-bit tests under Wine: this host cannot execute 32-bit x86 programs (${answer//$'\n'/ })"
fi

for bits in 32 64; do
    started=$(now)
    ctest --preset "windows-$bits"
    echo "windows: $bits-bit tests under Wine took $(seconds_since "$started")"
done
for bits in 32 64; do
    for file in "build-win$bits/ui/lotto.exe" "build-win$bits"/lotto-*.msi; do
        echo "windows: $file has $(stat -c %s "$file") bytes"
    done
done
for bits in 32 64; do
    archive=$(windows_archive "build-win$bits")
    echo "windows: $archive has $(stat -c %s "$archive") bytes"
done
