#!/usr/bin/env bash
# Builds the Debian package build-deb/lotto_<version>_amd64.deb from a release
# build of the program alone. Installs the Debian packages that are missing
# (with sudo when not root).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --package

# Debian's build flags: hardened (fortified calls, stack protector, read-only
# relocations bound at start) and free of the build folder's path. The preset
# deb takes them from here.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
LOTTO_DEB_CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LOTTO_DEB_LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export LOTTO_DEB_CXXFLAGS LOTTO_DEB_LDFLAGS
cmake --preset deb >/dev/null
cmake --build --preset deb
rm -f build-deb/lotto_*.deb  # one package in the folder, the one just made
(cd build-deb && cpack -G DEB)
