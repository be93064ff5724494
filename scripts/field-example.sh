#!/usr/bin/env bash
# Writes the example scene (four bearings on the example map) into build/field-example/ and
# takes the README's picture of its map page, docs/carte.png, with headless Chromium.
# Usage: scripts/field-example.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target ervalun_field_example -j2
out=$build/field-example
"$build"/geodesy/ervalun_field_example examples "$out"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
node tests/page_probe.js chromium "file://$(realpath "$out")/carte.html" "$profile" docs/carte.png
echo "docs/carte.png, $out/"
