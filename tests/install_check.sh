#!/usr/bin/env bash
# Installs the program into a scratch prefix and checks what a desktop, a
# software centre and man find there.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null

test -x "$prefix/games/lotto"
id=io.github.lotto_6_aus_49.lotto
desktop="$prefix/share/applications/$id.desktop"
grep -qx 'Name=Lotto 6 aus 49' "$desktop"
grep -qx 'Exec=lotto' "$desktop"
grep -qx 'Icon=lotto' "$desktop"
# Desktops match the window to its entry by the window's X class, which is the entry's name.
grep -qx "StartupWMClass=$id" "$desktop"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop"
fi
# The software centre finds the desktop entry through the metadata's launchable.
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml"
# Each icon is a PNG of the size its folder names.
for size in 32 48 64 128 256; do
    header=$(head -c 24 "$prefix/share/icons/hicolor/${size}x${size}/apps/lotto.png" | od -An -tx1 | tr -d ' \n')
    test "${header:0:16}" = 89504e470d0a1a0a
    test $((16#${header:32:8})) -eq "$size"
    test $((16#${header:40:8})) -eq "$size"
done
# The program finds the window's designed face from its own folder.
head -c 4 "$prefix/games/../share/lotto/fonts/ms-sans-serif-8pt.ttf" | od -An -tx1 | grep -q '00 01 00 00'
gzip -dc "$prefix/share/man/man6/lotto.6.gz" | grep -q '^\.TH LOTTO 6 '
gzip -t "$prefix/share/doc/lotto/changelog.gz"
grep -q '^License: Expat' "$prefix/share/doc/lotto/copyright"
echo "installed: games/lotto, its font, the desktop entry, its metadata, five icons, the manual page and the documents"
