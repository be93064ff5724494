#!/usr/bin/env bash
# Builds everything and runs every test. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# The locale check of the log and the readers needs a French locale; generate it when we may.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    if [ "$(id -u)" -eq 0 ]; then
        localedef -i fr_FR -f UTF-8 fr_FR.UTF-8 || echo "Locale fr_FR.UTF-8 non générée."
    else
        sudo localedef -i fr_FR -f UTF-8 fr_FR.UTF-8 || echo "Locale fr_FR.UTF-8 non générée."
    fi
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

# The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer, then a short run
# of every fuzz target.
bash scripts/test-sanitizers.sh
bash scripts/fuzz.sh "${ERVALUN_FUZZ_SECONDS:-30}"
