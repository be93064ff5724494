#!/usr/bin/env bash
# Measures how far the flat fix of the dialog lies from where two bearings really cross: cases
# with a known target (true azimuths computed on the WGS84 ellipsoid by
# ervalun_flat_error_cases) fed to ervalun-fix, whose geodesic fix is then the target. Prints,
# by latitude and baseline, the median distance from the flat fix to the target, as a share of
# the range and in metres, over ranges of 2 to 20 km, four orientations of the baseline and
# ten directions of the target; then, to compare, the median spread for a bearing error of
# 1 degree in the same cases.
# Usage: scripts/measure-flat-error.sh   (builds in build/ first)
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target ervalun-fix \
    ervalun_flat_error_cases >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/geodesy/ervalun_flat_error_cases "$work/facts.txt" >"$work/cases.txt"
build/geodesy/ervalun-fix --spread 1 <"$work/cases.txt" >"$work/fixes.txt" || {
    echo "ervalun-fix a refusé des cas :" >&2
    grep ERREUR "$work/fixes.txt" >&2
    exit 1
}

# One line per case: latitude, baseline, the offset as a share of the range, the offset.
paste -d ' ' "$work/facts.txt" "$work/fixes.txt" |
    LC_ALL=C awk '{ print $1, $2, $8 / $3 * 100, $8 }' >"$work/errors.txt"

# The median of column $3 within each latitude and baseline, the lines sorted by it.
median() {
    LC_ALL=C sort -k1,1n -k2,2n -k3,3g |
        LC_ALL=C awk '
        function flush() {
            if (n > 0) print lat, base, (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
            n = 0
        }
        $1 != lat || $2 != base { flush(); lat = $1; base = $2 }
        { v[++n] = $3 }
        END { flush() }'
}

echo "$(wc -l <"$work/errors.txt") cas"
echo
echo "| Latitude | Base 1 km | Base 5 km | Base 20 km |"
echo "|---|---|---|---|"
paste -d ' ' <(awk '{ print $1, $2, $3 }' "$work/errors.txt" | median) \
    <(awk '{ print $1, $2, $4 }' "$work/errors.txt" | median) |
    LC_ALL=C awk '
    NR == 1 || $1 != lat { if (row != "") print row " |"; lat = $1; row = "| " lat "°" }
    { row = row sprintf(" | %.1f %% (%.0f m)", $3, $6) }
    END { print row " |" }'

spread=$(paste -d ' ' "$work/facts.txt" "$work/fixes.txt" |
    LC_ALL=C awk '{ print $12 / $3 * 100 }' | LC_ALL=C sort -g |
    LC_ALL=C awk '{ v[++n] = $1 } END { printf "%.1f", (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }')
echo
echo "Dispersion médiane pour une erreur d'azimut de 1° : $spread % de la portée."
