#!/usr/bin/env bash
# Builds the Debian package build-deb/lotto_<version>_amd64.deb from a release
# build of the program alone. Installs the Debian packages that are missing
# (with sudo when not root).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --package

# Debian's build flags: hardened (fortified calls, stack protector, read-only
# relocations bound at start) and free of the build folder's path.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLOTTO_BUILD_TESTS=OFF -DLOTTO_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-deb
rm -f build-deb/lotto_*.deb  # one package in the folder, the one just made
(cd build-deb && cpack -G DEB)
