#!/usr/bin/env bash
# Builds the library, the dialog and every test with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite there. Any report fails the run:
# a test stops at the first undefined behaviour (-fno-sanitize-recover=all), an address
# error aborts, and a leak found at exit gives the test a non-zero status.
# Qt on the offscreen platform reports nothing of its own here, so no suppression is needed.
# Usage: scripts/test-sanitizers.sh   (scripts/test.sh runs it after the normal tests)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${ERVALUN_ASAN_BUILD_DIR:-build-asan}
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DERVALUN_SANITIZE=address,undefined \
    -DERVALUN_BUILD_BENCH=OFF -DERVALUN_BUILD_UI=ON
cmake --build "$build" -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
