#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on)
# and runs each for the given number of seconds, 30 by default.
# Usage: scripts/fuzz.sh [seconds]
# Seeds come from fuzz/corpus/<target>/; what a run learns stays in build-fuzz/corpus/<target>/.
# A finding stops the script with an error and leaves the input as
# build-fuzz/findings/<target>-crash-... : once fixed, add it to fuzz/corpus/<target>/, where
# every later run starts from it and the normal test suite replays it through the target's
# checks (ctest -R fuzz_replay, any compiler).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
case "$seconds" in
'' | *[!0-9]*)
    echo "Usage : scripts/fuzz.sh [secondes]" >&2
    exit 2
    ;;
esac

bash scripts/install-deps.sh clang libclang-rt-14-dev

build=${ERVALUN_FUZZ_BUILD_DIR:-build-fuzz}
targets=(directory roster calibration form_number)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DERVALUN_BUILD_FUZZ=ON -DERVALUN_BUILD_UI=OFF -DERVALUN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]/%/_fuzz}"

mkdir -p "$build/findings"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t"
    echo "== $t : ${seconds} s"
    # The learnt corpus comes first: libFuzzer adds new inputs there, never to the seeds.
    "$build/fuzz/${t}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/findings/$t-" \
        "$build/corpus/$t" "fuzz/corpus/$t" 2>"$build/findings/$t.log" ||
        {
            tail -n 60 "$build/findings/$t.log" >&2
            echo "Le fuzzing de $t a trouvé un défaut ; entrée gardée dans $build/findings/." >&2
            exit 1
        }
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units)' "$build/findings/$t.log" || true
done
echo "Fuzzing terminé : ${#targets[@]} cibles, ${seconds} s chacune, aucun défaut."
