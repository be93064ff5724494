#!/usr/bin/env bash
# Makes the pictures of docs/ from the example files:
#   docs/screenshot.png      the dialog after the README's example calculation
#   docs/context-menu-fr.png a coordinate edit's context menu, in French
#   docs/start-message.png   a start-up message box over the dialog (no ervalun.txt)
# The last two picture the screen of an Xvfb server, without a window manager: no title bars.
# Usage: scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh xvfb xauth
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DERVALUN_BUILD_UI=ON >/dev/null
cmake --build build -j "$jobs" --target ervalun_screenshot
tool=$(pwd)/build/ui/tools/ervalun_screenshot
docs=$(pwd)/docs

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/examples" "$work/missing"
cp examples/* "$work/examples/"
cp examples/operateurs.txt "$work/missing/"
screen=(xvfb-run -a -s "-screen 0 1280x1024x24")

(cd "$work/examples" && LC_ALL=fr_FR.UTF-8 "$tool" --example Le-Brévent 108 Montenvers 264 \
    "$docs/screenshot.png")
(cd "$work/examples" && LC_ALL=fr_FR.UTF-8 "${screen[@]}" "$tool" --context-menu \
    "$docs/context-menu-fr.png")
(cd "$work/missing" && LC_ALL=fr_FR.UTF-8 "${screen[@]}" "$tool" --start-message \
    "$docs/start-message.png")
