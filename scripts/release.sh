#!/usr/bin/env bash
# Builds every artefact of a release into dist/, with SHA256SUMS over them: the
# Debian package, the Windows programs (32- and 64-bit) as ZIP archives and as
# installers, and the browser version's site as a ZIP archive. Installs the
# Debian packages that are missing (with sudo when not root).
#
# The same commit gives the same bytes, built in any folder at any time: every
# time stamp comes from SOURCE_DATE_EPOCH (the commit's time unless it is set)
# and no build folder's path reaches an artefact.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib.sh
source scripts/lib.sh

# The sources' own history, not that of a repository they happen to lie in.
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$(pwd -P)" ]; then
    SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
    git diff --quiet HEAD \
        || echo "release: warning: uncommitted changes are built in; nobody can rebuild these bytes from a commit" >&2
elif [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    echo "release: no git history here: set SOURCE_DATE_EPOCH to the time of the sources" >&2
    exit 1
fi
export SOURCE_DATE_EPOCH
# Whatever the caller's settings: one time zone, one locale, one set of file modes.
export TZ=UTC LC_ALL=C.UTF-8
umask 022
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

bash scripts/install-deps.sh --release
rm -rf dist
mkdir dist

# The Debian package: Debian's build flags already map the sources' folder away,
# and its programs hold no time, so package.sh's build folder may be reused.
bash scripts/package.sh >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-deb/CMakeCache.txt)
cp "build-deb/lotto_${version}_amd64.deb" dist/

# The Windows programs, built as windows.sh builds them for its tests but
# without the tests; each archive and installer holds lotto.exe, its read-me and
# the licences. Built afresh: the linker and the installer take in
# SOURCE_DATE_EPOCH, which the build cannot see change.
for bits in 32 64; do
    build=build-release/win$bits
    rm -rf "$build"
    windows_build "$bits" --without-tests >/dev/null
    windows_archive "$build" >/dev/null
    cp "$build/lotto-$version-win$bits.zip" "$build/lotto-$version-win$bits.msi" dist/
done

# The browser version's site.
bash scripts/web.sh build
python3 scripts/zip_folder.py build-web/site "dist/lotto-$version-web.zip" "lotto-$version-web"

(cd dist && sha256sum -- * > SHA256SUMS)
echo "release: dist/ for version $version, time stamps of $(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'):"
(cd dist && for file in *; do printf '  %-26s %9d bytes\n' "$file" "$(stat -c %s "$file")"; done)
cat dist/SHA256SUMS
