#!/usr/bin/env bash
# Measures how often the confidence ellipse of the many-bearing estimate contains the truth:
# simulated cases with a known target and von Mises bearing errors of 2 degrees, by geometry
# (stations all around, spread over 45 degrees, within 15 to 30 degrees), number of bearings,
# estimator, and whether the scale is the sigma given or taken from the residuals. Prints a
# Markdown table; the 95 % columns should read 95 +/- 1.5 except in the narrow geometry, which
# the estimate flags.
# Usage: scripts/measure-coverage.sh [cases per cell, 4000 by default]
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DERVALUN_BUILD_UI=OFF \
    -DERVALUN_BUILD_BENCH=ON >/dev/null
cmake --build build-release -j "$(nproc 2>/dev/null || echo 2)" \
    --target ervalun_ellipse_coverage >/dev/null
build-release/bench/ervalun_ellipse_coverage "${1:-4000}"
