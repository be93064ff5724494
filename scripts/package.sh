#!/usr/bin/env bash
# Builds the program and ervalun-fix in build-package/ with the hardening Debian gives its own
# packages (dpkg-buildflags with every hardening feature: -D_FORTIFY_SOURCE=2,
# -fstack-protector-strong, relro and bind-now), then makes their Debian package with CPack,
# binaries stripped. Prints the path of the .deb, to install with:
#   sudo apt-get install ./build-package/ervalun_*.deb
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh dpkg-dev file

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cxxflags=$(dpkg-buildflags --get CXXFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)

build=${ERVALUN_PACKAGE_BUILD_DIR:-build-package}
# Build type None: the optimisation and debug flags are dpkg-buildflags' alone, as in a Debian
# package build.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DERVALUN_BUILD_UI=ON -DERVALUN_BUILD_TESTS=OFF -DERVALUN_BUILD_BENCH=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"
rm -f "$build"/ervalun_*.deb
(cd "$build" && cpack -G DEB >/dev/null)

deb=$(ls "$build"/ervalun_*.deb)
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Recommends\):/\1:/p'
realpath "$deb"
