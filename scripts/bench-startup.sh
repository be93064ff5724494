#!/usr/bin/env bash
# The program's start-up as a user meets it: from the start of its process to the dialog shown,
# idle and its lists filled (offscreen platform), with the example files and with a generated
# 100,000-entry directory (and 1,000,000 when asked), the runs interleaved, medians compared.
# Usage: scripts/bench-startup.sh [runs per folder, default 21] [extra directory sizes...]
# ERVALUN_BENCH_BUILD_DIR names a Release build that has the benchmarks (default build-bench).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-21}
shift || true
build=${ERVALUN_BENCH_BUILD_DIR:-build-bench}
if [[ ! -x "$build/bench/ui/ervalun_startup_probe" ]]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DERVALUN_BUILD_BENCH=ON \
        -DERVALUN_BUILD_UI=ON >/dev/null
    cmake --build "$build" -j 2 --target ervalun_startup_probe ervalun_directory_tool
fi

folders=$(mktemp -d)
trap 'rm -rf "$folders"' EXIT
mkdir "$folders/23"
cp examples/ervalun.txt examples/operateurs.txt "$folders/23/"
for entries in 100000 "$@"; do
    mkdir "$folders/$entries"
    cp examples/operateurs.txt "$folders/$entries/"
    "$build/bench/ervalun_directory_tool" generate "$folders/$entries/ervalun.txt" "$entries"
done

echo "Load average before: $(cut -d ' ' -f 1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen python3 - "$(realpath "$build/bench/ui/ervalun_startup_probe")" \
    "$folders" "$runs" <<'PY'
import os, random, statistics, subprocess, sys, time

probe, folders, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
sizes = sorted(os.listdir(folders), key=int)
times = {size: [] for size in sizes}
for _ in range(runs):
    order = sizes[:]
    random.shuffle(order)
    for size in order:
        start = time.monotonic_ns()
        out = subprocess.run([probe], cwd=os.path.join(folders, size), capture_output=True,
                             text=True, check=True).stdout.split()
        times[size].append((int(out[0]) - start) / 1e6)
base = statistics.median(times["23"])
for size in sizes:
    median = statistics.median(times[size])
    print(f"{int(size):>9,} entries: median {median:7.1f} ms "
          f"(min {min(times[size]):.1f}, max {max(times[size]):.1f}), "
          f"{median / base:.2f} times the examples")
PY
echo "Load average after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
