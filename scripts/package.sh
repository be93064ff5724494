#!/usr/bin/env bash
# Builds the program and ervalun-fix in Release (build-package/) and makes their Debian
# package with CPack.
# Prints the path of the .deb, to install with: sudo apt-get install ./ervalun_*.deb
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh dpkg-dev file

build=${ERVALUN_PACKAGE_BUILD_DIR:-build-package}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DERVALUN_BUILD_UI=ON -DERVALUN_BUILD_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target ervalun ervalun-fix
(cd "$build" && cpack -G DEB >/dev/null)

deb=$(ls -t "$build"/ervalun_*.deb | head -n 1)
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\):/\1:/p'
realpath "$deb"
