#!/usr/bin/env bash
# Builds in Release (build-bench/) and runs every benchmark: the reference file readers and the
# sort, the nearest-name search, a whole calculation, and the dialog's start-up (offscreen).
# Usage: scripts/bench.sh [Google Benchmark options, e.g. --benchmark_filter=Calculation]
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${ERVALUN_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DERVALUN_BUILD_BENCH=ON -DERVALUN_BUILD_UI=ON \
    >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target ervalun_bench \
    ervalun_dialog_bench

model=$(LC_ALL=C lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -n 1)
echo "Machine : ${model:-inconnue}, $(nproc) cœurs, $(free -g | awk '/^Mem:/ { print $2 }') Gio"
"$build/bench/ervalun_bench" "$@"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bench/ui/ervalun_dialog_bench" "$@"
