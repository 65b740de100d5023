#!/usr/bin/env bash
# Builds the release of the last commit twice, from copies of it in two folders
# of different depth, the second later and under another time zone, locale and
# umask, and compares the two SHA256SUMS; where they differ, names the
# artefacts and shows what differs inside them. Uncommitted changes are not
# part of it. Sources without git history have no commit to build: the check
# is then reported as skipped.
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck source=scripts/lib.sh
source scripts/lib.sh

if [ "$(git rev-parse --show-toplevel 2>/dev/null)" != "$(pwd -P)" ] \
        || ! commit=$(git rev-parse --verify -q HEAD 2>/dev/null); then
    echo "SKIPPED: release built twice: the sources have no git history, so there is no commit to build"
    exit 0
fi
git diff --quiet HEAD 2>/dev/null \
    || echo "release twice: note: uncommitted changes are left out; this builds ${commit:0:12}"
epoch=$(git log -1 --format=%ct "$commit")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
first=$scratch/first
second=$scratch/second/a/deeper/folder

for tree in "$first" "$second"; do
    mkdir -p "$tree"
    git archive "$commit" | tar -x -C "$tree"
done
started=$(now)
(cd "$first" && SOURCE_DATE_EPOCH=$epoch bash scripts/release.sh >"$scratch/first.log" 2>&1) \
    || { tail -n 30 "$scratch/first.log"; echo "FAIL: the first release build failed"; exit 1; }
middle=$(now)
(cd "$second" && umask 002 && SOURCE_DATE_EPOCH=$epoch TZ=Pacific/Kiritimati LC_ALL=C LANG=de_DE.UTF-8 \
    bash scripts/release.sh >"$scratch/second.log" 2>&1) \
    || { tail -n 30 "$scratch/second.log"; echo "FAIL: the second release build failed"; exit 1; }
echo "release twice: the builds took $(seconds_since "$started" "$middle") and $(seconds_since "$middle")"

sed -n '/^release: dist/,$p' "$scratch/first.log"
if cmp -s "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS" \
        && (cd "$first/dist" && sha256sum --quiet -c SHA256SUMS); then
    echo "release twice: both builds give the same SHA256SUMS"
    echo "1 passed, 0 failed"
    exit 0
fi
diff "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS" || true
for file in "$first"/dist/*; do
    name=$(basename "$file")
    [ "$name" = SHA256SUMS ] || cmp -s "$file" "$second/dist/$name" && continue
    echo "---- $name differs:"
    case $name in
        *.deb) diff <(dpkg-deb -c "$file") <(dpkg-deb -c "$second/dist/$name") | head -20 || true ;;
        *.zip) diff <(zipinfo -v "$file") <(zipinfo -v "$second/dist/$name") | head -20 || true ;;
        *.msi) diff <(msiinfo suminfo "$file" 2>&1) <(msiinfo suminfo "$second/dist/$name" 2>&1) | head -20 || true ;;
    esac
    cmp -l "$file" "$second/dist/$name" 2>&1 | head -5 || true
done
echo "0 passed, 1 failed"
exit 1
