#!/usr/bin/env bash
# Installs, with apt-get, whatever the build and the tests need and is not there yet.
# Usage: scripts/install-deps.sh [extra packages...]
set -euo pipefail

# Qt's X11 and offscreen platform plugins come with libqt6gui6, which qt6-base-dev brings;
# qt6-translations-l10n holds Qt's own French texts; xvfb, xauth, dbus, at-spi2-core and
# python3-pyatspi let the tests read the dialog as a screen reader does. PROJ gives Lambert 93
# and libjs-leaflet the map page's Leaflet; proj and cs2cs (proj-bin), gpsbabel, ogrinfo
# (gdal-bin), xmllint (libxml2-utils) and headless chromium driven by node check the
# convergence, the exported files and the page in the tests.
packages=(
    g++ make cmake pkgconf
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    libgeographiclib-dev
    libproj-dev proj-bin libjs-leaflet
    gpsbabel gdal-bin libxml2-utils chromium nodejs
    fonts-dejavu-core locales
    xvfb xauth dbus at-spi2-core python3-pyatspi
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi
echo "Installation de : ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
