#!/usr/bin/env bash
# Measures Ervalun against its peers side by side, in one run, and prints the README's table:
#   the directory's load (1,000,000 generated records)     against  wc -w on the same file
#   its load and its sort by name                          against  wc -w, then LC_ALL=C sort -k1,1
#   the nearest-name search over the million entries       against  a bare loop over the same
#                                                                   entries computing the distances
#   the dialog's start-up, shown and idle, 100,000 entries against  the same with the 23 examples
# and the peak memory (resident set, /usr/bin/time) of one load, and of one load and sort, of the
# million records, against the file's size.
# Release build (build-bench/); each pair is run in random interleaved order, the given number of
# times (default 9), and the medians are compared. Measure on an idle machine: the peers and
# the sort use both cores.
# Usage: scripts/bench-peers.sh [repetitions]
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=${1:-9}
bash scripts/install-deps.sh

build=${ERVALUN_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DERVALUN_BUILD_BENCH=ON -DERVALUN_BUILD_UI=ON \
    >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target ervalun_bench \
    ervalun_dialog_bench ervalun_directory_tool

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
options=(--benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true
    --benchmark_report_aggregates_only=true --benchmark_format=console)

model=$(LC_ALL=C lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -n 1)
echo "Machine: ${model:-unknown}, $(nproc) cores, $(free -g | awk '/^Mem:/ { print $2 }') GiB;" \
    "load average before: $(cut -d ' ' -f 1-3 /proc/loadavg)"
"$build/bench/ervalun_bench" "${options[@]}" \
    --benchmark_filter='^BM_(DirectoryLoad|PeerWordCount|DirectoryLoadAndSort|PeerWordCountThenSort|NearestPosition|PeerDistanceLoop)/' \
    --benchmark_out="$results/library.json" --benchmark_out_format=json
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bench/ui/ervalun_dialog_bench" \
    "${options[@]}" --benchmark_filter='^BM_DialogStartUp' \
    --benchmark_out="$results/dialog.json" --benchmark_out_format=json
tool="$build/bench/ervalun_directory_tool"
"$tool" generate "$results/ervalun.txt" 1000000
stat -c 'file %s' "$results/ervalun.txt" >"$results/peaks.txt"
for work in load load-sort; do
    # The largest resident set of the process, in KiB; the median of three.
    for _ in 1 2 3; do
        /usr/bin/time -f '%M' "$tool" "$work" "$results/ervalun.txt" 2>&1 >/dev/null | tail -n 1
    done | sort -n | sed -n "2s/^/$work /p" >>"$results/peaks.txt"
done
echo "Load average after: $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo

python3 - "$results/peaks.txt" "$results/library.json" "$results/dialog.json" <<'EOF'
import json
import sys

peaks = dict(line.split() for line in open(sys.argv[1]))
medians = {}
for path in sys.argv[2:]:
    with open(path) as f:
        for b in json.load(f)["benchmarks"]:
            if b.get("aggregate_name") == "median":
                scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
                medians[b["run_name"]] = (b["real_time"] * scale, b)

def ms(name):
    return medians[name][0]

def figure(value):
    return f"{value:,.0f} ms" if value >= 100 else f"{value:.1f} ms"

rows = [
    ("load the directory (1,000,000 records)", "BM_DirectoryLoad/real_time",
     "`wc -w` on the same file", "BM_PeerWordCount/real_time", "below 1.0"),
    ("load + sort by name (as start-up does)", "BM_DirectoryLoadAndSort/real_time",
     "`wc -w`, then `LC_ALL=C sort -k1,1` (wall time)", "BM_PeerWordCountThenSort/real_time",
     "below 1.0"),
    ("nearest known position over 1,000,000 entries", "BM_NearestPosition/real_time",
     "a bare loop computing the same distances", "BM_PeerDistanceLoop/real_time", "within 1.5"),
    ("dialog start-up, shown and idle, 100,000 entries", "BM_DialogStartUp/100000/real_time",
     "the same with the 23 example entries", "BM_DialogStartUp/23/real_time", "within 1.5"),
    ("dialog start-up until the lists are filled, 100,000 entries",
     "BM_DialogStartUpListsReady/100000/real_time", "the same with the 23 example entries",
     "BM_DialogStartUpListsReady/23/real_time", "(shown for information)"),
]
print("| work | Ervalun | peer | ratio | goal |")
print("|---|---|---|---|---|")
for work, ours, peer_text, peer, goal in rows:
    if ours in medians and peer in medians:
        print(f"| {work} | {figure(ms(ours))} | {peer_text}: {figure(ms(peer))} | "
              f"{ms(ours) / ms(peer):.2f} | {goal} |")
file_bytes = int(peaks["file"])
for work, key in (("peak memory, load (resident, `/usr/bin/time`)", "load"),
                  ("peak memory, load + sort", "load-sort")):
    peak = int(peaks[key]) * 1024
    print(f"| {work} | {peak / 1e6:.0f} MB | the file: {file_bytes / 1e6:.1f} MB | "
          f"{peak / file_bytes:.2f} | at most 3.0 |")
print()
for name, what in (("BM_DirectoryLoad/real_time", "loaded"),
                   ("BM_DirectoryLoadAndSort/real_time", "loaded and sorted")):
    if name in medians:
        counters = medians[name][1]
        per_entry = counters["bytes_per_entry"]
        per_record = counters["file_bytes_per_record"]
        print(f"Memory of the {what} directory: {per_entry:.0f} bytes per entry, "
              f"{per_entry / per_record:.1f} times the file ({per_record:.1f} bytes per record).")
EOF
