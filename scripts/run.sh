#!/usr/bin/env bash
# Builds the program, makes a fresh demo/ working folder from examples/ and starts the dialog
# there. Without a display, saves a picture of the dialog after a sample calculation instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DERVALUN_BUILD_UI=ON
cmake --build build -j "$jobs" --target ervalun ervalun_screenshot

# The program reads and writes its files in the current folder: give it a fresh copy of the
# examples, so that the log and the map page of earlier runs do not pile up.
rm -rf demo
mkdir demo
find examples -maxdepth 1 -type f -exec cp {} demo/ \;
cd demo

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Pas d'affichage (ni DISPLAY ni WAYLAND_DISPLAY) : capture du dialogue après le calcul d'exemple du README."
    # Qt wants a private runtime folder and complains on every start without one.
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        XDG_RUNTIME_DIR=$(mktemp -d)
        export XDG_RUNTIME_DIR
    fi
    picture=$(QT_QPA_PLATFORM=offscreen ../build/ui/tools/ervalun_screenshot \
        --example Le-Brévent 108 Montenvers 264 ervalun-capture.png)
    echo "$picture"
else
    exec ../build/ui/ervalun
fi
