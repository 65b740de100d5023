#!/usr/bin/env bash
# Installs the program into a scratch prefix and checks what a desktop finds there.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

test -x "$prefix/bin/lotto"
desktop="$prefix/share/applications/lotto.desktop"
grep -qx 'Name=Lotto 6 aus 49' "$desktop"
grep -qx 'Exec=lotto' "$desktop"
grep -qx 'Icon=lotto' "$desktop"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop"
fi
head -c 9 "$prefix/share/icons/hicolor/32x32/apps/lotto.xpm" | grep -q '/\* XPM \*/'
grep -q '"32 32 ' "$prefix/share/icons/hicolor/32x32/apps/lotto.xpm"
echo "installed: bin/lotto, the desktop entry and the icon"
